// A whole installation into this (fresh) Wine prefix with a small payload and the answer Yes:
// every file, copy, font, setting, program start and link where it belongs. The companion
// program of the payload is a stand-in that notes how it was started.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "WinTestSupport.h"
#include "doubles/InstallDoubles.h"
#include "install/InstallLocation.h"
#include "install/InstallSequence.h"
#include "install/Shortcuts.h"
#include "package/ArchiveBytes.h"
#include "platform/MemoryResourceStore.h"
#include "platform/Win32Adapters.h"
#include "records/SetupState.h"

namespace {

constexpr const char* kShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr const char* kUserShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
// Wine links the user's desktop to the host's home folder; this test's desktop stays inside
// the prefix.
constexpr const char* kDesktop = "C:\\users\\Public\\ZarBelPC-Desktop";

void SetString(const char* key, const char* name, DWORD type, const char* value) {
    HKEY opened;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_SET_VALUE,
                                             nullptr, &opened, nullptr));
    RegSetValueExA(opened, name, 0, type, reinterpret_cast<const BYTE*>(value),
                   static_cast<DWORD>(strlen(value) + 1));
    RegCloseKey(opened);
}

std::string ReadText(const std::string& path) {
    std::string text;
    for (const std::string& line : ReadLines(path)) {
        text += line + "\n";
    }
    return text;
}

std::string Setting(const char* section, const char* key) {
    char value[300];
    GetPrivateProfileStringA(section, key, "<missing>", value, sizeof value, "ZarBelPC.INI");
    return value;
}

// The payload under the names the shipped archive uses, which differ in case from the names the
// installation asks for.
std::vector<std::pair<std::string, std::string>> Payload() {
    std::vector<std::pair<std::string, std::string>> files = {
        {"ZARBELPC.INI", "[SETTINGS]\r\nVOLUME=7\r\n"},
        {"ZarBelPC.exe", "the application"},
        {"ZarBelPC_UNINSTALL.exe", "the uninstaller"},
        {"MFC71.dll", "runtime library one"},
        {"msvcr71.dll", "runtime library two"},
        {"eurostib.TTF", "the font"},
        {"movefile.bat", "@echo never run"},
        {"DICT.DIC", "the dictionary"},
    };
    for (const char* control : {"COMDLG32.OCX", "MSCOMCT2.OCX", "MSCOMCTL.OCX", "MSINET.OCX",
                                "TABCTL32.OCX", "TuneChooser.ocx"}) {
        files.push_back({control, std::string("control ") + control});
    }
    return files;
}

TEST(WholeInstallationTest, InstallsIntoTheWinePrefix) {
    ASSERT_TRUE(CreateDirectoryA(kDesktop, nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    SetString(kShellFolders, "Desktop", REG_SZ, kDesktop);
    SetString(kUserShellFolders, "Desktop", REG_EXPAND_SZ, kDesktop);

    std::vector<unsigned char> companion = CompanionBytes();
    ASSERT_FALSE(companion.empty());

    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    char system[MAX_PATH];
    GetSystemDirectoryA(system, sizeof system);
    // An earlier installation's settings file and font are replaced.
    WritePrivateProfileStringA("OLD", "KEY", "1", "ZarBelPC.INI");
    FILE* oldFont = fopen((std::string(windows) + "\\Fonts\\EUROSTIB.TTF").c_str(), "wb");
    ASSERT_NE(nullptr, oldFont);
    fputs("old font", oldFont);
    fclose(oldFont);

    std::vector<unsigned char> archive;
    for (const auto& file : Payload()) {
        Append(&archive, RecordBytes(file.first, Bytes(file.second)));
    }
    Append(&archive, RecordBytes("assocset.exe", companion));

    MemoryResourceStore resources;
    resources.Add("PLAINEXTRACT", "RESOURCE.DAT", archive);
    RecordingMessageBoxes messages;
    messages.answers = {kIdYes};
    RecordingProgressBar progress;
    RecordingShell shell;
    shell.inner = &Win32Shell();
    Platform platform;
    platform.system = &Win32System();
    platform.messages = &messages;
    platform.profile = &Win32Profile();
    platform.resources = &resources;
    platform.files = &Win32Files();
    platform.progress = &progress;
    platform.registry = &Win32Registry();
    platform.shell = &shell;
    platform.links = &Win32ShellLinks();
    platform.fonts = &Win32Fonts();
    platform.versions = &Win32FileVersions();

    SetupState* state = new SetupState;
    InitSetupState(*state);
    StringEntry& caption = state->strings.rows[state->strings.count++];
    strcpy(caption.key, "GLOBAL_INFO");
    strcpy(caption.text, "Informazione");
    StringEntry& question = state->strings.rows[state->strings.count++];
    strcpy(question.key, "SETUP_CREATE_ICON_ON_DESKTOP");
    strcpy(question.text, "Creare le icone sul desktop?");
    MakeDefaultInstallFolder(platform, state->installFolder, sizeof state->installFolder);
    const std::string install = state->installFolder;
    EXPECT_EQ("C:\\Program Files\\ZarbelPC", install);

    HWND dialog = MakeHiddenWindow();
    ASSERT_NE(nullptr, dialog);
    ASSERT_EQ(1, RunInstallation(*state, platform, dialog));
    ASSERT_TRUE(WaitForFile(install + "\\assocset.exe.ran", 15000));

    // The companion ran in the install folder, without arguments.
    EXPECT_EQ((std::vector<std::string>{install}), ReadLines(install + "\\assocset.exe.ran"));
    char current[MAX_PATH];
    GetCurrentDirectoryA(sizeof current, current);
    EXPECT_EQ(install, current);

    // The registrations: the system's regsvr32 by its full path, never by the bare name.
    ASSERT_EQ(7u, shell.starts.size());
    const char* controls[] = {"COMDLG32.OCX",    "MSCOMCTL.OCX", "MSCOMCT2.OCX",
                              "TuneChooser.ocx", "TABCTL32.ocx", "MSINET.ocx"};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(std::string(system) + "\\regsvr32.exe", shell.starts[i].file);
        EXPECT_EQ("/s \"" + install + "\\" + controls[i] + "\"", shell.starts[i].parameters);
        EXPECT_EQ(i == 0 ? nullptr : dialog, shell.starts[i].owner);
    }
    EXPECT_EQ(install + "\\assocset.exe", shell.starts[6].file);
    EXPECT_EQ((std::vector<int>{1, 1, 1, 1, 1, 1, 1}), shell.results);

    // The install folder: every entry but the batch file, the archive gone, an empty playlist
    // and the companion's note.
    std::vector<std::string> expectedFiles = {
        "COMDLG32.OCX 20",
        "DICT.DIC 14",
        "DefaultPlaylist.pls 0",
        "MFC71.dll 19",
        "MSCOMCT2.OCX 20",
        "MSCOMCTL.OCX 20",
        "MSINET.OCX 18",
        "TABCTL32.OCX 20",
        "TuneChooser.ocx 23",
        "ZARBELPC.INI 22",
        "ZarBelPC.exe 15",
        "ZarBelPC_UNINSTALL.exe 15",
        "assocset.exe " + std::to_string(companion.size()),
        "assocset.exe.ran " + std::to_string(install.size() + 1),
        "eurostib.TTF 8",
        "msvcr71.dll 19",
    };
    std::sort(expectedFiles.begin(), expectedFiles.end());
    EXPECT_EQ(expectedFiles, ListFolder(install));

    // The Windows directory and the font.
    const std::string w = windows;
    EXPECT_EQ("the uninstaller\n", ReadText(w + "\\ZarBelPC_uninstall.exe"));
    EXPECT_EQ("runtime library one\n", ReadText(w + "\\mfc71.dll"));
    EXPECT_EQ("runtime library two\n", ReadText(w + "\\msvcr71.dll"));
    EXPECT_EQ("the font\n", ReadText(w + "\\Fonts\\EUROSTIB.TTF"));
    EXPECT_EQ("<missing>", Setting("OLD", "KEY"));
    EXPECT_EQ("7", Setting("SETTINGS", "VOLUME"));
    EXPECT_EQ("1", Setting("Options", "FirstTime"));
    EXPECT_EQ(install, Setting("PATH", "Installpath"));
    EXPECT_EQ("www.zarbelpc.example", Setting("PATH", "ServerPath"));
    EXPECT_EQ(install + "\\SONGS", Setting("PATH", "SONGDIR"));

    // The links, loaded back through the shell.
    char sendTo[kShellFolderSize];
    char startMenu[kShellFolderSize];
    char programs[kShellFolderSize];
    ASSERT_EQ(1, GetShellFolder(platform, sendTo, sizeof sendTo, "SendTo"));
    ASSERT_EQ(1, GetShellFolder(platform, startMenu, sizeof startMenu, "Start Menu"));
    ASSERT_EQ(1, GetShellFolder(platform, programs, sizeof programs, "Programs"));
    const std::string group = std::string(programs) + "\\ZarbelPC";
    struct ExpectedLink {
        std::string path;
        std::string target;
        std::string description;
    };
    const std::string program = install + "\\ZarbelPC.EXE";
    const ExpectedLink links[] = {
        {std::string(kDesktop) + "\\ZarbelPC.lnk", program, "ZarbelPC"},
        {std::string(sendTo) + "\\ZarbelPC.lnk", program, "ZarbelPC"},
        {std::string(startMenu) + "\\ZarbelPC.lnk", program, "ZarbelPC"},
        {group + "\\ZarbelPC.lnk", program, "ZarBelPC: Software Multimediale per Karaoke"},
        {group + "\\Uninstall ZarbelPC.lnk", w + "\\ZarBelPC_UNINSTALL.EXE",
         "ZarBelPC: Software Multimediale per Karaoke"},
    };
    printf("links:\n");
    for (const ExpectedLink& link : links) {
        LoadedLink loaded = LoadLink(link.path);
        EXPECT_TRUE(loaded.loaded) << link.path;
        EXPECT_EQ(Lower(link.target), Lower(loaded.target)) << link.path;
        EXPECT_EQ(link.description, loaded.description) << link.path;
        printf("  %s -> %s (%s)\n", link.path.c_str(), loaded.target.c_str(),
               loaded.description.c_str());
    }

    std::vector<int> positions = progress.Positions();
    ASSERT_GE(positions.size(), 8u);
    EXPECT_EQ(0, positions[0]);
    EXPECT_EQ(10, positions[1]);
    EXPECT_EQ(20, positions[2]);
    EXPECT_EQ((std::vector<int>{70, 80, 90, 100}),
              std::vector<int>(positions.end() - 4, positions.end()));

    printf("%s:\n", install.c_str());
    for (const std::string& entry : ListFolder(install)) {
        printf("  %s\n", entry.c_str());
    }
    printf("%s (installed files):\n", windows);
    for (const char* name : {"ZarBelPC.INI", "ZarBelPC_uninstall.exe", "mfc71.dll", "msvcr71.dll",
                             "Fonts\\EUROSTIB.TTF"}) {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (GetFileAttributesExA((w + "\\" + name).c_str(), GetFileExInfoStandard, &data)) {
            printf("  %s %lu\n", name, static_cast<unsigned long>(data.nFileSizeLow));
        }
    }
    printf("%s\\ZarBelPC.INI:\n%s", windows, ReadText(w + "\\ZarBelPC.INI").c_str());
    printf("starts:\n");
    for (const ShellStart& start : shell.starts) {
        printf("  %s %s\n", start.file.c_str(), start.parameters.c_str());
    }
    DestroyWindow(dialog);
    delete state;
}

}  // namespace
