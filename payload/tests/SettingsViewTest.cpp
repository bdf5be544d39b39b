#include "payload/main/SettingsView.h"

#include <gtest/gtest.h>

#include <string>

namespace {

settings::Values Installed() {
    settings::Values values = {};
    const char* const texts[settings::kItemCount] = {"C:\\Program Files\\ZarbelPC",
                                                     "C:\\Program Files\\ZarbelPC\\SONGS",
                                                     "zarbel.example",
                                                     "ENGLISH",
                                                     "0",
                                                     "1"};
    for (int i = 0; i < settings::kItemCount; ++i) {
        text::Copy(values.value[i], sizeof values.value[i], texts[i]);
    }
    return values;
}

TEST(SettingsOptions, ReadsDumpAndSongFile) {
    settings::Options options;
    ASSERT_EQ(1, settings::ParseOptions(" /dump \"C:\\out dir\\s.txt\"", &options));
    EXPECT_EQ(1, options.dump);
    EXPECT_STREQ("C:\\out dir\\s.txt", options.dumpFile);
    EXPECT_STREQ("", options.songFile);

    ASSERT_EQ(1, settings::ParseOptions(" \"C:\\ZarbelPC\\SONGS\\Volare.kar\"", &options));
    EXPECT_EQ(0, options.dump);
    EXPECT_STREQ("C:\\ZarbelPC\\SONGS\\Volare.kar", options.songFile);

    ASSERT_EQ(1, settings::ParseOptions("", &options));
    EXPECT_EQ(0, options.dump);
}

TEST(SettingsOptions, RefusesDumpWithoutFileAndOverlongWords) {
    settings::Options options;
    EXPECT_EQ(0, settings::ParseOptions(" /DUMP", &options));
    EXPECT_EQ(0, settings::ParseOptions(" /dump \"\"", &options));
    const std::string longWord = " " + std::string(300, 'a');
    EXPECT_EQ(0, settings::ParseOptions(longWord.c_str(), &options));
}

TEST(SettingsDump, OneKeyValueLinePerSetting) {
    char out[2048];
    ASSERT_EQ(1, settings::FormatDump(Installed(), out, sizeof out));
    EXPECT_STREQ(
        "Installpath=C:\\Program Files\\ZarbelPC\n"
        "SONGDIR=C:\\Program Files\\ZarbelPC\\SONGS\n"
        "ServerPath=zarbel.example\n"
        "CURRLANGUAGE=ENGLISH\n"
        "EXEMODE=0\n"
        "FirstTime=1\n",
        out);
    EXPECT_EQ(0, settings::FormatDump(Installed(), out, 40));
    EXPECT_LT(strlen(out), 40u);
}

TEST(SettingsView, ShowsMissingValuesAndTheSongCount) {
    settings::Values values = Installed();
    values.value[2][0] = '\0';
    char out[2048];
    ASSERT_EQ(1, settings::FormatView(values, 12, "a.kar", out, sizeof out));
    const std::string view = out;
    EXPECT_NE(std::string::npos, view.find("Songs folder: C:\\Program Files\\ZarbelPC\\SONGS\r\n"));
    EXPECT_NE(std::string::npos, view.find("Server: -\r\n"));
    EXPECT_NE(std::string::npos, view.find("Songs in the songs folder: 12\r\n"));
    EXPECT_NE(std::string::npos, view.find("Song to play: a.kar\r\n"));

    ASSERT_EQ(1, settings::FormatView(values, -1, "", out, sizeof out));
    EXPECT_NE(std::string::npos, std::string(out).find("cannot be read"));
    EXPECT_EQ(std::string::npos, std::string(out).find("Song to play"));
}

}  // namespace
