// Helpers of the Windows-only tests: the companion stand-in, files, folders and links as the
// system sees them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The folder of this test program (the companion stand-in is built beside it).
std::string TestProgramFolder();
// The bytes of zb_test_companion.exe; empty when it cannot be read.
std::vector<unsigned char> CompanionBytes();
// Waits up to milliseconds for a file to exist with its content complete (it is written once).
bool WaitForFile(const std::string& path, DWORD milliseconds);
// The lines of a text file.
std::vector<std::string> ReadLines(const std::string& path);
// "name size" for every file of a folder, and "name/" for its sub-folders, sorted.
std::vector<std::string> ListFolder(const std::string& folder);
std::string Lower(std::string text);

struct LoadedLink {
    bool loaded;
    std::string target;
    std::string description;
};
// Loads a ".lnk" file through IShellLinkA and IPersistFile::Load.
LoadedLink LoadLink(const std::string& linkPath);

// A hidden top-level window that stands for the install dialog.
HWND MakeHiddenWindow();
