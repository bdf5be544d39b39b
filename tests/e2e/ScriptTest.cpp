// The test driver's step language and command line.
#include <gtest/gtest.h>

#include "driver/Script.h"

namespace e2e {
namespace {

Step Parsed(const std::string& line) {
    Step step;
    std::string error;
    EXPECT_TRUE(ParseStep(line, &step, &error)) << line << ": " << error;
    return step;
}

std::string ErrorOf(const std::string& line) {
    Step step;
    std::string error;
    EXPECT_FALSE(ParseStep(line, &step, &error)) << line;
    return error;
}

TEST(DriverScript, WordsSplitOnBlanksAndQuotesGroupThem) {
    struct Row {
        const char* line;
        std::vector<std::string> words;
    };
    const Row rows[] = {
        {"click 1", {"click", "1"}},
        {"  click\t 1  ", {"click", "1"}},
        {"set-text 1003 \"C:\\Program Files\\Z\"", {"set-text", "1003", "C:\\Program Files\\Z"}},
        {"wait-window title=\"ZarBel PC Setup\"", {"wait-window", "title=ZarBel PC Setup"}},
        {"set-text 1003 \"\"", {"set-text", "1003", ""}},
        {"", {}},
    };
    for (const Row& row : rows) {
        std::vector<std::string> words;
        ASSERT_TRUE(SplitWords(row.line, &words)) << row.line;
        EXPECT_EQ(row.words, words) << row.line;
    }
    std::vector<std::string> words;
    EXPECT_FALSE(SplitWords("set-text 1 \"open", &words));
}

TEST(DriverScript, NumbersAreDecimalOrHexAndWhole) {
    struct Row {
        const char* word;
        bool ok;
        int value;
    };
    const Row rows[] = {
        {"1005", true, 1005},     {"0x3EB", true, 1003}, {"0XFFFF", true, 0xFFFF},
        {"-5", true, -5},         {"010", true, 10},     {"2147483647", true, 2147483647},
        {"2147483648", false, 0}, {"", false, 0},        {"12a", false, 0},
        {"0x", false, 0},         {"-", false, 0},       {"+1", false, 0},
        {" 1", false, 0},
    };
    for (const Row& row : rows) {
        int value = -12345;
        EXPECT_EQ(row.ok, ParseNumber(row.word, &value)) << row.word;
        if (row.ok) {
            EXPECT_EQ(row.value, value) << row.word;
        } else {
            EXPECT_EQ(-12345, value) << row.word << ": a failed parse must leave the value alone";
        }
    }
}

TEST(DriverScript, StepsTakeTheirArgumentsAndOptions) {
    Step window =
        Parsed("wait-window class=#32770 title-has=Setup controls=1006,1007,1 timeout=3000");
    EXPECT_EQ(StepKind::kWaitWindow, window.kind);
    EXPECT_EQ("#32770", window.windowClass);
    EXPECT_EQ("Setup", window.titlePart);
    EXPECT_EQ((std::vector<int>{1006, 1007, 1}), window.controls);
    EXPECT_EQ(3000, window.timeoutMs);

    Step click = Parsed("click 0x3");
    EXPECT_EQ(StepKind::kClick, click.kind);
    EXPECT_EQ(3, click.id);
    EXPECT_EQ(-1, click.timeoutMs) << "no timeout given: the driver's default";

    EXPECT_EQ(1, Parsed("set-check 1007").state);
    EXPECT_EQ(0, Parsed("set-check 1007 0").state);
    Step text = Parsed("set-text 1003 \"C:\\Giochi e Karaoke\"");
    EXPECT_EQ(1003, text.id);
    EXPECT_EQ("C:\\Giochi e Karaoke", text.text);

    Step down = Parsed("mouse-down 120 -4");
    EXPECT_EQ(StepKind::kMouseDown, down.kind);
    EXPECT_EQ(120, down.x);
    EXPECT_EQ(-4, down.y);

    Step painted = Parsed("mouse-up 1 -2 painted=1 anchor=right-bottom");
    EXPECT_EQ(StepKind::kMouseUp, painted.kind);
    EXPECT_EQ(1, painted.x);
    EXPECT_EQ(-2, painted.y);
    EXPECT_EQ(1, painted.painted);
    EXPECT_EQ("right-bottom", painted.anchor);
    EXPECT_EQ("left-top", Parsed("mouse-down 0 0 painted=2").anchor);
    EXPECT_EQ(0, Parsed("mouse-down 5 5").painted);
    EXPECT_EQ(StepKind::kReadEnabled, Parsed("read-enabled 3").kind);
    EXPECT_EQ(3, Parsed("read-enabled 3").id);
    EXPECT_EQ(StepKind::kWaitMsgBox, Parsed("wait-msgbox timeout=5000").kind);
    EXPECT_EQ(5000, Parsed("wait-msgbox timeout=5000").timeoutMs);

    EXPECT_EQ(6, Parsed("answer-msgbox yes").id);
    EXPECT_EQ(2, Parsed("answer-msgbox cancel timeout=500").id);
    EXPECT_EQ("C:\\shots\\x.bmp", Parsed("screenshot C:\\shots\\x.bmp").text);
    EXPECT_EQ(60000, Parsed("wait-exit 60000").timeoutMs);
    EXPECT_EQ(-1, Parsed("wait-exit").timeoutMs);
    EXPECT_EQ(StepKind::kReadProgress, Parsed("read-progress 1005").kind);
    EXPECT_EQ("wait-gone timeout=10", Parsed("wait-gone timeout=10").source);
}

TEST(DriverScript, MistakesAreRefusedWithAReason) {
    EXPECT_NE(std::string::npos, ErrorOf("press 1").find("unknown step"));
    EXPECT_NE(std::string::npos, ErrorOf("click").find("control id"));
    EXPECT_NE(std::string::npos, ErrorOf("click OK").find("control id"));
    EXPECT_NE(std::string::npos, ErrorOf("mouse-up 3").find("X Y"));
    EXPECT_NE(std::string::npos, ErrorOf("answer-msgbox maybe").find("button"));
    EXPECT_NE(std::string::npos, ErrorOf("mouse-down 0 0 painted=x").find("hidden button"));
    EXPECT_NE(std::string::npos, ErrorOf("mouse-down 0 0 painted=0").find("hidden button"));
    EXPECT_NE(std::string::npos,
              ErrorOf("mouse-down 0 0 painted=1 anchor=middle").find("left-top"));
    EXPECT_NE(std::string::npos, ErrorOf("mouse-down 0 0 anchor=center").find("painted=ID"));
    EXPECT_NE(std::string::npos, ErrorOf("click 1 painted=1").find("unknown option"));
    EXPECT_NE(std::string::npos, ErrorOf("read-enabled").find("control id"));
    EXPECT_NE(std::string::npos, ErrorOf("set-check 1006 2").find("0 or 1"));
    EXPECT_NE(std::string::npos, ErrorOf("set-text 1003").find("text"));
    EXPECT_NE(std::string::npos, ErrorOf("screenshot").find("file"));
    EXPECT_NE(std::string::npos, ErrorOf("wait-exit soon").find("milliseconds"));
    EXPECT_NE(std::string::npos, ErrorOf("wait-window controls=1,,2").find("controls"));
    EXPECT_NE(std::string::npos, ErrorOf("wait-window timeout=-1").find("timeout"));
    // Window criteria belong to wait-window only.
    EXPECT_NE(std::string::npos, ErrorOf("click 1 class=#32770").find("unknown option"));
    EXPECT_NE(std::string::npos, ErrorOf("click 1 2").find("unexpected"));
    EXPECT_NE(std::string::npos, ErrorOf("wait-window \"title=open").find("quote"));
    EXPECT_NE(std::string::npos, ErrorOf("   ").find("empty"));
}

TEST(DriverScript, ScriptsSkipCommentsAndBlankLinesAndNameTheBadLine) {
    std::vector<Step> steps;
    std::string error;
    ASSERT_TRUE(
        ParseScript("# the language dialog\r\n"
                    "wait-window controls=1006,1007,1\r\n"
                    "\r\n"
                    "   # indented comment\n"
                    "set-check 1007\n"
                    "click 1",  // no line end at the end
                    &steps, &error))
        << error;
    ASSERT_EQ(3u, steps.size());
    EXPECT_EQ(StepKind::kWaitWindow, steps[0].kind);
    EXPECT_EQ("set-check 1007", steps[1].source) << "no carriage return left behind";
    EXPECT_EQ(StepKind::kClick, steps[2].kind);

    EXPECT_FALSE(ParseScript("click 1\n\n# fine\nclick x\n", &steps, &error));
    EXPECT_EQ(0u, error.find("line 4: ")) << error;
    ASSERT_TRUE(ParseScript("", &steps, &error));
    EXPECT_TRUE(steps.empty());
}

TEST(DriverScript, CommandLineHasOptionsThenTheProgramThenSteps) {
    DriverOptions options;
    std::string error;
    ASSERT_TRUE(
        ParseDriverArgs({"--timeout", "500", "--cwd", "C:\\plant", "--args", "msgbox a b",
                         "--shots", "Z:\\shots", "C:\\zb\\setup.exe", "wait-exit 9", "click 1"},
                        &options, &error))
        << error;
    EXPECT_EQ(500, options.timeoutMs);
    EXPECT_EQ("C:\\plant", options.currentFolder);
    EXPECT_EQ("msgbox a b", options.programArgs);
    EXPECT_EQ("Z:\\shots", options.shotsFolder);
    EXPECT_EQ("C:\\zb\\setup.exe", options.program);
    EXPECT_EQ((std::vector<std::string>{"wait-exit 9", "click 1"}), options.steps);

    ASSERT_TRUE(ParseDriverArgs({"--script", "C:\\s.txt", "setup.exe"}, &options, &error));
    EXPECT_EQ("C:\\s.txt", options.scriptFile);
    EXPECT_EQ(10000, options.timeoutMs) << "options do not leak from an earlier parse";
    EXPECT_EQ(1, options.slow);
    EXPECT_FALSE(options.anyProcess);
    ASSERT_TRUE(ParseDriverArgs({"--windows", "any", "uninstaller.exe"}, &options, &error));
    EXPECT_TRUE(options.anyProcess);
    EXPECT_TRUE(options.steps.empty());

    EXPECT_FALSE(ParseDriverArgs({}, &options, &error));
    EXPECT_FALSE(ParseDriverArgs({"--shots"}, &options, &error));
    EXPECT_FALSE(ParseDriverArgs({"--timeout", "soon", "setup.exe"}, &options, &error));
    EXPECT_FALSE(ParseDriverArgs({"--verbose", "1", "setup.exe"}, &options, &error));
    ASSERT_TRUE(ParseDriverArgs({"--slow", "15", "setup.exe"}, &options, &error)) << error;
    EXPECT_EQ(15, options.slow);
    for (const char* slow : {"0", "-2", "101", "x"}) {
        EXPECT_FALSE(ParseDriverArgs({"--slow", slow, "setup.exe"}, &options, &error)) << slow;
    }
    EXPECT_FALSE(ParseDriverArgs({"--windows", "all", "setup.exe"}, &options, &error));
    EXPECT_FALSE(ParseDriverArgs({"--cwd", "C:\\"}, &options, &error)) << "no program";
}

TEST(DriverScript, ButtonNamesAndIdsMatchTheSystemsCommandIds) {
    EXPECT_EQ(1, ButtonId("ok"));
    EXPECT_EQ(2, ButtonId("cancel"));
    EXPECT_EQ(6, ButtonId("yes"));
    EXPECT_EQ(7, ButtonId("no"));
    EXPECT_EQ(0, ButtonId("Yes")) << "names are lower case";
    EXPECT_EQ(0, ButtonId(""));
    for (int id = 1; id <= 11; ++id) {
        ASSERT_NE(nullptr, ButtonName(id)) << id;
        EXPECT_EQ(id, ButtonId(ButtonName(id)));
    }
    EXPECT_EQ(nullptr, ButtonName(0));
    EXPECT_EQ(nullptr, ButtonName(12));
    EXPECT_EQ(nullptr, ButtonName(1006));
}

}  // namespace
}  // namespace e2e
