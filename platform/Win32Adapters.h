// The Win32 adapters of the platform interfaces, one process-wide instance each.
// Declared without <windows.h> so that the setup's wiring code stays readable.
#pragma once

#include "platform/Types.h"

class FileSystem;
class FolderBrowser;
class MessageBoxes;
class ProfileStore;
class ProgressBar;
class Registry;
class ResourceStore;
class Shell;
class ShellLinks;
class System;

FileSystem& Win32Files();
MessageBoxes& Win32MessageBoxes();
ProfileStore& Win32Profile();
ProgressBar& Win32ProgressBar();
System& Win32System();
Registry& Win32Registry();
Shell& Win32Shell();
ShellLinks& Win32ShellLinks();
FolderBrowser& Win32FolderBrowser();
// The resources of the given module (null: the program's own).
ResourceStore& Win32Resources(ModuleHandle module);

// Restricts the DLL search of this process to the system directory (first thing at start), so
// that no DLL planted beside the setup or in the current directory is ever loaded.
void RestrictDllSearchToSystem();
