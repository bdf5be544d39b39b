// The install plan: its order, paths and parameter texts, and the folders it refuses.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "install/InstallPlan.h"
#include "package/ArchiveFormat.h"
#include "platform/Text.h"
#include "records/InstallEntries.h"
#include "package/ArchiveBytes.h"
#include "platform/ResourceStore.h"
#include "records/SettingsFile.h"
#include "records/SetupConfiguration.h"
#include "records/StringKeys.h"

namespace install {
namespace {

WindowHandle const kDialog = reinterpret_cast<WindowHandle>(0xD1A);

std::string Owner(WindowHandle window) {
    return window == nullptr ? "none" : window == kDialog ? "dialog" : "other";
}

// One line per action, naming everything the executor will pass on.
std::string Describe(const InstallAction& a) {
    switch (a.step) {
        case InstallStep::kCreateFolder:
            return "mkdir " + std::string(a.path);
        case InstallStep::kSetProgress:
            return "progress " + std::to_string(a.number) + " to " + Owner(a.window);
        case InstallStep::kExtractResource:
            return "extract " + std::string(a.resourceType) + "/" + a.resourceName + " to " +
                   a.path + " steps " + std::to_string(a.number) + " from " +
                   std::to_string(a.start) + " to " + Owner(a.window);
        case InstallStep::kExtractArchive:
            return "unpack " + std::string(a.resourceName) + " in " + a.path + " span " +
                   std::to_string(a.number) + " from " + std::to_string(a.start) + " to " +
                   Owner(a.window);
        case InstallStep::kCopyFile:
            return "copy " + std::string(a.source) + " -> " + a.path;
        case InstallStep::kDeleteFile:
            return "delete " + std::string(a.path);
        case InstallStep::kWait:
            return "wait " + std::to_string(a.number);
        case InstallStep::kWriteSetting:
            return "setting " + std::string(a.file) + " " + a.section + "/" + a.key + "=" + a.text;
        case InstallStep::kShowWaitCursor:
            return "wait cursor";
        case InstallStep::kRestoreCursor:
            return "restore cursor";
        case InstallStep::kStartProgram:
            return "start " + std::string(a.path) + " [" + a.text + "] owner " + Owner(a.window);
        case InstallStep::kCreateEmptyFile:
            return "empty file " + std::string(a.path);
        case InstallStep::kSetCurrentFolder:
            return "cd " + std::string(a.path);
        case InstallStep::kInstallSharedFile:
            return "shared copy " + std::string(a.source) + " -> " + a.path;
        case InstallStep::kRegisterFont:
            return "register font " + std::string(a.path) + " as " + a.file;
    }
    return "?";
}

std::vector<std::string> Describe(const InstallPlan& plan) {
    std::vector<std::string> lines;
    for (int i = 0; i < plan.count; ++i) {
        lines.push_back(Describe(plan.actions[i]));
    }
    return lines;
}

struct Folders {
    std::string install;
    std::string windows = "C:\\WINDOWS";
    std::string system = "C:\\WINDOWS\\system32";
    size_t longestEntryName = 24;
};

PlanResult Plan(const Folders& folders, InstallPlan* plan) {
    InstallInputs inputs = {kDialog,
                            folders.install.c_str(),
                            folders.windows.c_str(),
                            folders.system.c_str(),
                            folders.longestEntryName,
                            &kSetupConfiguration};
    return PlanInstallation(inputs, plan);
}

TEST(InstallPlanTest, FolderWithSpacesGivesTheWholeSequenceInOrder) {
    Folders folders;
    folders.install = "C:\\Program Files\\Zar Bel PC";
    InstallPlan plan;
    ASSERT_EQ(PlanResult::kOk, Plan(folders, &plan));
    const std::vector<std::string> expected = {
        "mkdir C:\\Program Files\\Zar Bel PC",
        "progress 0 to dialog",
        "progress 10 to dialog",
        "extract PlainExtract/RESOURCE.DAT to C:\\Program Files\\Zar Bel PC\\RESOURCE.DAT "
        "steps 20 from 20 to dialog",
        "progress 40 to dialog",
        "unpack RESOURCE.DAT in C:\\Program Files\\Zar Bel PC span 30 from 40 to dialog",
        "progress 70 to dialog",
        "copy C:\\Program Files\\Zar Bel PC\\ZarBelPC.INI -> C:\\WINDOWS\\ZarBelPC.INI",
        "copy C:\\Program Files\\Zar Bel PC\\ZarBelPC_uninstall.exe -> "
        "C:\\WINDOWS\\ZarBelPC_uninstall.exe",
        "shared copy C:\\Program Files\\Zar Bel PC\\mfc71.dll -> C:\\WINDOWS\\mfc71.dll",
        "shared copy C:\\Program Files\\Zar Bel PC\\msvcr71.dll -> C:\\WINDOWS\\msvcr71.dll",
        "delete C:\\WINDOWS\\FONTS\\EUROSTIB.TTF",
        "wait 200",
        "copy C:\\Program Files\\Zar Bel PC\\EUROSTIB.TTF -> C:\\WINDOWS\\FONTS\\EUROSTIB.TTF",
        "register font C:\\WINDOWS\\FONTS\\EUROSTIB.TTF as EUROSTIB.TTF",
        "progress 80 to dialog",
        "setting ZarBelPC.INI Options/FirstTime=1",
        "setting ZarBelPC.INI PATH/Installpath=C:\\Program Files\\Zar Bel PC",
        "setting ZarBelPC.INI PATH/ServerPath=www.zarbelpc.example",
        "setting ZarBelPC.INI PATH/SONGDIR=C:\\Program Files\\Zar Bel PC\\SONGS",
        "wait cursor",
        "progress 90 to dialog",
        "start C:\\WINDOWS\\system32\\regsvr32.exe "
        "[/s \"C:\\Program Files\\Zar Bel PC\\COMDLG32.OCX\"] owner none",
        "start C:\\WINDOWS\\system32\\regsvr32.exe "
        "[/s \"C:\\Program Files\\Zar Bel PC\\MSCOMCTL.OCX\"] owner dialog",
        "start C:\\WINDOWS\\system32\\regsvr32.exe "
        "[/s \"C:\\Program Files\\Zar Bel PC\\MSCOMCT2.OCX\"] owner dialog",
        "start C:\\WINDOWS\\system32\\regsvr32.exe "
        "[/s \"C:\\Program Files\\Zar Bel PC\\TuneChooser.ocx\"] owner dialog",
        "start C:\\WINDOWS\\system32\\regsvr32.exe "
        "[/s \"C:\\Program Files\\Zar Bel PC\\TABCTL32.ocx\"] owner dialog",
        "start C:\\WINDOWS\\system32\\regsvr32.exe "
        "[/s \"C:\\Program Files\\Zar Bel PC\\MSINET.ocx\"] owner dialog",
        "progress 100 to dialog",
        "wait 200",
        "delete C:\\Program Files\\Zar Bel PC\\movefile.bat",
        "empty file C:\\Program Files\\Zar Bel PC\\DefaultPlaylist.pls",
        "cd C:\\Program Files\\Zar Bel PC",
        "start C:\\Program Files\\Zar Bel PC\\assocset.exe [] owner none",
        "restore cursor",
    };
    EXPECT_EQ(expected, Describe(plan));
}

TEST(InstallPlanTest, ProgressWithoutDialogIsPlannedForNoWindow) {
    InstallInputs inputs = {
        nullptr, "D:\\ZB", "C:\\WINDOWS", "C:\\WINDOWS\\system32", 24, &kSetupConfiguration};
    InstallPlan plan;
    ASSERT_EQ(PlanResult::kOk, PlanInstallation(inputs, &plan));
    for (int i = 0; i < plan.count; ++i) {
        EXPECT_EQ(nullptr, plan.actions[i].window) << Describe(plan.actions[i]);
    }
}

// The longest texts made from the install folder: each archive entry, folder\name in 256 bytes
// (the longest shipped name has 24 characters); "\ZarBelPC_uninstall.exe" (23 characters after
// the folder) in a 260-byte path; the registration parameter (21 around it). From the Windows
// directory: the same uninstaller copy. From the system directory: "\regsvr32.exe".
TEST(InstallPlanTest, FoldersWhosePathsWouldNotFitAreRefused) {
    struct Row {
        size_t installLength;
        size_t longestEntryName;
        size_t windowsLength;
        size_t systemLength;
        PlanResult expected;
    };
    const Row rows[] = {
        {230, 24, 10, 19, PlanResult::kOk},
        {231, 24, 10, 19, PlanResult::kInstallFolderTooLong},
        {214, 40, 10, 19, PlanResult::kOk},
        {215, 40, 10, 19, PlanResult::kInstallFolderTooLong},
        // Without an archive resource the uninstaller copy is the longest path.
        {236, 0, 10, 19, PlanResult::kOk},
        {237, 0, 10, 19, PlanResult::kInstallFolderTooLong},
        {259, 24, 10, 19, PlanResult::kInstallFolderTooLong},
        {260, 24, 10, 19, PlanResult::kInstallFolderTooLong},
        {1000, 24, 10, 19, PlanResult::kInstallFolderTooLong},
        {20, 24, 236, 19, PlanResult::kOk},
        {20, 24, 237, 19, PlanResult::kWindowsFolderUnusable},
        {20, 24, 0, 19, PlanResult::kWindowsFolderUnusable},
        {20, 24, 10, 246, PlanResult::kOk},
        {20, 24, 10, 247, PlanResult::kSystemFolderUnusable},
        {20, 24, 10, 0, PlanResult::kSystemFolderUnusable},
    };
    auto folder = [](size_t length, char fill) {
        return length == 0 ? std::string() : "C:\\" + std::string(length - 3, fill);
    };
    for (const Row& row : rows) {
        Folders folders;
        folders.install = folder(row.installLength, 'i');
        folders.windows = folder(row.windowsLength, 'w');
        folders.system = folder(row.systemLength, 's');
        folders.longestEntryName = row.longestEntryName;
        InstallPlan plan;
        EXPECT_EQ(row.expected, Plan(folders, &plan))
            << row.installLength << " " << row.longestEntryName << " " << row.windowsLength << " "
            << row.systemLength;
        if (row.expected != PlanResult::kOk) {
            continue;
        }
        // An accepted plan holds every text whole.
        for (int i = 0; i < plan.count; ++i) {
            const InstallAction& a = plan.actions[i];
            if (a.step == InstallStep::kStartProgram && a.text[0] != '\0') {
                EXPECT_EQ("/s \"" + folders.install + "\\",
                          std::string(a.text).substr(0, folders.install.size() + 5));
                EXPECT_EQ('"', std::string(a.text).back());
            }
            if (a.step == InstallStep::kWriteSetting && std::string(a.key) == "SONGDIR") {
                EXPECT_EQ(folders.install + "\\SONGS", a.text);
            }
            if (a.step == InstallStep::kCopyFile || a.step == InstallStep::kInstallSharedFile ||
                a.step == InstallStep::kRegisterFont) {
                EXPECT_NE(nullptr, strstr(a.path, folders.windows.c_str())) << a.path;
            }
        }
    }
}

TEST(InstallPlanTest, LongestEntryNameIsReadFromTheRecordHeaders) {
    std::vector<unsigned char> archive;
    Append(&archive, RecordBytes("A.TXT", Bytes("abc")));
    Append(&archive, RecordBytes("ZarBelPC_UNINSTALL.exe", Bytes("")));
    Append(&archive, RecordBytes("a-name-in-a-wider-field.dat", Bytes("xy"), 300));
    Append(&archive, RecordBytes("B", Bytes("z")));
    EXPECT_EQ(strlen("a-name-in-a-wider-field.dat"),
              archive::LongestEntryName(archive.data(), archive.size()));

    // A header that runs past the end stops the walk; what came before still counts.
    std::vector<unsigned char> cut(archive.begin(), archive.begin() + 267 + 264 + 8 + 10);
    EXPECT_EQ(strlen("ZarBelPC_UNINSTALL.exe"), archive::LongestEntryName(cut.data(), cut.size()));

    EXPECT_EQ(0u, archive::LongestEntryName(nullptr, 0));
}

}  // namespace
}  // namespace install

#ifdef ZB_PAYLOAD_ENTRIES_FILE
// The setup's list of what the installation needs against the files the payload build stages
// (natively: the list is read from the source tree).
TEST(InstallEntriesTest, EveryRequiredEntryIsShippedInThePayload) {
    std::ifstream file(ZB_PAYLOAD_ENTRIES_FILE);
    ASSERT_TRUE(file.good()) << ZB_PAYLOAD_ENTRIES_FILE;
    std::vector<std::string> shipped;
    for (std::string line; std::getline(file, line);) {
        shipped.push_back(line);
    }
    const char* required[entries::kRequiredCount];
    ASSERT_EQ(entries::kRequiredCount, entries::RequiredEntries(required, entries::kRequiredCount));
    for (const char* name : required) {
        bool found = false;
        for (const std::string& entry : shipped) {
            found = found || text::EqualNoCase(entry.c_str(), name);
        }
        EXPECT_TRUE(found) << name;
    }
    EXPECT_EQ(3, entries::RequiredEntries(required, 3)) << "never more than the capacity";
}
#endif

// The names that the setup, the uninstaller, the product's programs and the dictionary must
// agree on, as the files, the registry and the dictionary hold them.
TEST(InstallEntriesTest, TheSharedNamesAreTheBytesOthersRead) {
    const struct {
        const char* owner;
        const char* bytes;
    } rows[] = {
        {settings::kFileName, "ZarBelPC.INI"},
        {settings::kSettingsSection, "SETTINGS"},
        {settings::kLanguageKey, "CURRLANGUAGE"},
        {settings::kExeModeKey, "EXEMODE"},
        {settings::kPathSection, "PATH"},
        {settings::kInstallPathKey, "Installpath"},
        {settings::kServerPathKey, "ServerPath"},
        {settings::kSongFolderKey, "SONGDIR"},
        {settings::kOptionsSection, "Options"},
        {settings::kFirstTimeKey, "FirstTime"},
        {entries::kShellFoldersKey,
         "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"},
        {entries::kDesktopValue, "Desktop"},
        {entries::kSendToValue, "SendTo"},
        {entries::kStartMenuValue, "Start Menu"},
        {entries::kProgramsValue, "Programs"},
        {entries::kRegistrationProgram, "regsvr32.exe"},
        {entries::kFontsFolder, "FONTS"},
        {entries::kFontFile, "EUROSTIB.TTF"},
        {entries::kLinkName, "ZarbelPC.lnk"},
        {entries::kUninstallLinkName, "Uninstall ZarbelPC.lnk"},
        {entries::kGroupFolder, "ZarbelPC"},
        {kSetupConfiguration.settingsFileName, "ZarBelPC.INI"},
        {kSetupConfiguration.fontFileName, "EUROSTIB.TTF"},
        {kSetupConfiguration.shortcuts.entries[0].linkName, "ZarbelPC.lnk"},
        {kSetupConfiguration.shortcuts.entries[1].linkName, "Uninstall ZarbelPC.lnk"},
        {kSetupConfiguration.shortcuts.programsFolderName, "ZarbelPC"},
        {keys::kSetupCaption, "SETUP_CAPTION"},
        {keys::kSetupLicenseNotShown, "SETUP_LICENSE_NOT_SHOWN"},
        {languages::kItaliano, "ITALIANO"},
        {languages::kEnglish, "ENGLISH"},
        {languages::kFrench, "FRENCH"},
        {languages::kEspanol, "ESPANOL"},
    };
    for (const auto& row : rows) {
        EXPECT_STREQ(row.bytes, row.owner);
    }
}
