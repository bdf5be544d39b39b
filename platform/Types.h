// Opaque handles that the portable logic passes through to the platform without looking inside.
#pragma once

#include <cstddef>
#include <cstdint>

using ModuleHandle = void*;
using WindowHandle = void*;
using CursorHandle = void*;
