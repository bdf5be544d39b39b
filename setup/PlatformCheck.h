// Warns once, before any dialog, when the system is not of the Windows NT family.
#pragma once

struct Platform;

void CheckPlatform(Platform& platform);
