// Warns once, before any dialog, when the system is not of the Windows NT family.
#pragma once

struct Platform;

constexpr const char* kPlatformCheckCaption = "ZarBel PC Setup - Info";
// Windows-1252; the second and third lines keep their trailing blanks.
constexpr const char* kPlatformCheckText =
    "ZarBel PC \xE8 compatibile con i sistemi operativi\n"
    "Windows 2000, Windows XP o superiori.         \n"
    "Con altri sistemi operativi il funzionamento non \xE8 garantito.           \n";

void CheckPlatform(Platform& platform);
