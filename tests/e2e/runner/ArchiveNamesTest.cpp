// The setup under Wine with an archive whose entries carry names that Windows does not store as
// given (devices, a trailing dot that names the archive itself, a character Windows refuses)
// among the product's files: each is reported and skipped, everything else is installed.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "runner/WineSession.h"

namespace e2e {
namespace {

const char* const kRefused[] = {"CON", "nul.txt", "RESOURCE.DAT.", "LPT1.log", "a?b"};

TEST(ArchiveNames, RefusedNamesAreReportedAndEveryOtherEntryIsInstalled) {
    ZB_REQUIRE_DISPLAY();
    WinePrefix prefix;
    ASSERT_TRUE(prefix.ok()) << "cannot make a Wine prefix";
    std::string setup = std::string(ZB_WIN64_BUILD) + "/e2e/oddnames/ZarBelPC-Setup-x64.exe";
    ASSERT_TRUE(prefix.Put(setup, "zb")) << setup;

    std::vector<std::string> steps = {
        "C:\\zb\\ZarBelPC-Setup-x64.exe",
        "wait-window class=#32770 controls=1006,1007,1",
        "click 1",
        "wait-gone",
        "wait-window class=#32770 controls=1000,1,2",
        "mouse-down 0 0 painted=1 anchor=center",
        "mouse-up 0 0 painted=1 anchor=center",
        "wait-gone",
        "wait-window class=#32770 controls=1003,1005,1,2,3",
        "click 1",
    };
    for (size_t i = 0; i < sizeof kRefused / sizeof kRefused[0]; ++i) {
        steps.push_back("answer-msgbox ok timeout=60000");
    }
    for (const char* step : {"answer-msgbox no timeout=60000", "wait-gone timeout=60000",
                             "answer-msgbox ok", "wait-exit 60000"}) {
        steps.push_back(step);
    }
    RunResult run = prefix.RunDriver(steps);
    EXPECT_FALSE(run.timedOut) << run.Describe();
    EXPECT_TRUE(run.All("FAIL").empty()) << run.Describe();
    const ParsedReport* exit = run.First("EXIT");
    EXPECT_TRUE(exit != nullptr && exit->Get("code") == "0") << run.Describe();

    // One write error per refused name, in archive order, then the question and the completion.
    std::vector<ParsedReport> boxes = run.All("MSGBOX");
    ASSERT_EQ(7u, boxes.size()) << run.Describe();
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ("ERRORE DI SCRITTURA", boxes[i].Get("caption"));
        EXPECT_EQ(std::string("C:\\Program Files\\ZarbelPC\\") + kRefused[i], boxes[i].Get("text"));
        EXPECT_EQ("error", boxes[i].Get("icon"));
    }
    EXPECT_EQ("Informazione", boxes[5].Get("caption"));
    EXPECT_EQ("Installazione di ZarBelPC", boxes[6].Get("caption"));

    // The archive was read to its end: the first and last entries, and the product's files
    // between them whole; nothing of the refused names and no archive left behind.
    std::string folder = prefix.DriveC("Program Files/ZarbelPC");
    EXPECT_EQ("first entry", ReadFile(folder + "/AAA-FIRST.TXT"));
    EXPECT_EQ("last entry", ReadFile(folder + "/ZZZ-LAST.TXT"));
    std::string staged = std::string(ZB_WIN64_BUILD) + "/payload-staging/";
    for (const char* name : {"ZarBelPC.EXE", "TuneChooser.ocx", "ZARBELPC.INI", "version.dat"}) {
        std::string installed = ReadFile(folder + "/" + name);
        EXPECT_FALSE(installed.empty()) << name;
        EXPECT_TRUE(installed == ReadFile(staged + name)) << name << " differs from the payload";
    }
    std::vector<std::string> files = prefix.List("Program Files/ZarbelPC");
    for (const char* gone :
         {"CON", "nul.txt", "RESOURCE.DAT", "RESOURCE.DAT.", "LPT1.log", "a?b"}) {
        EXPECT_EQ(files.end(), std::find(files.begin(), files.end(), gone)) << gone;
    }
    EXPECT_EQ("C:\\Program Files\\ZarbelPC",
              IniValue(prefix.DriveC("windows/ZarBelPC.INI"), "PATH", "Installpath"));
}

}  // namespace
}  // namespace e2e
