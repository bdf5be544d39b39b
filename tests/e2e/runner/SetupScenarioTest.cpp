// Scenarios of the real setup, driven under Wine from start to end as a user goes through its
// three dialogs: each in a fresh prefix, each checked on what the user saw (windows, texts,
// message boxes) and on what the setup left behind (files, settings, links).
#include <dirent.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "runner/WineSession.h"

namespace e2e {
namespace {

const char* const kItalianCompletion =
    "ZarBelPC \xE8 stato installato correttamente. \nPer avviarlo, scegliere ZarbelPC dal menu "
    "Start. \n \nBuon divertimento!";
const char* const kEnglishCompletion =
    "ZarBelPC has been installed successfully. \nTo start it, choose ZarbelPC from the Start "
    "menu. \n \nEnjoy singing!";

// The 26 entries of the payload, less the batch file the installation deletes, plus the play
// list it creates.
const char* const kInstalledFiles[] = {
    "COMDLG32.OCX",    "DICT.DIC",        "DefaultPlaylist.pls",
    "MFC71.dll",       "MSCOMCT2.OCX",    "MSCOMCTL.OCX",
    "MSINET.OCX",      "TABCTL32.OCX",    "Thumbs.db",
    "TuneChooser.exp", "TuneChooser.lib", "TuneChooser.ocx",
    "ZARBELPC.INI",    "ZarBelPC.EXE",    "ZarBelPC_UNINSTALL.exe",
    "assocset.exe",    "eurostib.TTF",    "help.htm",
    "index.htm",       "index.htm.bak",   "logo.jpg",
    "msvcr71.dll",     "notes.gif",       "songcheck.exe",
    "style.css",       "version.dat",
};

class SetupScenario : public ::testing::Test {
protected:
    void SetUp() override {
        std::string whyNot;
        if (!HaveDisplay(&whyNot)) {
            GTEST_SKIP() << whyNot;
        }
        ASSERT_TRUE(prefix_.ok()) << "cannot make a Wine prefix";
        ASSERT_TRUE(prefix_.Put(SetupExe(), "zb")) << SetupExe();
        settings_ = prefix_.DriveC("windows/ZarBelPC.INI");
    }

    // Runs the setup under the driver with these steps, then checks that every step passed
    // and that the setup ended with exit code 0.
    RunResult Walk(std::vector<std::string> steps, const RunOptions& options = {}) {
        steps.insert(steps.begin(), "C:\\zb\\" + CurrentTarget().setupName);
        steps.push_back("wait-exit 60000");
        RunResult run = prefix_.RunDriver(steps, options);
        EXPECT_FALSE(run.timedOut) << run.Describe();
        EXPECT_EQ(0, run.exitCode) << run.Describe();
        EXPECT_TRUE(run.All("FAIL").empty()) << run.Describe();
        EXPECT_NE(nullptr, run.First("DONE")) << run.Describe();
        const ParsedReport* exit = run.First("EXIT");
        EXPECT_TRUE(exit != nullptr && exit->Get("code") == "0") << run.Describe();
        return run;
    }

    std::string Setting(const char* section, const char* key) {
        return IniValue(settings_, section, key);
    }

    // The folder of the Wine user's profile (the one that is not "Public").
    std::string Profile() {
        std::string users = prefix_.DriveC("users");
        DIR* dir = opendir(users.c_str());
        std::string found;
        if (dir != nullptr) {
            for (dirent* entry = readdir(dir); entry != nullptr; entry = readdir(dir)) {
                std::string name = entry->d_name;
                if (name != "." && name != ".." && name != "Public") {
                    found = users + "/" + name;
                }
            }
            closedir(dir);
        }
        return found;
    }

    WinePrefix prefix_;
    std::string settings_;
};

// The texts that read-text steps reported for a control, in order.
std::vector<std::string> Texts(const RunResult& run, int id) {
    std::vector<std::string> texts;
    for (const ParsedReport& report : run.All("TEXT")) {
        if (report.Get("id") == std::to_string(id)) {
            texts.push_back(report.Get("text"));
        }
    }
    return texts;
}

std::vector<std::string> Titles(const RunResult& run) {
    std::vector<std::string> titles;
    for (const ParsedReport& report : run.All("WINDOW")) {
        titles.push_back(report.Get("title"));
    }
    return titles;
}

bool WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    return static_cast<bool>(out);
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The steps of an installation from the install dialog on: the buttons are looked at while the
// desktop question is up, then the question is answered and the completion message closed.
std::vector<std::string> InstallSteps(const char* desktopAnswer) {
    return {kInstallDialog,
            "read-text 1003",
            "read-text 1000",
            "click 1",
            "wait-msgbox timeout=60000",
            "read-enabled 1",
            "read-enabled 2",
            "read-enabled 3",
            "read-progress 1005",
            std::string("answer-msgbox ") + desktopAnswer,
            "wait-gone timeout=60000",
            "answer-msgbox ok"};
}

void ExpectButtonsOffAndBarFull(const RunResult& run) {
    std::vector<ParsedReport> enabled = run.All("ENABLED");
    ASSERT_EQ(3u, enabled.size()) << run.Describe();
    for (const ParsedReport& report : enabled) {
        EXPECT_EQ("0", report.Get("state")) << "button " << report.Get("id");
    }
    const ParsedReport* progress = run.First("PROGRESS");
    ASSERT_NE(nullptr, progress);
    EXPECT_EQ("100", progress->Get("pos"));
}

TEST_F(SetupScenario, ItalianoDefaultsInstallWithoutDesktopIcon) {
    std::vector<std::string> steps = {kLanguageDialog, "read-check 1006", "click 1",
                                      "wait-gone",     kLicenseDialog,    "read-text 1",
                                      "read-text 2",   "read-text 1000",  kPressAccept,
                                      kReleaseAccept,  "wait-gone"};
    for (const std::string& step : InstallSteps("no")) {
        steps.push_back(step);
    }
    RunResult run = Walk(steps);

    EXPECT_EQ((std::vector<std::string>{"Choose Language", "Installazione di ZarBelPC",
                                        "Installazione di ZarBelPC"}),
              Titles(run));
    ASSERT_NE(nullptr, run.First("CHECK"));
    EXPECT_EQ("1", run.First("CHECK")->Get("state")) << "ITALIANO is checked at first";
    EXPECT_EQ((std::vector<std::string>{"Accetto"}), Texts(run, 1));
    EXPECT_EQ((std::vector<std::string>{"Non accetto"}), Texts(run, 2));
    std::vector<std::string> documents = Texts(run, 1000);
    ASSERT_EQ(2u, documents.size());
    EXPECT_TRUE(Contains(documents[0], "CONTRATTO DI LICENZA")) << documents[0];
    EXPECT_TRUE(Contains(documents[1], "NOTE DI INSTALLAZIONE")) << documents[1];
    EXPECT_EQ((std::vector<std::string>{"C:\\Program Files\\ZarbelPC"}), Texts(run, 1003));
    ExpectButtonsOffAndBarFull(run);

    std::vector<ParsedReport> boxes = run.All("MSGBOX");
    ASSERT_EQ(2u, boxes.size()) << run.Describe();
    EXPECT_EQ("Informazione", boxes[0].Get("caption"));
    EXPECT_EQ("Creare un'icona di ZarBelPC sul desktop?", boxes[0].Get("text"));
    EXPECT_EQ("question", boxes[0].Get("icon"));
    EXPECT_EQ("yes,no", boxes[0].Get("buttons"));
    EXPECT_EQ("Installazione di ZarBelPC", boxes[1].Get("caption"));
    EXPECT_EQ(kItalianCompletion, boxes[1].Get("text"));
    EXPECT_EQ("information", boxes[1].Get("icon"));
    EXPECT_EQ("ok", boxes[1].Get("buttons"));

    std::vector<std::string> files = prefix_.List("Program Files/ZarbelPC");
    for (const char* name : kInstalledFiles) {
        EXPECT_NE(files.end(), std::find(files.begin(), files.end(), name)) << name;
    }
    for (const char* gone : {"RESOURCE.DAT", "movefile.bat"}) {
        EXPECT_EQ(files.end(), std::find(files.begin(), files.end(), gone)) << gone;
    }
    EXPECT_EQ("ITALIANO", Setting("SETTINGS", "CURRLANGUAGE"));
    EXPECT_EQ("0", Setting("SETTINGS", "EXEMODE"));
    EXPECT_EQ("1", Setting("Options", "FirstTime"));
    EXPECT_EQ("C:\\Program Files\\ZarbelPC", Setting("PATH", "Installpath"));
    EXPECT_EQ("C:\\Program Files\\ZarbelPC\\SONGS", Setting("PATH", "SONGDIR"));
    std::string profile = Profile();
    ASSERT_FALSE(profile.empty());
    EXPECT_FALSE(FileExists(profile + "/Desktop/ZarbelPC.lnk")) << "the user said no";
    EXPECT_TRUE(FileExists(profile + "/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/"
                                     "ZarbelPC/ZarbelPC.lnk"));
}

TEST_F(SetupScenario, EnglishInstallWithDesktopIcon) {
    std::vector<std::string> steps = {kLanguageDialog, "set-check 1007", "click 1",
                                      "wait-gone",     kLicenseDialog,   "read-text 1",
                                      "read-text 2",   "read-text 1000", kPressAccept,
                                      kReleaseAccept,  "wait-gone"};
    for (const std::string& step : InstallSteps("yes")) {
        steps.push_back(step);
    }
    RunResult run = Walk(steps);

    EXPECT_EQ((std::vector<std::string>{"Choose Language", "ZarBelPC Setup", "ZarBelPC Setup"}),
              Titles(run));
    EXPECT_EQ((std::vector<std::string>{"I Accept"}), Texts(run, 1));
    EXPECT_EQ((std::vector<std::string>{"I Decline"}), Texts(run, 2));
    std::vector<std::string> documents = Texts(run, 1000);
    ASSERT_EQ(2u, documents.size());
    EXPECT_TRUE(Contains(documents[0], "END-USER LICENCE AGREEMENT")) << documents[0];
    EXPECT_TRUE(Contains(documents[1], "INSTALLATION NOTES")) << documents[1];
    ExpectButtonsOffAndBarFull(run);

    std::vector<ParsedReport> boxes = run.All("MSGBOX");
    ASSERT_EQ(2u, boxes.size()) << run.Describe();
    EXPECT_EQ("Information", boxes[0].Get("caption"));
    EXPECT_EQ("Do you want to create a ZarBelPC icon on the desktop?", boxes[0].Get("text"));
    EXPECT_EQ("question", boxes[0].Get("icon"));
    EXPECT_EQ("ZarBelPC Setup", boxes[1].Get("caption"));
    EXPECT_EQ(kEnglishCompletion, boxes[1].Get("text"));
    EXPECT_EQ("information", boxes[1].Get("icon"));

    EXPECT_TRUE(FileExists(prefix_.DriveC("Program Files/ZarbelPC/ZarBelPC.EXE")));
    EXPECT_FALSE(FileExists(prefix_.DriveC("Program Files/ZarbelPC/RESOURCE.DAT")));
    EXPECT_EQ("ENGLISH", Setting("SETTINGS", "CURRLANGUAGE"));
    EXPECT_EQ("0", Setting("SETTINGS", "EXEMODE"));
    EXPECT_EQ("C:\\Program Files\\ZarbelPC", Setting("PATH", "Installpath"));
    EXPECT_TRUE(FileExists(Profile() + "/Desktop/ZarbelPC.lnk")) << "the user said yes";
}

TEST_F(SetupScenario, DecliningTheLicenseEndsTheSetupBeforeTheInstallDialog) {
    RunResult run = Walk({kLanguageDialog, "click 1", "wait-gone", kLicenseDialog,
                          "mouse-down 0 0 painted=2 anchor=center",
                          "mouse-up 0 0 painted=2 anchor=center", "wait-gone"});
    EXPECT_EQ(2u, run.All("WINDOW").size()) << "no install dialog";
    EXPECT_TRUE(run.All("MSGBOX").empty()) << run.Describe();
    EXPECT_EQ("ITALIANO", Setting("SETTINGS", "CURRLANGUAGE"));
    EXPECT_EQ("<missing>", Setting("SETTINGS", "EXEMODE"));
    EXPECT_FALSE(FileExists(prefix_.DriveC(CurrentTarget().programFilesUnix + "/ZarbelPC")));
}

// Without the rich edit library the license dialog cannot be created; that is no acceptance:
// the setup says so in the chosen language and ends before installing anything.
TEST_F(SetupScenario, ALicenseDialogThatCannotBeCreatedInstallsNothing) {
    RunOptions options;
    options.dllOverrides = "riched32=d";
    RunResult run = Walk({kLanguageDialog, "click 1", "wait-gone", "answer-msgbox ok"}, options);
    EXPECT_EQ(1u, run.All("WINDOW").size()) << "neither the license nor the install dialog";
    std::vector<ParsedReport> boxes = run.All("MSGBOX");
    ASSERT_EQ(1u, boxes.size()) << run.Describe();
    EXPECT_EQ("Installazione di ZarBelPC", boxes[0].Get("caption"));
    EXPECT_EQ(
        "Impossibile visualizzare il contratto di licenza: l'installazione non pu\xF2 "
        "proseguire. \nNon \xE8 stato installato nulla.",
        boxes[0].Get("text"));
    EXPECT_EQ("error", boxes[0].Get("icon"));
    EXPECT_EQ("ok", boxes[0].Get("buttons"));
    EXPECT_EQ("ITALIANO", Setting("SETTINGS", "CURRLANGUAGE"));
    EXPECT_EQ("<missing>", Setting("SETTINGS", "EXEMODE"));
    EXPECT_FALSE(FileExists(prefix_.DriveC(CurrentTarget().programFilesUnix + "/ZarbelPC")));
}

TEST_F(SetupScenario, AcceptStaysPressedAfterAReleaseOutsideAndAcceptsOnAReleaseInside) {
    RunResult run = Walk({kLanguageDialog, "click 1", "wait-gone", kLicenseDialog, kPressAccept,
                          // Moved out of the button (one pixel right of its edge), released.
                          "mouse-move 1 0 painted=1 anchor=right-bottom",
                          "mouse-up 1 0 painted=1 anchor=right-bottom",
                          // The picture waits until the dialog has handled the release; the
                          // read fails when the dialog has gone.
                          "screenshot license-held.bmp", "read-text 1",
                          // A press outside both buttons, a release on the very corner.
                          "mouse-down -30 0 painted=1 anchor=left-top",
                          "mouse-up 0 0 painted=1 anchor=right-bottom", "wait-gone", kInstallDialog,
                          "click 2", "wait-gone"});
    EXPECT_EQ((std::vector<std::string>{"Accetto"}), Texts(run, 1)) << "still open after the "
                                                                       "release outside";
    EXPECT_EQ(3u, run.All("WINDOW").size()) << "the install dialog followed";
    EXPECT_EQ("0", Setting("SETTINGS", "EXEMODE"));
}

TEST_F(SetupScenario, CancellingTheInstallDialogWritesTheFinalSettingsOnly) {
    RunResult run = Walk({kLanguageDialog, "click 1", "wait-gone", kLicenseDialog, kPressAccept,
                          kReleaseAccept, "wait-gone", kInstallDialog, "click 2", "wait-gone"});
    EXPECT_TRUE(run.All("MSGBOX").empty()) << "no completion message";
    EXPECT_EQ("ITALIANO", Setting("SETTINGS", "CURRLANGUAGE"));
    EXPECT_EQ("0", Setting("SETTINGS", "EXEMODE"));
    EXPECT_EQ("<missing>", Setting("PATH", "Installpath"));
    EXPECT_FALSE(FileExists(prefix_.DriveC(CurrentTarget().programFilesUnix + "/ZarbelPC")));
}

TEST_F(SetupScenario, ChangeThenCancelTheBrowserShowsTheUpperCasedDefault) {
    RunResult run = Walk({kLanguageDialog, "click 1", "wait-gone", kLicenseDialog, kPressAccept,
                          kReleaseAccept, "wait-gone", kInstallDialog, "read-text 1003", "click 3",
                          "wait-window class=#32770 title=\"Browse for Folder\"", "click 2",
                          "wait-gone", kInstallDialog, "read-text 1003", "click 2", "wait-gone"});
    EXPECT_EQ(
        (std::vector<std::string>{"C:\\Program Files\\ZarbelPC", "C:\\PROGRAM FILES\\ZARBELPC"}),
        Texts(run, 1003));
    EXPECT_TRUE(run.All("MSGBOX").empty()) << run.Describe();
    EXPECT_EQ("0", Setting("SETTINGS", "EXEMODE"));
}

TEST_F(SetupScenario, FrenchFromAnEarlierRunWithTheLanguageDialogCancelled) {
    ASSERT_TRUE(WriteFile(settings_, "[SETTINGS]\r\nCURRLANGUAGE=FRENCH\r\n"));
    RunResult run = Walk({kLanguageDialog, "click 2", "wait-gone", kLicenseDialog, "read-text 1",
                          "read-text 2", "read-text 1000", kPressAccept, kReleaseAccept,
                          "wait-gone", kInstallDialog, "read-text 1", "read-text 2", "read-text 3",
                          "read-text 1000", "click 2", "wait-gone"});
    EXPECT_EQ((std::vector<std::string>{"Choose Language", "Installation de ZarBelPC",
                                        "Installation de ZarBelPC"}),
              Titles(run));
    // The French license agreement, then the French installation notes, accents and all.
    std::vector<std::string> documents = Texts(run, 1000);
    ASSERT_EQ(2u, documents.size());
    EXPECT_TRUE(Contains(documents[0], "CONTRAT DE LICENCE UTILISATEUR FINAL")) << documents[0];
    EXPECT_TRUE(Contains(documents[0],
                         "le Conc\xE9"
                         "dant"))
        << documents[0];
    EXPECT_TRUE(Contains(documents[1], "NOTES D\x92INSTALLATION")) << documents[1];
    EXPECT_EQ((std::vector<std::string>{"J'accepte", "Installer"}), Texts(run, 1));
    EXPECT_EQ((std::vector<std::string>{"Je refuse", "Annuler"}), Texts(run, 2));
    EXPECT_EQ((std::vector<std::string>{"Parcourir..."}), Texts(run, 3));
    EXPECT_EQ("FRENCH", Setting("SETTINGS", "CURRLANGUAGE"));
    EXPECT_EQ("0", Setting("SETTINGS", "EXEMODE"));
}

// Wine reports the Windows 9x platform when told to stand in for Windows 98.
TEST_F(SetupScenario, OutsideTheNtFamilyTheSetupWarnsOnceAndGoesOn) {
    RunResult version =
        prefix_.Run({"reg", "add", "HKCU\\Software\\Wine", "/v", "Version", "/d", "win98", "/f"});
    ASSERT_EQ(0, version.exitCode) << version.Describe();

    RunResult run =
        Walk({"answer-msgbox ok", kLanguageDialog, "click 2", "wait-gone", kLicenseDialog,
              kPressAccept, kReleaseAccept, "wait-gone", kInstallDialog, "click 2", "wait-gone"});
    std::vector<ParsedReport> boxes = run.All("MSGBOX");
    ASSERT_EQ(1u, boxes.size()) << run.Describe();
    EXPECT_EQ("ZarBel PC Setup - Info", boxes[0].Get("caption"));
    EXPECT_EQ(
        "ZarBel PC \xE8 compatibile con i sistemi operativi\n"
        "Windows 2000, Windows XP o superiori.         \n"
        "Con altri sistemi operativi il funzionamento non \xE8 garantito.           \n",
        boxes[0].Get("text"));
    EXPECT_EQ("warning", boxes[0].Get("icon"));
    EXPECT_EQ("ok", boxes[0].Get("buttons"));
    EXPECT_EQ("ITALIANO", Setting("SETTINGS", "CURRLANGUAGE")) << "the setup went on";
    EXPECT_EQ("0", Setting("SETTINGS", "EXEMODE"));
}

}  // namespace
}  // namespace e2e
