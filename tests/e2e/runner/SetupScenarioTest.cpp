// Scenarios of the real setup, driven under Wine from start to end.
#include <gtest/gtest.h>

#include "runner/WineSession.h"

namespace e2e {
namespace {

TEST(SetupScenario, RunToTheEndWritesLanguageAndExeModeWithoutAnyMessageBox) {
    ZB_REQUIRE_DISPLAY();
    WinePrefix prefix;
    ASSERT_TRUE(prefix.ok()) << "cannot make a Wine prefix";
    ASSERT_TRUE(prefix.Put(SetupExe(), "zb")) << SetupExe();
    std::string settings = prefix.DriveC("windows/ZarBelPC.INI");
    ASSERT_FALSE(FileExists(settings)) << "the fresh prefix already has the settings file";

    RunResult run = prefix.RunDriver({"C:\\zb\\ZarBelPC-Setup-x64.exe", "wait-exit 60000"});

    ASSERT_FALSE(run.timedOut) << run.Describe();
    EXPECT_EQ(0, run.exitCode) << run.Describe();
    const ParsedReport* exit = run.First("EXIT");
    ASSERT_NE(nullptr, exit) << run.Describe();
    EXPECT_EQ("0", exit->Get("code"));
    EXPECT_TRUE(run.All("MSGBOX").empty()) << run.Describe();
    EXPECT_TRUE(run.All("FAIL").empty()) << run.Describe();
    ASSERT_NE(nullptr, run.First("DONE")) << run.Describe();

    EXPECT_EQ("ITALIANO", IniValue(settings, "SETTINGS", "CURRLANGUAGE"));
    EXPECT_EQ("0", IniValue(settings, "SETTINGS", "EXEMODE"));
}

// Wine reports the Windows 9x platform when told to stand in for Windows 98.
TEST(SetupScenario, OutsideTheNtFamilyTheSetupWarnsOnceAndGoesOn) {
    ZB_REQUIRE_DISPLAY();
    WinePrefix prefix;
    ASSERT_TRUE(prefix.ok()) << "cannot make a Wine prefix";
    ASSERT_TRUE(prefix.Put(SetupExe(), "zb")) << SetupExe();
    RunResult version =
        prefix.Run({"reg", "add", "HKCU\\Software\\Wine", "/v", "Version", "/d", "win98", "/f"});
    ASSERT_EQ(0, version.exitCode) << version.Describe();

    // A second box would fail the wait for the end.
    RunResult run =
        prefix.RunDriver({"C:\\zb\\ZarBelPC-Setup-x64.exe", "answer-msgbox ok", "wait-exit 60000"});

    ASSERT_EQ(0, run.exitCode) << run.Describe();
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
    ASSERT_NE(nullptr, run.First("EXIT"));
    EXPECT_EQ("0", run.First("EXIT")->Get("code"));
    std::string settings = prefix.DriveC("windows/ZarBelPC.INI");
    EXPECT_EQ("ITALIANO", IniValue(settings, "SETTINGS", "CURRLANGUAGE")) << "the setup went on";
    EXPECT_EQ("0", IniValue(settings, "SETTINGS", "EXEMODE"));
}

}  // namespace
}  // namespace e2e
