// The whole product under Wine, as a release ships it: the setup signed with a throwaway CA's
// certificate (the signature must verify), one installation of the default payload through the
// three dialogs, checked on what it leaves (files byte for byte, the Windows directory copies,
// the font, the settings, registered controls, associations, links, the main program reading its
// settings, the entry in the system's list of programs, which Wine's own uninstaller lists),
// then removed through Wine's uninstaller, which runs the entry's UninstallString: checked on
// what it takes away and on the user's song it must leave alone.
//
// The tests share one prefix and run in the order written: the uninstallation comes last.
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <set>
#include <string>
#include <vector>

#include "driver/Bitmap.h"
#include "runner/OtherProduct.h"
#include "runner/WineSession.h"

namespace e2e {
namespace {

// The product's folder in the Program Files of the target's width (the 32-bit one for i686).
const std::string kInstallFolder = CurrentTarget().programFiles + "\\ZarbelPC";
const std::string kInstallUnix = CurrentTarget().programFilesUnix + "/ZarbelPC";
const std::string kMainTarget = kInstallFolder + "\\ZarbelPC.EXE";
const char* const kUninstallTarget = "C:\\windows\\ZarBelPC_UNINSTALL.EXE";
const char* const kUserSong = "My Song.kar";
const char* const kEntryKey =
    "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ZarBelPC";
const char* const kShellFolders =
    "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

struct Control {
    const char* file;
    const char* progId;
};
const Control kControls[] = {
    {"COMDLG32.OCX", "ZarBelPC.CommonDialog"},    {"MSCOMCTL.OCX", "ZarBelPC.CommonControls"},
    {"MSCOMCT2.OCX", "ZarBelPC.CommonControls2"}, {"TuneChooser.ocx", "ZarBelPC.TuneChooser"},
    {"TABCTL32.OCX", "ZarBelPC.TabControl"},      {"MSINET.OCX", "ZarBelPC.InternetTransfer"},
};

// The Windows directory copies: (name in the payload, name the installation gives the copy).
const std::pair<const char*, const char*> kWindowsCopies[] = {
    {"ZarBelPC_UNINSTALL.exe", "ZarBelPC_uninstall.exe"},
    {"MFC71.dll", "mfc71.dll"},
    {"msvcr71.dll", "msvcr71.dll"},
};

std::string Upper(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

std::string StagingFolder() {
    return CurrentTarget().build + "/payload-staging";
}

std::vector<std::string> FilesIn(const std::string& unixFolder) {
    std::vector<std::string> names;
    if (DIR* dir = opendir(unixFolder.c_str())) {
        while (dirent* entry = readdir(dir)) {
            std::string name = entry->d_name;
            if (name != "." && name != "..") {
                names.push_back(name);
            }
        }
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The file of a folder whose name matches without regard to case, as Windows finds it; "" when
// there is none.
std::string FindNoCase(const std::string& unixFolder, const std::string& name) {
    for (const std::string& candidate : FilesIn(unixFolder)) {
        if (Upper(candidate) == Upper(name)) {
            return unixFolder + "/" + candidate;
        }
    }
    return "";
}

// Every file and folder under a folder, relative to it, sorted ("SONGS/", "SONGS/a.kar").
void ListTree(const std::string& unixFolder, const std::string& prefix,
              std::vector<std::string>* into) {
    for (const std::string& name : FilesIn(unixFolder)) {
        std::string path = unixFolder + "/" + name;
        struct stat info = {};
        if (stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
            into->push_back(prefix + name + "/");
            ListTree(path, prefix + name + "/", into);
        } else {
            into->push_back(prefix + name);
        }
    }
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += "  " + line + "\n";
    }
    return text;
}

// Sections and keys of an INI text, section and key upper-cased.
std::map<std::string, std::string> IniEntries(const std::string& text) {
    std::map<std::string, std::string> entries;
    std::string section;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        std::string line = text.substr(start, end == std::string::npos ? end : end - start);
        start = end == std::string::npos ? text.size() : end + 1;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.size() > 1 && line.front() == '[' && line.back() == ']') {
            section = Upper(line.substr(1, line.size() - 2));
        } else if (size_t equals = line.find('='); equals != std::string::npos && equals > 0) {
            entries[section + "/" + Upper(line.substr(0, equals))] = line.substr(equals + 1);
        }
    }
    return entries;
}

// A native command; its output goes to a file (nothing of Wine runs here).
int Shell(const std::string& command) {
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The text of a version resource's string (UTF-16 name, padding, UTF-16 value) in a program's
// bytes; "" when there is none.
std::string VersionString(const std::string& program, const std::string& name) {
    std::string wide;
    for (char c : name) {
        wide += c;
        wide += '\0';
    }
    wide += std::string(2, '\0');
    size_t at = program.find(wide);
    if (at == std::string::npos) {
        return "";
    }
    at += wide.size();
    while (at + 1 < program.size() && program[at] == '\0' && program[at + 1] == '\0') {
        at += 2;  // padding to a 32-bit boundary
    }
    std::string value;
    for (; at + 1 < program.size() && (program[at] != '\0' || program[at + 1] != '\0'); at += 2) {
        value += program[at];
    }
    return value;
}

// ---- The release's own inputs ----
// The setup this scenario installs is written from the stub by zbpack with documents, a version
// and pictures that the test makes, as a release engineer without a compiler would: the dialogs,
// the version resource and the program list must show them, not the stub's.
namespace release {

const char* const kVersion = "1.1.3";
const char* const kLicense = "ZarBelPC 1.1.3: clause 7 of the license, amended for this release.";
const char* const kNotes = "Notes of release 1.1.3, the test's own.";
// Colours no other part of the license dialog has; the pictures keep the stub's sizes.
constexpr uint32_t kMicrophoneColour = 0x20C040;
constexpr uint32_t kTitleColour = 0xA01070;
constexpr int kMicrophonePixels = 56 * 60;
constexpr int kTitlePixels = 194 * 60;
const char* const kLicenseShot = "C:\\zb\\license.bmp";

bool WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    return !bytes.empty() && static_cast<bool>(out.flush());
}

std::string Picture(int width, int height, uint32_t colour) {
    Pixels pixels;
    pixels.width = width;
    pixels.height = height;
    pixels.data.assign(static_cast<size_t>(width) * static_cast<size_t>(height), colour);
    return EncodeBmp24(pixels);
}

// Writes the inputs under work and the setup from the target's stub; "" when zbpack refused or
// failed (its messages on stderr).
std::string WriteSetup(const std::string& work) {
    std::string docs = work + "/docs";
    std::string art = work + "/art";
    std::string setup = work + "/release-" + CurrentTarget().setupName;
    std::string stub = CurrentTarget().build + "/" +
                       (CurrentTarget().arch == "i686" ? "ZarBelPC-Setup-stub.exe"
                                                       : "ZarBelPC-Setup-stub-x64.exe");
    bool written =
        mkdir(docs.c_str(), 0700) == 0 && mkdir(art.c_str(), 0700) == 0 &&
        WriteFile(docs + "/LICENSE_UK.RTF", std::string("{\\rtf1\\ansi ") + kLicense + "\\par}") &&
        WriteFile(docs + "/install_uk.rtf", std::string("{\\rtf1\\ansi ") + kNotes + "\\par}") &&
        WriteFile(art + "/banner_mic.bmp", Picture(56, 60, kMicrophoneColour)) &&
        WriteFile(art + "/title.bmp", Picture(194, 60, kTitleColour));
    if (!written ||
        Shell(Quote(ZB_ZBPACK) + " setup build --stub " + Quote(stub) + " --payload " +
              Quote(StagingFolder()) + " --dictionary " +
              Quote(std::string(ZB_SOURCE_DIR) + "/resources/dictionary.ini") + " --documents " +
              Quote(docs) + " --art " + Quote(art) + " --version " + kVersion + " --out " +
              Quote(setup) + " >" + Quote(work + "/zbpack.log") + " 2>&1") != 0) {
        fprintf(stderr, "e2e: cannot write the release's setup:\n%s\n",
                ReadFile(work + "/zbpack.log").c_str());
        return "";
    }
    return setup;
}

// The pixels of a colour in a screenshot.
int CountColour(const Pixels& pixels, uint32_t colour) {
    return static_cast<int>(std::count(pixels.data.begin(), pixels.data.end(), colour));
}

}  // namespace release

class InstalledProduct : public SharedPrefixTest<InstalledProduct> {
public:
    // The setup signed as a release engineer signs it, then an English installation with the
    // desktop icon, as a user clicks through it.
    static bool Prepare(WinePrefix& prefix) {
        std::string work = prefix.path() + "/release";
        std::string signedSetup = work + "/" + CurrentTarget().setupName;
        std::string source = ZB_SOURCE_DIR;
        if (mkdir(work.c_str(), 0700) != 0 || (releaseSetup_ = release::WriteSetup(work)).empty() ||
            Shell("bash " + Quote(source + "/tests/release/make-test-ca.sh") + " " +
                  Quote(work + "/ca") + " >" + Quote(work + "/ca.log") + " 2>&1") != 0 ||
            Shell(Quote(source + "/scripts/sign-setup") + " --sign-pkcs12 " +
                  Quote(work + "/ca/signer.p12") + " --sign-password-file " +
                  Quote(work + "/ca/password.txt") + " " + Quote(releaseSetup_) + " " +
                  Quote(signedSetup) + " >" + Quote(work + "/sign.log") + " 2>&1") != 0) {
            fprintf(stderr, "e2e: cannot sign the setup:\n%s%s\n",
                    ReadFile(work + "/ca.log").c_str(), ReadFile(work + "/sign.log").c_str());
            return false;
        }
        verified_ = Shell("osslsigncode verify -CAfile " + Quote(work + "/ca/ca.pem") + " -in " +
                          Quote(signedSetup) + " >" + Quote(work + "/verify.txt") + " 2>&1") == 0;
        verifyOutput_ = ReadFile(work + "/verify.txt");
        signedBytes_ = ReadFile(signedSetup);
        if (!prefix.Put(signedSetup, "zb") || !other::Plant(prefix)) {
            return false;
        }
        // With ZB_E2E_SHOTS (a unix folder), a picture of every window on the way.
        std::vector<std::string> shots;
        if (const char* folder = getenv("ZB_E2E_SHOTS")) {
            std::string windows = std::string("Z:") + folder;
            std::replace(windows.begin(), windows.end(), '/', '\\');
            shots = {"--shots", windows};
            for (const std::string& name : FilesIn(folder)) {
                remove((std::string(folder) + "/" + name).c_str());  // an earlier run's
            }
        }
        std::vector<std::string> steps = {"C:\\zb\\" + CurrentTarget().setupName,
                                          kLanguageDialog,
                                          "set-check 1007",
                                          "click 1",
                                          "wait-gone",
                                          kLicenseDialog,
                                          "read-text 1000",
                                          std::string("screenshot ") + release::kLicenseShot,
                                          kPressAccept,
                                          kReleaseAccept,
                                          "wait-gone",
                                          kInstallDialog,
                                          "read-text 1000",
                                          "click 1",
                                          "wait-msgbox timeout=60000",
                                          "answer-msgbox yes",
                                          "wait-gone timeout=60000",
                                          "answer-msgbox ok",
                                          "wait-exit 60000"};
        shots.insert(shots.end(), steps.begin(), steps.end());
        RunResult run = prefix.RunDriver(shots);
        const ParsedReport* exit = run.First("EXIT");
        if (run.timedOut || !run.All("FAIL").empty() || exit == nullptr ||
            exit->Get("code") != "0") {
            fprintf(stderr, "e2e: the installation did not complete:\n%s\n",
                    run.Describe().c_str());
            return false;
        }
        documents_ = run.All("TEXT");
        return true;
    }

protected:
    static inline std::string releaseSetup_;
    static inline std::vector<ParsedReport> documents_;  // license, then notes
    static inline bool verified_ = false;
    static inline std::string verifyOutput_;
    static inline std::string signedBytes_;

    static std::string Install(const std::string& relative = "") {
        return prefix_->DriveC(kInstallUnix + (relative.empty() ? "" : "/") + relative);
    }
    static std::string Windows(const std::string& relative) {
        return prefix_->DriveC("windows/" + relative);
    }

    // reg query of a key in the view the target's programs see: class registrations
    // (HKCR\CLSID) and the machine's software keys (the program list) are kept apart for 32-bit
    // programs; program ids, associations and the user's settings are shared, and Wine's reg.exe
    // finds them only in the native view.
    static std::vector<std::string> RegQuery(const std::string& key) {
        std::vector<std::string> args = {"reg", "query", key};
        if (!CurrentTarget().regView.empty() && (key.compare(0, 11, "HKCR\\CLSID\\") == 0 ||
                                                 key.compare(0, 14, "HKLM\\Software\\") == 0)) {
            args.push_back(CurrentTarget().regView);
        }
        return args;
    }

    // The REG_SZ data of a value ("" for the default value), or "<missing>".
    static std::string RegValue(const std::string& key, const std::string& value) {
        std::vector<std::string> args = RegQuery(key);
        if (value.empty()) {
            args.push_back("/ve");
        } else {
            args.push_back("/v");
            args.push_back(value);
        }
        RunResult run = prefix_->Run(args, RunOptions{"", "", 30});
        size_t type = run.output.find("REG_SZ");
        if (run.exitCode != 0 || type == std::string::npos) {
            return "<missing>";
        }
        size_t start = run.output.find_first_not_of(" \t", type + 6);
        size_t end = run.output.find_first_of("\r\n", start);
        return start == std::string::npos ? "" : run.output.substr(start, end - start);
    }
    // "TYPE data" of a value as reg query prints it ("REG_DWORD 0x1"), or "<missing>".
    static std::string RegData(const std::string& key, const std::string& value) {
        std::vector<std::string> args = RegQuery(key);
        args.insert(args.begin() + 3, {"/v", value});
        RunResult run = prefix_->Run(args, RunOptions{"", "", 30});
        size_t line = run.output.find(value + "    REG_");
        if (run.exitCode != 0 || line == std::string::npos) {
            return "<missing>";
        }
        size_t type = line + value.size() + 4;
        size_t typeEnd = run.output.find(' ', type);
        size_t start = run.output.find_first_not_of(' ', typeEnd);
        size_t end = run.output.find_first_of("\r\n", start);
        return run.output.substr(type, typeEnd - type) + " " +
               run.output.substr(start, end - start);
    }
    static bool RegKeyExists(const std::string& key) {
        return prefix_->Run(RegQuery(key), RunOptions{"", "", 30}).exitCode == 0;
    }
    // Polls a value until it reads `expected` (in any case when `anyCase`) or 60 seconds have
    // passed (regsvr32 and assocset run on after the setup has ended); returns what it read last.
    static std::string AwaitRegValue(const std::string& key, const std::string& value,
                                     const std::string& expected, bool anyCase = false) {
        std::string got;
        for (int attempt = 0; attempt < 60; ++attempt) {
            got = RegValue(key, value);
            if (got == expected || (anyCase && Upper(got) == Upper(expected))) {
                break;
            }
            sleep(1);
        }
        return got;
    }

    // The Windows path of a shell folder of the user, from the registry as the setup read it.
    static std::string ShellFolder(const char* name) { return RegValue(kShellFolders, name); }
    static std::string UnixPath(const std::string& windowsPath) {
        std::string path = windowsPath;
        if (path.size() < 3 || toupper(static_cast<unsigned char>(path[0])) != 'C' ||
            path[1] != ':') {
            return "";
        }
        path = path.substr(3);
        std::replace(path.begin(), path.end(), '\\', '/');
        return prefix_->DriveC(path);
    }

    // The five links: (Windows path of the link file, expected target).
    static std::vector<std::pair<std::string, std::string>> Links() {
        std::string group = ShellFolder("Programs") + "\\ZarbelPC";
        return {{ShellFolder("Desktop") + "\\ZarbelPC.lnk", kMainTarget},
                {ShellFolder("SendTo") + "\\ZarbelPC.lnk", kMainTarget},
                {ShellFolder("Start Menu") + "\\ZarbelPC.lnk", kMainTarget},
                {group + "\\ZarbelPC.lnk", kMainTarget},
                {group + "\\Uninstall ZarbelPC.lnk", kUninstallTarget}};
    }

    static std::vector<std::string> InstallListing() {
        std::vector<std::string> listing;
        ListTree(Install(), "", &listing);
        return listing;
    }
};

TEST_F(InstalledProduct, EveryEntryButTheBatchFileIsInstalledByteForByte) {
    std::vector<std::string> staged = FilesIn(StagingFolder());
    ASSERT_EQ(25u, staged.size()) << "the payload staging folder";
    std::set<std::string> expected = {"DICT.DIC", "DefaultPlaylist.pls"};
    for (const std::string& name : staged) {
        if (name == "movefile.bat") {
            continue;
        }
        expected.insert(name);
        EXPECT_TRUE(ReadFile(StagingFolder() + "/" + name) == ReadFile(Install(name)))
            << name << " differs from the payload";
    }
    std::string dictionary = ReadFile(ZB_E2E_DICTIONARY);
    EXPECT_FALSE(dictionary.empty());
    EXPECT_TRUE(dictionary == ReadFile(Install("DICT.DIC"))) << "DICT.DIC is not the resource";
    EXPECT_TRUE(FileExists(Install("DefaultPlaylist.pls")));
    EXPECT_EQ("", ReadFile(Install("DefaultPlaylist.pls")));

    std::vector<std::string> listing = InstallListing();
    fprintf(stderr, "e2e: installed %s:\n%s", kInstallFolder.c_str(), Joined(listing).c_str());
    EXPECT_EQ(std::vector<std::string>(expected.begin(), expected.end()), listing)
        << "nothing more, nothing less (no RESOURCE.DAT, no movefile.bat)";
}

TEST_F(InstalledProduct, CopiesInTheWindowsDirectoryAndTheFont) {
    for (const auto& [payloadName, copyName] : kWindowsCopies) {
        std::string copy = FindNoCase(Windows(""), copyName);
        ASSERT_FALSE(copy.empty()) << copyName << " is not in the Windows directory";
        // The other product's newer MFC71.dll stays where it was.
        std::string expected = Upper(copyName) == "MFC71.DLL"
                                   ? other::LibraryBytes()
                                   : ReadFile(StagingFolder() + "/" + payloadName);
        EXPECT_TRUE(expected == ReadFile(copy)) << copyName;
    }
    std::string fonts = FindNoCase(Windows(""), "FONTS");
    ASSERT_FALSE(fonts.empty());
    std::string font = FindNoCase(fonts, "EUROSTIB.TTF");
    ASSERT_FALSE(font.empty()) << "no EUROSTIB.TTF in " << fonts;
    EXPECT_TRUE(ReadFile(StagingFolder() + "/eurostib.TTF") == ReadFile(font));
}

TEST_F(InstalledProduct, SettingsAreTheDefaultsPlusTheSixKeys) {
    std::string installed = FindNoCase(Windows(""), "ZarBelPC.INI");
    ASSERT_FALSE(installed.empty());
    std::map<std::string, std::string> defaults =
        IniEntries(ReadFile(StagingFolder() + "/ZARBELPC.INI"));
    std::map<std::string, std::string> settings = IniEntries(ReadFile(installed));
    const std::map<std::string, std::string> six = {
        {"SETTINGS/CURRLANGUAGE", "ENGLISH"},
        {"SETTINGS/EXEMODE", "0"},
        {"OPTIONS/FIRSTTIME", "1"},
        {"PATH/INSTALLPATH", kInstallFolder},
        {"PATH/SERVERPATH", "www.zarbelpc.example"},
        {"PATH/SONGDIR", std::string(kInstallFolder) + "\\SONGS"},
    };
    ASSERT_GT(defaults.size(), 10u) << "the payload's settings file";
    for (const auto& [key, value] : defaults) {
        if (six.count(key) == 0) {
            EXPECT_EQ(value, settings[key]) << key << " lost its default";
        }
    }
    for (const auto& [key, value] : six) {
        EXPECT_EQ(value, settings[key]) << key;
    }
    std::set<std::string> keys;
    for (const auto& entry : defaults) {
        keys.insert(entry.first);
    }
    for (const auto& entry : six) {
        keys.insert(entry.first);
    }
    EXPECT_EQ(keys.size(), settings.size()) << "no key beyond the defaults and the six";
}

TEST_F(InstalledProduct, TheSixControlsAreRegisteredFromTheInstallFolder) {
    for (const Control& control : kControls) {
        std::string classId = RegValue(std::string("HKCR\\") + control.progId + "\\CLSID", "");
        for (int attempt = 0; attempt < 60 && classId == "<missing>"; ++attempt) {
            sleep(1);
            classId = RegValue(std::string("HKCR\\") + control.progId + "\\CLSID", "");
        }
        ASSERT_NE("<missing>", classId) << control.progId << " was not registered";
        std::string server = std::string(kInstallFolder) + "\\" + control.file;
        EXPECT_EQ(Upper(server), Upper(AwaitRegValue("HKCR\\CLSID\\" + classId + "\\InprocServer32",
                                                     "", server, true)))
            << control.file;
    }
}

TEST_F(InstalledProduct, SongFilesAreAssociatedWithTheMainProgram) {
    for (const char* extension : {".kar", ".zbk"}) {
        EXPECT_EQ("ZarBelPC.Song",
                  AwaitRegValue(std::string("HKCU\\Software\\Classes\\") + extension, "",
                                "ZarBelPC.Song"))
            << extension;
    }
    std::string command = std::string("\"") + kInstallFolder + "\\ZarBelPC.EXE\" \"%1\"";
    EXPECT_EQ(command, AwaitRegValue("HKCU\\Software\\Classes\\ZarBelPC.Song\\shell\\open\\command",
                                     "", command));
}

TEST_F(InstalledProduct, TheFiveLinksOpenTheMainProgramAndTheUninstaller) {
    std::vector<std::string> args = {std::string(ZB_WIN64_BUILD) + "/e2e/zblinks.exe"};
    for (const auto& link : Links()) {
        args.push_back(link.first);
    }
    RunResult run = prefix_->Run(args);
    EXPECT_EQ(0, run.exitCode) << run.Describe();
    std::vector<ParsedReport> reports = run.All("LINK");
    ASSERT_EQ(5u, reports.size()) << run.Describe();
    std::vector<std::pair<std::string, std::string>> links = Links();
    for (size_t i = 0; i < reports.size(); ++i) {
        EXPECT_EQ(links[i].first, reports[i].Get("file"));
        EXPECT_EQ("1", reports[i].Get("loaded")) << links[i].first;
        // Windows names compare without regard to case; the target must exist.
        EXPECT_EQ(Upper(links[i].second), Upper(reports[i].Get("target"))) << links[i].first;
        std::string unixTarget = UnixPath(reports[i].Get("target"));
        size_t slash = unixTarget.rfind('/');
        EXPECT_FALSE(slash == std::string::npos ||
                     FindNoCase(unixTarget.substr(0, slash), unixTarget.substr(slash + 1)).empty())
            << reports[i].Get("target") << " does not exist";
    }
    EXPECT_EQ("ZarbelPC", reports[0].Get("description"));
    EXPECT_EQ("ZarBelPC: Software Multimediale per Karaoke", reports[4].Get("description"));
}

TEST_F(InstalledProduct, TheMainProgramShowsTheInstalledSettings) {
    RunResult run =
        prefix_->Run({std::string(kInstallFolder) + "\\ZarBelPC.EXE", "/dump", "C:\\dump.txt"});
    ASSERT_EQ(0, run.exitCode) << run.Describe();
    std::map<std::string, std::string> shown = IniEntries(ReadFile(prefix_->DriveC("dump.txt")));
    EXPECT_EQ(kInstallFolder, shown["/INSTALLPATH"]);
    EXPECT_EQ(std::string(kInstallFolder) + "\\SONGS", shown["/SONGDIR"]);
    EXPECT_EQ("www.zarbelpc.example", shown["/SERVERPATH"]);
    EXPECT_EQ("ENGLISH", shown["/CURRLANGUAGE"]);
    EXPECT_EQ("0", shown["/EXEMODE"]);
    EXPECT_EQ("1", shown["/FIRSTTIME"]);
}

TEST_F(InstalledProduct, TheInstalledSetupWasSignedAndItsSignatureVerifies) {
    EXPECT_TRUE(verified_) << verifyOutput_;
    EXPECT_NE(std::string::npos, verifyOutput_.find("Signature verification: ok")) << verifyOutput_;
    EXPECT_NE(std::string::npos, verifyOutput_.find("ZarBelPC Setup")) << verifyOutput_;
    EXPECT_GT(signedBytes_.size(), ReadFile(releaseSetup_).size()) << "no signature appended";
}

// The entry in the system's list of installed programs, value by value.
TEST_F(InstalledProduct, TheInstallationIsListedInTheSystemsProgramList) {
    std::string version = VersionString(signedBytes_, "ProductVersion");
    ASSERT_FALSE(version.empty()) << "the setup has no version resource";
    std::string uninstaller = "C:\\windows\\ZarBelPC_uninstall.exe";
    const std::pair<const char*, std::string> values[] = {
        {"DisplayName", "REG_SZ ZarBelPC"},
        {"DisplayVersion", "REG_SZ " + version},
        {"Publisher", "REG_SZ " + VersionString(signedBytes_, "CompanyName")},
        {"InstallLocation", std::string("REG_SZ ") + kInstallFolder},
        {"DisplayIcon", std::string("REG_SZ ") + kInstallFolder + "\\ZarBelPC.EXE"},
        {"UninstallString", "REG_SZ \"" + uninstaller + "\""},
        {"QuietUninstallString", "REG_SZ \"" + uninstaller + "\" /quiet"},
        {"NoModify", "REG_DWORD 0x1"},
        {"NoRepair", "REG_DWORD 0x1"},
        {"URLInfoAbout", "REG_SZ https://www.zarbelpc.example/"},
    };
    for (const auto& [name, expected] : values) {
        EXPECT_EQ(expected, RegData(kEntryKey, name)) << name;
    }
    // Every file the installation left, measured on disk; the settings file has grown by the
    // settings written into it since it was unpacked, which stays within a kilobyte.
    uint64_t bytes = 0;
    auto add = [&bytes](const std::string& file) {
        struct stat info = {};
        if (stat(file.c_str(), &info) == 0) {
            bytes += static_cast<uint64_t>(info.st_size);
        }
    };
    for (const std::string& name : FilesIn(Install())) {
        add(Install(name));
    }
    for (const char* copy : {"ZarBelPC.INI", "ZarBelPC_uninstall.exe", "msvcr71.dll"}) {
        add(FindNoCase(Windows(""), copy));
    }
    add(StagingFolder() + "/MFC71.dll");  // the copy there is the other product's
    add(FindNoCase(FindNoCase(Windows(""), "FONTS"), "EUROSTIB.TTF"));
    std::string size = RegData(kEntryKey, "EstimatedSize");
    ASSERT_EQ(0u, size.rfind("REG_DWORD 0x", 0)) << size;
    unsigned long kilobytes = std::stoul(size.substr(10), nullptr, 16);
    EXPECT_GT(bytes, 1000000u);
    EXPECT_LE(kilobytes * 1024, bytes + 1024) << "measured " << bytes << " bytes";
    EXPECT_GE(kilobytes * 1024 + 2048, bytes) << "measured " << bytes << " bytes";
}

// The release's inputs, as the installation showed and registered them.
TEST_F(InstalledProduct, TheDialogsVersionAndEntryAreTheReleases) {
    ASSERT_EQ(2u, documents_.size());
    EXPECT_EQ(release::kLicense, documents_[0].Get("text"));
    EXPECT_EQ(release::kNotes, documents_[1].Get("text"));
    Pixels shot;
    ASSERT_TRUE(DecodeBmp24(ReadFile(prefix_->DriveC("zb/license.bmp")), &shot));
    EXPECT_EQ(release::kMicrophonePixels, release::CountColour(shot, release::kMicrophoneColour));
    EXPECT_EQ(release::kTitlePixels, release::CountColour(shot, release::kTitleColour));

    RunResult run = prefix_->Run({std::string(ZB_WIN64_BUILD) + "/tests/package/zbresdump.exe",
                                  "--version", "C:\\zb\\" + CurrentTarget().setupName});
    const ParsedReport* version = run.First("VERSION");
    ASSERT_NE(nullptr, version) << run.Describe();
    EXPECT_EQ("1.1.3.0", version->Get("file"));
    EXPECT_EQ("1.1.3.0", version->Get("product"));
    EXPECT_EQ(release::kVersion, version->Get("text"));
    EXPECT_EQ("REG_SZ " + std::string(release::kVersion), RegData(kEntryKey, "DisplayVersion"));
    EXPECT_EQ("REG_SZ " + version->Get("company"), RegData(kEntryKey, "Publisher"));
}

// What the installation leaves to the system besides files: the font in the system's list of
// fonts, under its own full name, and the two runtime libraries counted, the other product's
// MFC71.dll (count 1 before) kept and counted once more.
TEST_F(InstalledProduct, TheFontIsListedAndTheSharedLibrariesAreCounted) {
    std::string font = FindNoCase(FindNoCase(Windows(""), "FONTS"), "EUROSTIB.TTF");
    ASSERT_FALSE(font.empty());
    const std::string value = other::FontFullName(font) + " (TrueType)";
    fprintf(stderr, "e2e: %s\\%s\n", other::kFontsKey, value.c_str());
    EXPECT_EQ("EUROSTIB.TTF", RegValue(other::kFontsKey, value));
    EXPECT_EQ("0x2", other::Count(*prefix_, other::kSharedDllsKey, "C:\\windows\\mfc71.dll"));
    EXPECT_EQ("0x1", other::Count(*prefix_, other::kSharedDllsKey, "C:\\windows\\msvcr71.dll"));
}

// A client nobody here wrote: Wine's own list of installed programs.
TEST_F(InstalledProduct, WinesUninstallerListsTheProduct) {
    RunResult run = prefix_->Run({"uninstaller", "--list"}, RunOptions{"", "", 60});
    EXPECT_EQ(0, run.exitCode) << run.Describe();
    std::istringstream lines(run.output);
    std::string line;
    std::vector<std::string> ours;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.find("ZarBelPC") != std::string::npos) {
            ours.push_back(line);
        }
    }
    fprintf(stderr, "e2e: uninstaller --list: %s\n", Joined(ours).c_str());
    EXPECT_EQ((std::vector<std::string>{"ZarBelPC|||ZarBelPC"}), ours) << run.output;
}

// Last: takes the installation away through Wine's uninstaller, which runs the entry's
// UninstallString (the uninstaller in the Windows directory, which asks, then reports).
TEST_F(InstalledProduct, TheSystemsUninstallerRemovesAllButTheUsersSongs) {
    // The registrations and associations must have happened before they can be undone.
    ASSERT_EQ("ZarBelPC.Song", AwaitRegValue("HKCU\\Software\\Classes\\.zbk", "", "ZarBelPC.Song"));
    std::vector<std::string> classIds;
    for (const Control& control : kControls) {
        std::string key = std::string("HKCR\\") + control.progId + "\\CLSID";
        std::string classId = RegValue(key, "");
        for (int attempt = 0; attempt < 60 && classId == "<missing>"; ++attempt) {
            sleep(1);
            classId = RegValue(key, "");
        }
        ASSERT_NE("<missing>", classId) << control.progId;
        classIds.push_back(classId);
    }
    std::vector<std::pair<std::string, std::string>> links = Links();
    std::string group = UnixPath(ShellFolder("Programs") + "\\ZarbelPC");
    ASSERT_TRUE(FileExists(group));

    std::string songs = Install("SONGS");
    ASSERT_EQ(0, mkdir(songs.c_str(), 0755));
    std::ofstream(songs + "/" + kUserSong, std::ios::binary) << "MThd user's own song";

    RunResult run = prefix_->RunDriver(
        {"--windows", "any", "--args", "--remove ZarBelPC",
         "C:\\windows\\system32\\uninstaller.exe", "answer-msgbox yes timeout=60000",
         "answer-msgbox ok timeout=180000", "wait-exit 60000"},
        RunOptions{"", "", 300});
    std::vector<ParsedReport> boxes = run.All("MSGBOX");
    ASSERT_EQ(2u, boxes.size()) << run.Describe();
    EXPECT_EQ("ZarBelPC Uninstall", boxes[0].Get("caption")) << run.Describe();
    // The report: the information icon when nothing was left but what waits for the restart and
    // the kept songs folder, the warning icon otherwise. (Its text is not read: a box caught
    // while it is still being filled reports an empty one.)
    EXPECT_EQ("ZarBelPC Uninstall", boxes[1].Get("caption")) << run.Describe();
    EXPECT_EQ("information", boxes[1].Get("icon")) << run.Describe();
    const ParsedReport* exit = run.First("EXIT");
    ASSERT_NE(nullptr, exit) << run.Describe();
    EXPECT_EQ("0", exit->Get("code")) << run.Describe();

    EXPECT_FALSE(RegKeyExists(kEntryKey)) << "the entry outlived the uninstallation";
    RunResult list = prefix_->Run({"uninstaller", "--list"}, RunOptions{"", "", 60});
    EXPECT_EQ(std::string::npos, list.output.find("ZarBelPC")) << list.output;

    std::vector<std::string> listing = InstallListing();
    fprintf(stderr, "e2e: after the uninstallation, %s holds:\n%s", kInstallFolder.c_str(),
            Joined(listing).c_str());
    EXPECT_EQ((std::vector<std::string>{"SONGS/", std::string("SONGS/") + kUserSong}), listing);
    EXPECT_EQ("MThd user's own song", ReadFile(songs + "/" + kUserSong));

    EXPECT_EQ("", FindNoCase(Windows(""), "ZarBelPC.INI"));
    EXPECT_TRUE(other::LibraryBytes() == ReadFile(FindNoCase(Windows(""), "mfc71.dll")))
        << "the other product's MFC71.dll went with ours";
    EXPECT_EQ("", FindNoCase(Windows(""), "msvcr71.dll"));
    EXPECT_EQ("", FindNoCase(FindNoCase(Windows(""), "FONTS"), "EUROSTIB.TTF"));
    for (const auto& link : links) {
        EXPECT_FALSE(FileExists(UnixPath(link.first))) << link.first;
    }
    EXPECT_FALSE(FileExists(group)) << "the empty product group";
    for (size_t i = 0; i < classIds.size(); ++i) {
        EXPECT_FALSE(RegKeyExists("HKCR\\CLSID\\" + classIds[i])) << kControls[i].file;
        EXPECT_FALSE(RegKeyExists(std::string("HKCR\\") + kControls[i].progId))
            << kControls[i].progId;
    }
    EXPECT_NE("ZarBelPC.Song", RegValue("HKCU\\Software\\Classes\\.kar", ""));
    EXPECT_NE("ZarBelPC.Song", RegValue("HKCU\\Software\\Classes\\.zbk", ""));
    EXPECT_FALSE(RegKeyExists("HKCU\\Software\\Classes\\ZarBelPC.Song"));

    // The running uninstaller can only be removed at the next start of the system.
    RunResult restart = prefix_->Run({"wineboot", "-r"});
    EXPECT_EQ(0, restart.exitCode) << restart.Describe();
    EXPECT_EQ("", FindNoCase(Windows(""), "ZarBelPC_uninstall.exe"))
        << "the uninstaller outlived the restart";
    std::vector<std::string> windows;
    for (const std::string& name : FilesIn(Windows(""))) {
        if (Upper(name).find("ZARBEL") != std::string::npos) {
            windows.push_back(name);
        }
    }
    EXPECT_TRUE(windows.empty()) << "left in the Windows directory:\n" << Joined(windows);
}

// After the uninstallation: the other product's library stays with its own count, ours went
// with its count, and the font is off the system's list.
TEST_F(InstalledProduct, TheSystemsUninstallerLeavesTheOtherProductsLibraryCounted) {
    EXPECT_TRUE(other::LibraryBytes() == ReadFile(FindNoCase(Windows(""), "mfc71.dll")));
    EXPECT_EQ("0x1", other::Count(*prefix_, other::kSharedDllsKey, other::kLibrary));
    EXPECT_EQ("<missing>",
              other::Count(*prefix_, other::kSharedDllsKey, "C:\\windows\\msvcr71.dll"));
    const std::string value =
        other::FontFullName(StagingFolder() + "/eurostib.TTF") + " (TrueType)";
    EXPECT_EQ("<missing>", RegValue(other::kFontsKey, value));
}

}  // namespace
}  // namespace e2e
