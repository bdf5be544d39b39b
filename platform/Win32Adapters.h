// The Win32 adapters of the platform interfaces, one process-wide instance each but the resource
// store, which reads the one module it is made for.
// Declared without <windows.h> so that the setup's wiring code stays readable.
#pragma once

#include "platform/Platform.h"
#include "platform/ResourceStore.h"
#include "platform/Types.h"

FileSystem& Win32Files();
MessageBoxes& Win32MessageBoxes();
ProfileStore& Win32Profile();
ProgressBar& Win32ProgressBar();
System& Win32System();
Registry& Win32Registry();
Shell& Win32Shell();
ShellLinks& Win32ShellLinks();
FolderBrowser& Win32FolderBrowser();
Fonts& Win32Fonts();
FileVersions& Win32FileVersions();

// The resources of one module (null: the program's own), held by whoever makes the store: a
// store per module, so that a program reading two modules never reads the wrong one.
class Win32ResourceStore : public ResourceStore {
public:
    explicit Win32ResourceStore(ModuleHandle module) : module_(module) {}
    int Find(const char* type, const char* name, ResourceBlock* out) override;

private:
    ModuleHandle module_;
};

// Narrows the DLL search of this process, first thing at start. Where the system has
// SetDefaultDllDirectories (Windows 8 and later, Vista and 7 with its update), only the system
// directory is searched. Elsewhere SetDllDirectoryA("") only takes the current directory out of
// the search: the program's own folder stays first in it, and what keeps DLLs planted there out
// is that the setup imports only known DLLs and loads every other DLL by full path.
void RestrictDllSearchToSystem();
