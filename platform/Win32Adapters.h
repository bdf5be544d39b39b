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

// Narrows the DLL search of this process, first thing at start. Where the system has
// SetDefaultDllDirectories (Windows 8 and later, Vista and 7 with its update), only the system
// directory is searched. Elsewhere SetDllDirectoryA("") only takes the current directory out of
// the search: the program's own folder stays first in it, and what keeps DLLs planted there out
// is that the setup imports only known DLLs and loads every other DLL by full path.
void RestrictDllSearchToSystem();
