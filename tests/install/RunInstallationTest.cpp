// The whole installation over real files in a scratch folder: what it leaves behind, the order of
// its steps, and what a failed unpacking or a refused folder leaves untouched.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "doubles/InstallDoubles.h"
#include "doubles/Scratch.h"
#include "doubles/TestFont.h"
#include "doubles/TestDictionary.h"
#include "install/InstallSequence.h"
#include "install/TestPayload.h"
#include "platform/IniFile.h"
#include "platform/MemoryResourceStore.h"
#include "platform/Text.h"
#include "records/SetupState.h"

namespace {

WindowHandle const kDialog = reinterpret_cast<WindowHandle>(0xD1A);
constexpr const char* kShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const std::string kRegsvr32 = "C:\\WINDOWS\\system32\\regsvr32.exe";

class RunInstallationTest : public ::testing::Test {
protected:
    void SetUp() override {
        windows_ = scratch_.Join("WINDOWS");
        install_ = scratch_.Join("Zar Bel PC");
        std::unique_ptr<FileSystem> real = MakeTestFileSystem(windows_);
        ASSERT_TRUE(real->CreateFolder(windows_.c_str()));
        ASSERT_TRUE(real->CreateFolder((windows_ + "\\FONTS").c_str()));
        char current[1024];
        ASSERT_NE(0u, real->GetCurrentFolder(current, sizeof current));
        startFolder_ = current;
        files_.reset(new LoggingFileSystem(std::move(real), windows_, &log_));
        profileStore_ = MakeTestProfileStore(windows_);
        profile_.reset(new LoggingProfileStore(*profileStore_, &log_));

        platform_.system = &system_;
        platform_.messages = &messages_;
        platform_.profile = profile_.get();
        platform_.resources = &resources_;
        platform_.files = files_.get();
        platform_.progress = &progress_;
        platform_.registry = &registry_;
        platform_.shell = &shell_;
        platform_.links = &links_;
        platform_.fonts = &fonts_;
        platform_.versions = &versions_;
        fonts_.log = &log_;
        registry_.log = &log_;
        shell_.log = &log_;
        links_.log = &log_;
        for (const char* name : {"Desktop", "SendTo", "Start Menu", "Programs"}) {
            registry_.SetValue(RegistryRoot::kCurrentUser, kShellFoldersKey, name,
                               scratch_.Join(name));
        }

        state_ = new SetupState;
        InitSetupState(*state_);
        strcpy(state_->installFolder, install_.c_str());
        payload_ = TestPayloadFiles();
    }
    void TearDown() override {
        files_->SetCurrentFolder(startFolder_.c_str());
        delete state_;
    }

    void AddPayload() { resources_.Add("PLAINEXTRACT", "RESOURCE.DAT", PayloadArchive(payload_)); }

    std::string Setting(const char* section, const char* key) {
        char value[300];
        profileStore_->ReadString(section, key, "<missing>", value, sizeof value, "ZarBelPC.INI");
        return value;
    }

    // Old files of an earlier installation in the Windows directory.
    void PlaceOldFiles() {
        ASSERT_TRUE(WriteFileText(windows_ + "\\ZarBelPC.INI", "[OLD]\r\nKEY=1\r\n"));
        ASSERT_TRUE(WriteFileText(windows_ + "\\ZarBelPC_uninstall.exe", "old uninstaller"));
        ASSERT_TRUE(WriteFileText(windows_ + "\\mfc71.dll", "old library"));
        ASSERT_TRUE(WriteFileText(windows_ + "\\FONTS\\EUROSTIB.TTF", "old font"));
    }
    void ExpectOldFilesUntouched() {
        EXPECT_EQ("[OLD]\r\nKEY=1\r\n", ReadFileText(windows_ + "\\ZarBelPC.INI"));
        EXPECT_EQ("old uninstaller", ReadFileText(windows_ + "\\ZarBelPC_uninstall.exe"));
        EXPECT_EQ("old library", ReadFileText(windows_ + "\\mfc71.dll"));
        EXPECT_EQ("old font", ReadFileText(windows_ + "\\FONTS\\EUROSTIB.TTF"));
        EXPECT_FALSE(FileExists(windows_ + "\\msvcr71.dll"));
    }

    // The events from the first one equal to from, up to but not including the one equal to to.
    std::vector<std::string> Between(const std::string& from, const std::string& to) const {
        auto begin = std::find(log_.begin(), log_.end(), from);
        auto end = std::find(begin, log_.end(), to);
        return std::vector<std::string>(begin, end);
    }

    ScratchFolder scratch_;
    std::string windows_;
    std::string install_;
    std::string startFolder_;
    EventLog log_;
    LoggingSystem system_{&log_};
    RecordingMessageBoxes messages_;
    MemoryResourceStore resources_;
    LoggingProgressBar progress_{&log_};
    RecordingRegistry registry_;
    RecordingShell shell_;
    RecordingShellLinks links_;
    RecordingFonts fonts_;
    ScriptedFileVersions versions_;
    std::unique_ptr<LoggingFileSystem> files_;
    std::unique_ptr<ProfileStore> profileStore_;
    std::unique_ptr<LoggingProfileStore> profile_;
    Platform platform_;
    SetupState* state_;
    PayloadFiles payload_;
};

TEST_F(RunInstallationTest, InstallsEverythingInOrder) {
    for (auto& file : payload_) {
        if (file.first == "EUROSTIB.TTF") {
            file.second = TestFont("Test Sans Bold");
        }
    }
    AddPayload();
    PlaceOldFiles();
    ASSERT_TRUE(files_->CreateFolder(install_.c_str()));
    ASSERT_TRUE(WriteFileText(install_ + "\\DefaultPlaylist.pls", "old playlist"));
    messages_.answers = {kIdYes};

    ASSERT_EQ(1, RunInstallation(*state_, platform_, kDialog));
    EXPECT_EQ(windows_, state_->windowsFolder);

    // The install folder: every entry but the batch file, no archive, an emptied playlist.
    for (const auto& file : payload_) {
        if (file.first == "movefile.bat") {
            EXPECT_FALSE(FileExists(install_ + "\\" + file.first));
        } else {
            EXPECT_EQ(file.second, ReadFileText(install_ + "\\" + file.first)) << file.first;
        }
    }
    EXPECT_FALSE(FileExists(install_ + "\\RESOURCE.DAT"));
    EXPECT_TRUE(FileExists(install_ + "\\DefaultPlaylist.pls"));
    EXPECT_EQ("", ReadFileText(install_ + "\\DefaultPlaylist.pls"));

    // The Windows directory: copies replace the old files, the product's settings replace the
    // old settings file and get the four values.
    EXPECT_EQ("the uninstaller", ReadFileText(windows_ + "\\ZarBelPC_uninstall.exe"));
    EXPECT_EQ("runtime library one", ReadFileText(windows_ + "\\mfc71.dll"));
    EXPECT_EQ("runtime library two", ReadFileText(windows_ + "\\msvcr71.dll"));
    EXPECT_EQ(TestFont("Test Sans Bold"), ReadFileText(windows_ + "\\FONTS\\EUROSTIB.TTF"));
    EXPECT_EQ("<missing>", Setting("OLD", "KEY"));
    EXPECT_EQ("7", Setting("SETTINGS", "VOLUME"));
    EXPECT_EQ("1", Setting("Options", "FirstTime"));
    EXPECT_EQ(install_, Setting("PATH", "Installpath"));
    EXPECT_EQ("www.zarbelpc.example", Setting("PATH", "ServerPath"));
    EXPECT_EQ(install_ + "\\SONGS", Setting("PATH", "SONGDIR"));

    // Registrations by full path, one quoted parameter each; the companion without parameters.
    ASSERT_EQ(7u, shell_.starts.size());
    const char* controls[] = {"COMDLG32.OCX",    "MSCOMCTL.OCX", "MSCOMCT2.OCX",
                              "TuneChooser.ocx", "TABCTL32.ocx", "MSINET.ocx"};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(kRegsvr32, shell_.starts[i].file);
        EXPECT_EQ("/s \"" + install_ + "\\" + controls[i] + "\"", shell_.starts[i].parameters);
        EXPECT_EQ(i == 0 ? nullptr : kDialog, shell_.starts[i].owner) << i;
    }
    EXPECT_EQ(install_ + "\\assocset.exe", shell_.starts[6].file);
    EXPECT_FALSE(shell_.starts[6].hasParameters);
    EXPECT_EQ(nullptr, shell_.starts[6].owner);
    char current[1024];
    ASSERT_NE(0u, files_->GetCurrentFolder(current, sizeof current));
    EXPECT_TRUE(FileExists(std::string(current) + "\\DefaultPlaylist.pls"))
        << "the companion inherits the install folder as its current directory";

    EXPECT_EQ((std::vector<std::string>{"wait", "previous"}), system_.cursorChanges);
    EXPECT_EQ(5u, links_.links.size());

    // Progress: 0, 10, 20 to 40 while the resource is written, 40, one position per record
    // from 40 towards 70, then 70, 80, 90, 100.
    std::vector<int> positions = progress_.Positions();
    std::vector<int> expectedStart = {0, 10};
    for (int p = 20; p <= 40; ++p) {
        expectedStart.push_back(p);
    }
    expectedStart.push_back(40);
    ASSERT_EQ(expectedStart.size() + payload_.size() + 4, positions.size());
    EXPECT_EQ(expectedStart,
              std::vector<int>(positions.begin(), positions.begin() + expectedStart.size()));
    for (size_t i = expectedStart.size(); i < positions.size() - 4; ++i) {
        EXPECT_GE(positions[i], 40);
        EXPECT_LT(positions[i], 70);
        EXPECT_GE(positions[i], positions[i - 1]);
    }
    EXPECT_EQ((std::vector<int>{70, 80, 90, 100}),
              std::vector<int>(positions.end() - 4, positions.end()));

    // From 70 to 80: copies, the libraries counted (the old mfc71.dll had no count: its owner
    // counts as one), then the font, loaded, listed under its own name and announced.
    const std::string shared =
        "registry HKLM\\SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\SHAREDDLLS\\" + windows_;
    EXPECT_EQ((std::vector<std::string>{
                  "progress 70",
                  "copy " + install_ + "\\ZarBelPC.INI -> " + windows_ + "\\ZarBelPC.INI",
                  "copy " + install_ + "\\ZarBelPC_uninstall.exe -> " + windows_ +
                      "\\ZarBelPC_uninstall.exe",
                  "copy " + install_ + "\\mfc71.dll -> " + windows_ + "\\mfc71.dll",
                  shared + "\\mfc71.dll=dword:2",
                  "copy " + install_ + "\\msvcr71.dll -> " + windows_ + "\\msvcr71.dll",
                  shared + "\\msvcr71.dll=dword:1",
                  "delete " + windows_ + "\\FONTS\\EUROSTIB.TTF",
                  "sleep 200",
                  "copy " + install_ + "\\EUROSTIB.TTF -> " + windows_ + "\\FONTS\\EUROSTIB.TTF",
                  "add font " + windows_ + "\\FONTS\\EUROSTIB.TTF",
                  "registry HKLM\\SOFTWARE\\MICROSOFT\\WINDOWS NT\\CURRENTVERSION\\FONTS\\"
                  "Test Sans Bold (TrueType)=EUROSTIB.TTF",
                  "announce font change",
              }),
              Between("progress 70", "progress 80"));
    // From 80 to the shortcuts: settings, registrations after 90, the playlist after 100 and
    // the wait, the companion last.
    std::string regsvr32 = "start " + kRegsvr32 + " /s \"" + install_ + "\\";
    EXPECT_EQ((std::vector<std::string>{
                  "progress 80",
                  "setting Options/FirstTime=1",
                  "setting PATH/Installpath=" + install_,
                  "setting PATH/ServerPath=www.zarbelpc.example",
                  "setting PATH/SONGDIR=" + install_ + "\\SONGS",
                  "wait cursor",
                  "progress 90",
                  regsvr32 + "COMDLG32.OCX\"",
                  regsvr32 + "MSCOMCTL.OCX\"",
                  regsvr32 + "MSCOMCT2.OCX\"",
                  regsvr32 + "TuneChooser.ocx\"",
                  regsvr32 + "TABCTL32.ocx\"",
                  regsvr32 + "MSINET.ocx\"",
                  "progress 100",
                  "sleep 200",
                  "delete " + install_ + "\\movefile.bat",
                  "create " + install_ + "\\DefaultPlaylist.pls",
                  "cd " + install_,
                  "start " + install_ + "\\assocset.exe",
                  "restore cursor",
              }),
              Between("progress 80", "link " + scratch_.Join("Desktop") + "\\ZarbelPC.lnk -> " +
                                         install_ + "\\ZarbelPC.EXE"));
}

// Another product's newer MFC71.dll, counted by it, stays and gets our count on top; a font
// file whose name cannot be read is still loaded and announced, but not listed.
TEST_F(RunInstallationTest, ANewerLibraryOfAnotherProductStaysAndIsCounted) {
    AddPayload();
    const std::string mfc = windows_ + "\\mfc71.dll";
    const char* const kShared = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
    ASSERT_TRUE(WriteFileText(mfc, "the other product's library"));
    versions_.Set(mfc, 0x0007000A178E0000ull);  // 7.10.6030.0; ours has no version resource
    registry_.SetValue(RegistryRoot::kLocalMachine, kShared, mfc, "dword:3");
    messages_.answers = {kIdNo};

    ASSERT_EQ(1, RunInstallation(*state_, platform_, kDialog));
    EXPECT_EQ("the other product's library", ReadFileText(mfc));
    EXPECT_EQ("dword:4", registry_.Value(RegistryRoot::kLocalMachine, kShared, mfc));
    EXPECT_EQ("runtime library two", ReadFileText(windows_ + "\\msvcr71.dll"));
    EXPECT_EQ("dword:1",
              registry_.Value(RegistryRoot::kLocalMachine, kShared, windows_ + "\\msvcr71.dll"));
    std::vector<std::string> fonts =
        Between("add font " + windows_ + "\\FONTS\\EUROSTIB.TTF", "progress 80");
    EXPECT_EQ((std::vector<std::string>{"add font " + windows_ + "\\FONTS\\EUROSTIB.TTF",
                                        "announce font change"}),
              fonts);
}

TEST_F(RunInstallationTest, FailedUnpackLeavesEverythingOutsideTheFolderUntouched) {
    struct Row {
        const char* why;
        bool withPayload;
        std::string installFolder;
    };
    const Row rows[] = {
        {"no archive resource", false, install_},
        {"the folder's parent is missing", true, scratch_.Join("missing") + "\\ZarbelPC"},
    };
    PlaceOldFiles();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.why);
        if (row.withPayload) {
            AddPayload();
        }
        strcpy(state_->installFolder, row.installFolder.c_str());
        messages_.shown.clear();
        log_.clear();
        EXPECT_EQ(0, RunInstallation(*state_, platform_, kDialog));

        ExpectOldFilesUntouched();
        ASSERT_EQ(2u, messages_.shown.size()) << "the extraction's messages, no question";
        EXPECT_EQ("Impossibile accedere al file RESOURCE.DAT", messages_.shown[1].text);
        EXPECT_EQ((std::vector<int>{0, 10, 40}), progress_.Positions());
        progress_.calls.clear();
        for (const std::string& event : log_) {
            EXPECT_EQ(std::string::npos, event.find("setting")) << event;
            EXPECT_EQ(std::string::npos, event.find("copy")) << event;
        }
        EXPECT_TRUE(shell_.starts.empty());
        EXPECT_TRUE(links_.links.empty());
        EXPECT_TRUE(system_.cursorChanges.empty());
        EXPECT_TRUE(registry_.calls.empty());
    }
}

TEST_F(RunInstallationTest, TooLongFolderIsRefusedBeforeAnythingIsWritten) {
    AddPayload();
    PlaceOldFiles();
    // "ZarBelPC_uninstall.exe" is the longest entry name: folder + 23 must stay below 256.
    std::string folder = scratch_.Join(std::string(233 - scratch_.path().size() - 1, 'x'));
    ASSERT_EQ(233u, folder.size());
    strcpy(state_->installFolder, folder.c_str());

    EXPECT_EQ(0, RunInstallation(*state_, platform_, kDialog));
    ASSERT_EQ(1u, messages_.shown.size());
    EXPECT_EQ(kDialog, messages_.shown[0].owner);
    EXPECT_EQ("ZarBelPC - Setup", messages_.shown[0].caption);
    EXPECT_EQ(kMbIconError, messages_.shown[0].type);
    EXPECT_EQ("The installation folder is too long:\n" + folder +
                  "\n\nPlease start the setup again and choose a shorter folder.",
              messages_.shown[0].text);
    EXPECT_TRUE(log_.empty()) << log_.front();
    EXPECT_FALSE(FileExists(folder + "\\RESOURCE.DAT"));
    ExpectOldFilesUntouched();

    // One character less fits.
    folder.pop_back();
    strcpy(state_->installFolder, folder.c_str());
    messages_.answers = {kIdNo};
    EXPECT_EQ(1, RunInstallation(*state_, platform_, kDialog));
    EXPECT_EQ("the uninstaller", ReadFileText(windows_ + "\\ZarBelPC_uninstall.exe"));
}

// Settings writes that the platform refuses, as for a Windows directory that cannot be written.
class RefusingProfileStore : public ProfileStore {
public:
    size_t ReadString(const char*, const char*, const char* defaultValue, char* out, size_t size,
                      const char*) override {
        return text::Copy(out, size, defaultValue) ? strlen(out) : 0;
    }
    int WriteString(const char*, const char*, const char*, const char*) override {
        ++refused;
        return 0;
    }
    int refused = 0;
};

// A Windows directory that cannot be written: the installation folder is filled, nothing in the
// Windows directory is replaced or lost, and the copies and settings that failed are silent.
TEST_F(RunInstallationTest, WindowsDirectoryThatCannotBeWritten) {
    AddPayload();
    PlaceOldFiles();
    // The fonts folder inside it cannot be written either.
    auto fonts = std::make_unique<WorkFolderFiles>(MakeTestFileSystem(windows_));
    fonts->readOnlyFolder = windows_ + "\\FONTS";
    fonts->currentFolder = startFolder_;
    fonts->tempFolder = startFolder_;
    auto guarded = std::make_unique<WorkFolderFiles>(std::move(fonts));
    guarded->readOnlyFolder = windows_;
    guarded->currentFolder = startFolder_;
    guarded->tempFolder = startFolder_;
    files_.reset(new LoggingFileSystem(std::move(guarded), windows_, &log_));
    platform_.files = files_.get();
    RefusingProfileStore refusing;
    platform_.profile = &refusing;
    messages_.answers = {kIdNo};

    EXPECT_EQ(1, RunInstallation(*state_, platform_, kDialog));
    ExpectOldFilesUntouched();
    EXPECT_EQ(4, refusing.refused);
    EXPECT_EQ("the application", ReadFileText(install_ + "\\ZarbelPC.EXE"));
    ASSERT_EQ(1u, messages_.shown.size()) << "only the desktop question";
}

// The entry in the system's list of installed programs: written last, once the links are made,
// with every value pointing at what the installation left.
TEST_F(RunInstallationTest, RegistersTheInstallationWithTheSystemLast) {
    payload_.push_back({"logo.jpg", std::string(3000, 'j')});
    AddPayload();
    registry_.log = &log_;
    messages_.answers = {kIdYes};
    ASSERT_EQ(1, RunInstallation(*state_, platform_, kDialog));

    // Every entry but the deleted batch file, plus the five copies outside the install folder.
    uint64_t bytes = 0;
    for (const auto& file : payload_) {
        if (file.first != "movefile.bat") {
            bytes += file.second.size();
        }
        for (const char* copied : {"ZarBelPC.INI", "ZarBelPC_uninstall.exe", "mfc71.dll",
                                   "msvcr71.dll", "EUROSTIB.TTF"}) {
            if (file.first == copied) {
                bytes += file.second.size();
            }
        }
    }
    ASSERT_GT(bytes, 3072u);
    ASSERT_LT(bytes, 4096u);
    const std::string uninstaller = windows_ + "\\ZarBelPC_uninstall.exe";
    const std::pair<const char*, std::string> values[] = {
        {"DisplayName", "ZarBelPC"},
        {"DisplayVersion", "1.0"},
        {"Publisher", "ZarBelPC"},
        {"InstallLocation", install_},
        {"DisplayIcon", install_ + "\\ZarBelPC.EXE"},
        {"UninstallString", "\"" + uninstaller + "\""},
        {"QuietUninstallString", "\"" + uninstaller + "\" /quiet"},
        {"EstimatedSize", "dword:4"},
        {"NoModify", "dword:1"},
        {"NoRepair", "dword:1"},
        {"URLInfoAbout", "https://www.zarbelpc.example/"},
    };
    const char* key = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ZarBelPC";
    for (const auto& [name, value] : values) {
        EXPECT_EQ(value, registry_.Value(RegistryRoot::kLocalMachine, key, name)) << name;
    }
    EXPECT_EQ(0, registry_.openKeys);

    // After the last link; nothing follows but the other values.
    auto lastLink = std::find_if(log_.rbegin(), log_.rend(), [](const std::string& event) {
        return event.rfind("link ", 0) == 0;
    });
    ASSERT_NE(log_.rend(), lastLink);
    std::vector<std::string> after(lastLink.base(), log_.end());
    ASSERT_EQ(11u, after.size());
    for (const std::string& event : after) {
        EXPECT_EQ(0u, event.rfind("registry HKLM\\SOFTWARE\\MICROSOFT\\WINDOWS\\", 0)) << event;
    }
}

// A registry that refuses the entry leaves a complete installation, and says nothing: the
// product works and its uninstaller link is in place.
TEST_F(RunInstallationTest, AnEntryTheRegistryRefusesDoesNotFailTheInstallation) {
    AddPayload();
    struct Row {
        const char* why;
        uint32_t createError;
        const char* failingValue;
    };
    const Row rows[] = {
        {"the key cannot be created", kErrorAccessDenied, ""},
        {"a value cannot be set", 0, "EstimatedSize"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.why);
        RecordingRegistry registry;
        for (const char* name : {"Desktop", "SendTo", "Start Menu", "Programs"}) {
            registry.SetValue(RegistryRoot::kCurrentUser, kShellFoldersKey, name,
                              scratch_.Join(name));
        }
        registry.createError = row.createError;
        registry.failingValue = row.failingValue;
        platform_.registry = &registry;
        messages_.shown.clear();
        messages_.answers = {kIdNo};
        links_.links.clear();

        EXPECT_EQ(1, RunInstallation(*state_, platform_, kDialog));
        EXPECT_EQ(1u, messages_.shown.size()) << "only the desktop question";
        EXPECT_EQ(4u, links_.links.size());
        EXPECT_EQ(0, registry.openKeys) << "the key is closed on the failing path too";
        platform_.registry = &registry_;
    }
}

// A run that stops before the end leaves no entry that would point at a half installation.
TEST_F(RunInstallationTest, NoEntryWithoutACompleteInstallation) {
    messages_.answers = {kIdYes};
    EXPECT_EQ(0, RunInstallation(*state_, platform_, kDialog));
    EXPECT_FALSE(
        registry_.HasKey(RegistryRoot::kLocalMachine,
                         "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ZarBelPC"));
}

}  // namespace
