// The Win32 adapters of the platform interfaces, one process-wide instance each.
// Declared without <windows.h> so that the setup's wiring code stays readable.
#pragma once

#include "platform/Types.h"

class FileSystem;
class MessageBoxes;
class ProfileStore;
class ProgressBar;
class ResourceStore;
class System;

FileSystem& Win32Files();
MessageBoxes& Win32MessageBoxes();
ProfileStore& Win32Profile();
ProgressBar& Win32ProgressBar();
System& Win32System();
// The resources of the given module (null: the program's own).
ResourceStore& Win32Resources(ModuleHandle module);

// Restricts the DLL search of this process to the system directory (first thing at start), so
// that no DLL planted beside the setup or in the current directory is ever loaded.
void RestrictDllSearchToSystem();
