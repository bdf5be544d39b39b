// A small payload archive for installation tests: the files the installation copies, registers
// and starts, each with its own content, built record by record.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "package/ArchiveBytes.h"
#include "records/InstallEntries.h"

using PayloadFiles = std::vector<std::pair<std::string, std::string>>;

// The entries under the names the installation uses (a case-sensitive file system needs them).
inline PayloadFiles TestPayloadFiles() {
    PayloadFiles files = {
        {"ZarBelPC.INI", "[SETTINGS]\r\nVOLUME=7\r\n[PATH]\r\nInstallpath=C:\\OLD\r\n"},
        {"ZarbelPC.EXE", "the application"},
        {"ZarBelPC_uninstall.exe", "the uninstaller"},
        {"mfc71.dll", "runtime library one"},
        {"msvcr71.dll", "runtime library two"},
        {"EUROSTIB.TTF", "the font"},
        {"assocset.exe", "the companion"},
        {"movefile.bat", "@echo never run"},
        {"DICT.DIC", "the dictionary"},
    };
    for (const entries::Control& control : entries::kControls) {
        files.push_back({control.file, std::string("control ") + control.file});
    }
    return files;
}

inline std::vector<unsigned char> PayloadArchive(const PayloadFiles& files) {
    std::vector<unsigned char> archive;
    for (const auto& file : files) {
        Append(&archive, RecordBytes(file.first, Bytes(file.second)));
    }
    return archive;
}
