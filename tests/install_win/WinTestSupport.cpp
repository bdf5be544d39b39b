#include "WinTestSupport.h"

#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>

#include "platform/Scoped_win.h"

std::string TestProgramFolder() {
    char module[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, module, sizeof module);
    std::string path(module, length);
    return path.substr(0, path.find_last_of('\\'));
}

std::vector<unsigned char> CompanionBytes() {
    std::vector<unsigned char> bytes;
    std::string path = TestProgramFolder() + "\\zb_test_companion.exe";
    FILE* file = fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return bytes;
    }
    unsigned char block[65536];
    size_t got;
    while ((got = fread(block, 1, sizeof block, file)) > 0) {
        bytes.insert(bytes.end(), block, block + got);
    }
    fclose(file);
    return bytes;
}

bool WaitForFile(const std::string& path, DWORD milliseconds) {
    for (DWORD waited = 0;; waited += 50) {
        // The writer closes the file at once; opening it without sharing tells it is done.
        HANDLE file =
            CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
            Sleep(100);
            return true;
        }
        if (waited >= milliseconds) {
            return false;
        }
        Sleep(50);
    }
}

std::vector<std::string> ReadLines(const std::string& path) {
    std::vector<std::string> lines;
    FILE* file = fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return lines;
    }
    std::string line;
    int c;
    while ((c = fgetc(file)) != EOF) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else if (c != '\r') {
            line += static_cast<char>(c);
        }
    }
    if (!line.empty()) {
        lines.push_back(line);
    }
    fclose(file);
    return lines;
}

std::vector<std::string> ListFolder(const std::string& folder) {
    std::vector<std::string> entries;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return entries;
    }
    do {
        std::string name = found.cFileName;
        if (name == "." || name == "..") {
            continue;
        }
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            entries.push_back(name + "/");
        } else {
            entries.push_back(name + " " + std::to_string(found.nFileSizeLow));
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(entries.begin(), entries.end());
    return entries;
}

std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

LoadedLink LoadLink(const std::string& linkPath) {
    LoadedLink result = {false, "", ""};
    ScopedCom com;
    ScopedComPtr<IShellLinkA> link;
    ScopedComPtr<IPersistFile> file;
    wchar_t wide[MAX_PATH];
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                link.Out())) ||
        FAILED(link->QueryInterface(IID_IPersistFile, file.Out())) ||
        MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide, MAX_PATH) == 0 ||
        FAILED(file->Load(wide, STGM_READ))) {
        return result;
    }
    char text[MAX_PATH] = "";
    // SLGP_RAWPATH: the path as stored, not resolved against the file system.
    if (SUCCEEDED(link->GetPath(text, sizeof text, nullptr, SLGP_RAWPATH))) {
        result.target = text;
    }
    char description[INFOTIPSIZE] = "";
    if (SUCCEEDED(link->GetDescription(description, sizeof description))) {
        result.description = description;
    }
    result.loaded = true;
    return result;
}

HWND MakeHiddenWindow() {
    return CreateWindowExA(0, "STATIC", "install dialog stand-in", WS_POPUP, 0, 0, 10, 10, nullptr,
                           nullptr, GetModuleHandleA(nullptr), nullptr);
}
