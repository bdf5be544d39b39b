// The test driver itself, on a probe program with message boxes and a dialog that carries the
// setup's control ids: what it reports must be what was shown, and a wrong script must fail.
#include <gtest/gtest.h>

#include <fstream>

#include "driver/Bitmap.h"
#include "runner/WineSession.h"

namespace e2e {
namespace {

const char kProbe[] = "C:\\zb\\zbprobe.exe";
const char kProbeText[] = "Prova \xE8 riuscita\nseconda riga   \n";

class DriverTest : public SharedPrefixTest<DriverTest> {
public:
    static bool Prepare(WinePrefix& prefix) { return prefix.Put(ProbeExe(), "zb"); }
};

TEST_F(DriverTest, AnswersMessageBoxesAndReportsCaptionTextIconAndButtons) {
    RunResult run = prefix_->RunDriver(
        {"--args", "msgbox error-yesno warning-ok information-ok question-yesno plain-ok", kProbe,
         "answer-msgbox no", "answer-msgbox ok", "answer-msgbox ok", "answer-msgbox yes",
         "answer-msgbox ok", "wait-exit"});
    ASSERT_EQ(0, run.exitCode) << run.Describe();
    std::vector<ParsedReport> boxes = run.All("MSGBOX");
    ASSERT_EQ(5u, boxes.size()) << run.Describe();
    struct Expected {
        const char* kind;
        const char* icon;
        const char* buttons;
        const char* answer;
    };
    const Expected expected[] = {
        {"error-yesno", "error", "yes,no", "no"},
        {"warning-ok", "warning", "ok", "ok"},
        {"information-ok", "information", "ok", "ok"},
        {"question-yesno", "question", "yes,no", "yes"},
        {"plain-ok", "none", "ok", "ok"},
    };
    for (size_t i = 0; i < boxes.size(); ++i) {
        EXPECT_EQ(std::string("Probe <") + expected[i].kind + ">", boxes[i].Get("caption"));
        EXPECT_EQ(kProbeText, boxes[i].Get("text")) << expected[i].kind;
        EXPECT_EQ(expected[i].icon, boxes[i].Get("icon")) << expected[i].kind;
        EXPECT_EQ(expected[i].buttons, boxes[i].Get("buttons")) << expected[i].kind;
        EXPECT_EQ(expected[i].answer, boxes[i].Get("answer")) << expected[i].kind;
    }
    // The probe ends with the pressed buttons' ids as digits: No 7, OK 1, OK 1, Yes 6, OK 1.
    ASSERT_NE(nullptr, run.First("EXIT")) << run.Describe();
    EXPECT_EQ("71161", run.First("EXIT")->Get("code"));
    EXPECT_NE(nullptr, run.First("DONE"));
}

TEST_F(DriverTest, AMessageBoxNobodyWaitsForFailsTheRunAndEndsTheProgram) {
    RunResult run = prefix_->RunDriver({"--args", "msgbox warning-ok", kProbe, "wait-exit 30000"});
    EXPECT_EQ(1, run.exitCode) << run.Describe();
    const ParsedReport* box = run.First("MSGBOX");
    ASSERT_NE(nullptr, box) << run.Describe();
    EXPECT_EQ("warning", box->Get("icon"));
    EXPECT_EQ(nullptr, box->Find("answer"));
    const ParsedReport* fail = run.First("FAIL");
    ASSERT_NE(nullptr, fail) << run.Describe();
    EXPECT_EQ("1", fail->Get("step"));
    EXPECT_NE(std::string::npos, fail->Get("reason").find("message box")) << fail->Get("reason");
    EXPECT_NE(nullptr, run.First("TERMINATED")) << run.Describe();
    EXPECT_EQ(nullptr, run.First("DONE"));
}

TEST_F(DriverTest, AnAnswerTheBoxDoesNotOfferFails) {
    RunResult run = prefix_->RunDriver(
        {"--args", "msgbox information-ok", kProbe, "answer-msgbox yes", "wait-exit"});
    EXPECT_EQ(1, run.exitCode) << run.Describe();
    ASSERT_NE(nullptr, run.First("MSGBOX")) << run.Describe();
    EXPECT_EQ("ok", run.First("MSGBOX")->Get("buttons"));
    ASSERT_NE(nullptr, run.First("FAIL")) << run.Describe();
    EXPECT_NE(std::string::npos, run.First("FAIL")->Get("reason").find("no button yes"));
    EXPECT_NE(nullptr, run.First("TERMINATED"));
}

TEST_F(DriverTest, DrivesADialogByItsControlIdsAndTakesScreenshots) {
    remove(prefix_->DriveC("probe-result.ini").c_str());
    RunResult run = prefix_->RunDriver({
        "--shots",
        "C:\\shots",
        "--args",
        "dialog C:\\probe-result.ini",
        kProbe,
        "wait-window class=#32770 controls=1006,1007,1003,1005,1,2",
        "read-check 1006",
        "set-check 1007",
        "read-check 1006",
        "set-text 1003 \"C:\\Program Files\\Prova\"",
        "read-text 1003",
        "read-progress 1005",
        "mouse-down 12 34",
        "mouse-up 13 35",
        "screenshot dialog.bmp",
        "click 1",
        "wait-gone",
        "wait-exit",
    });
    ASSERT_EQ(0, run.exitCode) << run.Describe();

    const ParsedReport* window = run.First("WINDOW");
    ASSERT_NE(nullptr, window);
    EXPECT_EQ("#32770", window->Get("class"));
    EXPECT_EQ("Probe dialog", window->Get("title"));
    std::vector<ParsedReport> checks = run.All("CHECK");
    ASSERT_EQ(3u, checks.size());
    EXPECT_EQ("1", checks[0].Get("state")) << "the first radio button starts checked";
    EXPECT_EQ("1007", checks[1].Get("id"));
    EXPECT_EQ("1", checks[1].Get("state"));
    EXPECT_EQ("0", checks[2].Get("state")) << "checking 1007 must uncheck its group";
    ASSERT_NE(nullptr, run.First("TEXT"));
    EXPECT_EQ("C:\\Program Files\\Prova", run.First("TEXT")->Get("text"));
    ASSERT_NE(nullptr, run.First("PROGRESS"));
    EXPECT_EQ("40", run.First("PROGRESS")->Get("pos"));
    EXPECT_NE(nullptr, run.First("GONE"));
    ASSERT_NE(nullptr, run.First("EXIT"));
    EXPECT_EQ("1", run.First("EXIT")->Get("code")) << "the dialog ends with OK";

    // What the dialog itself received.
    std::string result = prefix_->DriveC("probe-result.ini");
    EXPECT_EQ("ok", IniValue(result, "PROBE", "command"));
    EXPECT_EQ("1007", IniValue(result, "PROBE", "radio"));
    EXPECT_EQ("C:\\Program Files\\Prova", IniValue(result, "PROBE", "folder"));
    EXPECT_EQ("12,34", IniValue(result, "PROBE", "mouse-down"));
    EXPECT_EQ("13,35", IniValue(result, "PROBE", "mouse-up"));

    // One picture when the window was found (--shots) and the one the script asked for; both
    // show the whole window, not a blank area.
    std::vector<ParsedReport> shots = run.All("SCREENSHOT");
    ASSERT_EQ(2u, shots.size()) << run.Describe();
    EXPECT_EQ("C:\\shots\\01-Probe-dialog.bmp", shots[0].Get("file"));
    EXPECT_EQ("C:\\shots\\dialog.bmp", shots[1].Get("file"));
    for (const char* name : {"shots/01-Probe-dialog.bmp", "shots/dialog.bmp"}) {
        Pixels pixels;
        ASSERT_TRUE(DecodeBmp24(ReadFile(prefix_->DriveC(name)), &pixels)) << name;
        EXPECT_EQ(window->Get("width"), std::to_string(pixels.width)) << name;
        EXPECT_EQ(window->Get("height"), std::to_string(pixels.height)) << name;
        size_t differing = 0;
        for (uint32_t pixel : pixels.data) {
            differing += pixel != pixels.data[0];
        }
        EXPECT_GT(differing, pixels.data.size() / 20) << name << " looks blank";
    }
}

TEST_F(DriverTest, PressesPaintedButtonsReadsEnabledStatesAndWaitsForBoxes) {
    remove(prefix_->DriveC("probe-result.ini").c_str());
    RunResult run = prefix_->RunDriver({
        "--args",
        "dialog C:\\probe-result.ini",
        kProbe,
        "wait-window class=#32770 controls=1003,1",
        "read-enabled 1",
        // The rectangle the license dialog would paint for a hidden button where OK lies.
        "mouse-down 2 3 painted=1",
        "mouse-up -1 -2 painted=1 anchor=right-bottom",
        "click 1",
        "wait-gone",
        "wait-exit",
    });
    ASSERT_EQ(0, run.exitCode) << run.Describe();
    ASSERT_NE(nullptr, run.First("ENABLED")) << run.Describe();
    EXPECT_EQ("1", run.First("ENABLED")->Get("state"));
    const ParsedReport* painted = run.First("PAINTED");
    ASSERT_NE(nullptr, painted) << run.Describe();
    int left = std::stoi(painted->Get("left"));
    int top = std::stoi(painted->Get("top"));
    int right = std::stoi(painted->Get("right"));
    int bottom = std::stoi(painted->Get("bottom"));
    EXPECT_GT(right - left, 40) << "a 50-unit wide button";
    EXPECT_GT(bottom - top, 10);
    std::string result = prefix_->DriveC("probe-result.ini");
    EXPECT_EQ(std::to_string(left + 2) + "," + std::to_string(top + 3),
              IniValue(result, "PROBE", "mouse-down"));
    EXPECT_EQ(std::to_string(right - 1) + "," + std::to_string(bottom - 2),
              IniValue(result, "PROBE", "mouse-up"));

    run = prefix_->RunDriver({"--args", "msgbox question-yesno", kProbe, "wait-msgbox",
                              "answer-msgbox yes", "wait-exit"});
    ASSERT_NE(nullptr, run.First("BOXUP")) << run.Describe();
    EXPECT_EQ("Probe <question-yesno>", run.First("BOXUP")->Get("caption"));
    ASSERT_EQ(1u, run.All("MSGBOX").size()) << "waiting does not answer";
    EXPECT_EQ("yes", run.First("MSGBOX")->Get("answer"));
}

TEST_F(DriverTest, FollowsAScriptFileAndFailsWhenNoWindowMatches) {
    std::ofstream(prefix_->DriveC("cancel.txt"), std::ios::binary)
        << "# cancel the probe dialog\r\n\r\n"
           "wait-window title=\"Probe dialog\" controls=1003\r\n"
           "click 2\r\n"
           "wait-exit 20000\r\n";
    remove(prefix_->DriveC("probe-result.ini").c_str());
    RunResult run = prefix_->RunDriver(
        {"--args", "dialog C:\\probe-result.ini", "--script", "C:\\cancel.txt", kProbe});
    ASSERT_EQ(0, run.exitCode) << run.Describe();
    ASSERT_NE(nullptr, run.First("EXIT"));
    EXPECT_EQ("2", run.First("EXIT")->Get("code"));
    EXPECT_EQ("cancel", IniValue(prefix_->DriveC("probe-result.ini"), "PROBE", "command"));

    // The dialog is up first, so that the failing wait finds it open on a slow machine too.
    run = prefix_->RunDriver({"--args", "dialog C:\\probe-result.ini", kProbe,
                              "wait-window title=\"Probe dialog\" timeout=60000",
                              "wait-window controls=1003,4242 timeout=1500", "wait-exit"});
    EXPECT_EQ(1, run.exitCode) << run.Describe();
    ASSERT_NE(nullptr, run.First("FAIL")) << run.Describe();
    EXPECT_NE(std::string::npos, run.First("FAIL")->Get("reason").find("timed out"));
    ASSERT_NE(nullptr, run.First("OPEN")) << "the window still open is listed\n" << run.Describe();
    EXPECT_EQ("Probe dialog", run.First("OPEN")->Get("title"));
    EXPECT_NE(nullptr, run.First("TERMINATED"));

    run = prefix_->RunDriver({kProbe, "wait-window", "frobnicate 3"});
    EXPECT_EQ(2, run.exitCode) << "a script error stops before anything starts";
    EXPECT_EQ(nullptr, run.First("START"));
}

}  // namespace
}  // namespace e2e
