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

}  // namespace
}  // namespace e2e
