// The driver's report lines: escaping of what the program showed and parsing back.
#include <gtest/gtest.h>

#include "driver/Report.h"

namespace e2e {
namespace {

TEST(DriverReport, EscapingKeepsLinesPrintableAsciiAndIsReversible) {
    struct Row {
        std::string bytes;
        const char* escaped;
    };
    const Row rows[] = {
        {"plain text", "plain text"},
        {"C:\\ZarbelPC", "C:\\\\ZarbelPC"},
        {"riga\nriga\r\n\t", "riga\\nriga\\r\\n\\t"},
        {"non \xE8 garantito", "non \\xE8 garantito"},
        {"<x>", "\\x3Cx\\x3E"},
        {std::string("a\0b", 3), "a\\x00b"},
        {"\x7F\xFF\x01", "\\x7F\\xFF\\x01"},
        {"", ""},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.escaped, Escape(row.bytes));
        std::string back;
        ASSERT_TRUE(Unescape(row.escaped, &back)) << row.escaped;
        EXPECT_EQ(row.bytes, back) << row.escaped;
    }
    std::string all;
    for (int byte = 0; byte < 256; ++byte) {
        all += static_cast<char>(byte);
    }
    std::string escaped = Escape(all);
    for (char c : escaped) {
        ASSERT_TRUE(c >= 0x20 && c < 0x7F && c != '<' && c != '>') << static_cast<int>(c);
    }
    std::string back;
    ASSERT_TRUE(Unescape(escaped, &back));
    EXPECT_EQ(all, back);
}

TEST(DriverReport, MalformedEscapesAreRefused) {
    std::string out;
    for (const char* bad : {"\\", "end\\", "\\q", "\\x", "\\x4", "\\xG0", "\\x0G"}) {
        EXPECT_FALSE(Unescape(bad, &out)) << bad;
    }
}

TEST(DriverReport, LinesParseBackIntoKindAndFields) {
    std::string line = ReportLine("MSGBOX")
                           .Add("caption", "ZarBel PC Setup - Info")
                           .Add("text", "non \xE8 garantito.   \n")
                           .Add("icon", "warning")
                           .Add("empty", "")
                           .Text();
    EXPECT_EQ(
        "MSGBOX caption=<ZarBel PC Setup - Info> text=<non \\xE8 garantito.   \\n> icon=<warning> "
        "empty=<>",
        line);
    ParsedReport report;
    ASSERT_TRUE(ParseReport(line + "\r\n", &report));
    EXPECT_EQ("MSGBOX", report.kind);
    ASSERT_EQ(4u, report.fields.size());
    EXPECT_EQ("non \xE8 garantito.   \n", report.Get("text"));
    EXPECT_EQ("warning", report.Get("icon"));
    ASSERT_NE(nullptr, report.Find("empty"));
    EXPECT_EQ("", *report.Find("empty"));
    EXPECT_EQ(nullptr, report.Find("answer"));
    EXPECT_EQ("", report.Get("answer"));

    ASSERT_TRUE(ParseReport(ReportLine("EXIT").Add("code", 259).Text(), &report));
    EXPECT_EQ("259", report.Get("code"));
    ASSERT_TRUE(ParseReport("DONE", &report));
    EXPECT_TRUE(report.fields.empty());
}

TEST(DriverReport, OtherLinesAreNotReports) {
    ParsedReport report;
    for (const char* line : {"", "wine: could not load", "EXIT code=0", "EXIT code=<0",
                             "EXIT  code=<0>", "EXIT Code=<0>", "EXIT code=<\\q>", "EXIT =<0>"}) {
        EXPECT_FALSE(ParseReport(line, &report)) << line;
    }
}

}  // namespace
}  // namespace e2e
