// The install location: the default folder from the registry, the folder browser's selection
// rules and the normalisation of the folder text.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "doubles/InstallDoubles.h"
#include "install/InstallLocation.h"

namespace {

WindowHandle const kOwner = reinterpret_cast<WindowHandle>(0x0E1);
WindowHandle const kFocus = reinterpret_cast<WindowHandle>(0xF0C);
constexpr const char* kCurrentVersion = "Software\\Microsoft\\Windows\\CurrentVersion";

std::string Normalised(const std::string& folder) {
    char text[kFolderTextSize];
    strcpy(text, folder.c_str());
    NormaliseInstallFolder(text, sizeof text);
    return text;
}

TEST(NormaliseInstallFolderTest, Examples) {
    struct Row {
        const char* folder;
        const char* expected;
    };
    const Row rows[] = {
        {"C:\\Program Files", "C:\\PROGRAM FILES\\ZarbelPC"},
        {"C:\\", "C:\\ZarbelPC"},
        {"D:\\Apps\\ZarbelPC", "D:\\APPS\\ZARBELPC"},
        {"E:\\ZarbelPC Old\\Songs", "E:\\ZARBELPC OLD\\SONGS"},
        {"", "\\ZarbelPC"},
        {"D:\\Games", "D:\\GAMES\\ZarbelPC"},
        {"C:\\Programs\\ZarBelPC", "C:\\PROGRAMS\\ZARBELPC"},
        // Only one trailing backslash goes.
        {"D:\\Games\\\\", "D:\\GAMES\\\\ZarbelPC"},
        // Accented letters stay as they are.
        {"C:\\Citt\xE0\\m\xFBsica", "C:\\CITT\xE0\\M\xFBSICA\\ZarbelPC"},
        // Once normalised, a folder stays as it is.
        {"C:\\PROGRAM FILES\\ZARBELPC", "C:\\PROGRAM FILES\\ZARBELPC"},
        {"C:\\PROGRAM FILES\\ZarbelPC", "C:\\PROGRAM FILES\\ZARBELPC"},
        // A part of the name is not the name.
        {"C:\\ZarBel", "C:\\ZARBEL\\ZarbelPC"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.expected, Normalised(row.folder)) << row.folder;
    }
}

TEST(NormaliseInstallFolderTest, SuffixIsCutToTheBuffer) {
    // A browse result of 259 characters gets the whole suffix; a longer text is cut, never
    // written past the buffer.
    EXPECT_EQ("C:\\" + std::string(256, 'A') + "\\ZarbelPC",
              Normalised("C:\\" + std::string(256, 'a')));
    char text[kFolderTextSize + 8];
    memset(text, '#', sizeof text);
    std::string longer = "C:\\" + std::string(kFolderTextSize - 6, 'a');
    strcpy(text, longer.c_str());
    NormaliseInstallFolder(text, kFolderTextSize);
    EXPECT_EQ(kFolderTextSize - 1, strlen(text));
    EXPECT_EQ('#', text[kFolderTextSize]);
}

// A text longer than the size it is normalised in (a 1,024-byte folder text normalised as a
// browse result) used to get the suffix appended far past the buffer.
TEST(NormaliseInstallFolderTest, TextLongerThanTheSizeIsCutFirst) {
    char text[1024 + 16];
    memset(text, '#', sizeof text);
    std::string typed = "d:\\" + std::string(700, 'f');
    strcpy(text, typed.c_str());
    NormaliseInstallFolder(text, kFolderTextSize);
    EXPECT_EQ("D:\\" + std::string(kFolderTextSize - 4, 'F'), std::string(text));
    EXPECT_EQ('F', text[kFolderTextSize - 2]);
    EXPECT_EQ('\0', text[kFolderTextSize - 1]);
    EXPECT_EQ('f', text[kFolderTextSize]) << "past the size, the text is left alone";
    EXPECT_EQ('#', text[1024 + 8]);
}

class InstallLocationTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform_.system = &system_;
        platform_.messages = &messages_;
        platform_.registry = &registry_;
        platform_.browser = &browser_;
        system_.focus = kFocus;
    }
    std::string DefaultFolder() {
        char folder[1024];
        MakeDefaultInstallFolder(platform_, folder, sizeof folder);
        return folder;
    }
    void SetProgramFiles(const std::string& value) {
        registry_.SetValue(RegistryRoot::kLocalMachine, kCurrentVersion, "ProgramFilesDir", value);
    }

    FakeSystem system_;
    RecordingMessageBoxes messages_;
    RecordingRegistry registry_;
    ScriptedFolderBrowser browser_;
    Platform platform_;
};

TEST_F(InstallLocationTest, DefaultFolderUsesTheValueAsStored) {
    struct Row {
        std::string programFiles;
        std::string expected;
    };
    const Row rows[] = {
        {"C:\\Program Files", "C:\\Program Files\\ZarbelPC"},
        {"D:\\", "D:\\\\ZarbelPC"},
        {"", "\\ZarbelPC"},
        // 246 characters and the suffix fill the 256-byte folder; one more cannot be used.
        {std::string(246, 'p'), std::string(246, 'p') + "\\ZarbelPC"},
        {std::string(247, 'p'), "C:\\ZarbelPC"},
    };
    for (const Row& row : rows) {
        SetProgramFiles(row.programFiles);
        EXPECT_EQ(row.expected, DefaultFolder()) << row.programFiles;
    }
    EXPECT_TRUE(messages_.shown.empty());
    EXPECT_EQ(0, registry_.openKeys);
}

TEST_F(InstallLocationTest, MissingValueShowsTwoMessagesThenTheFixedDefault) {
    registry_.AddKey(RegistryRoot::kLocalMachine, kCurrentVersion);
    EXPECT_EQ("C:\\ZarbelPC", DefaultFolder());
    ASSERT_EQ(2u, messages_.shown.size());
    EXPECT_EQ(nullptr, messages_.shown[0].owner);
    EXPECT_EQ("System text of error 2", messages_.shown[0].text);
    EXPECT_EQ("GetLastError", messages_.shown[0].caption);
    EXPECT_EQ(kMbIconInformation, messages_.shown[0].type);
    EXPECT_EQ(kFocus, messages_.shown[1].owner);
    EXPECT_EQ(
        "Can't find registry key:\n"
        "HKEY_LOCAL_MACHINE::Software\\Microsoft\\Windows\\CurrentVersion Key:=ProgramFilesDir",
        messages_.shown[1].text);
    EXPECT_EQ("Read Registry", messages_.shown[1].caption);
    EXPECT_EQ(kMbIconError, messages_.shown[1].type);
    EXPECT_EQ(0, registry_.openKeys);

    // Longer than 255 characters: the same two messages.
    messages_.shown.clear();
    SetProgramFiles(std::string(256, 'p'));
    char value[256];
    EXPECT_EQ(0, ReadProgramFilesDir(platform_, value, sizeof value));
    ASSERT_EQ(2u, messages_.shown.size());
    EXPECT_EQ("System text of error 234", messages_.shown[0].text);
}

TEST_F(InstallLocationTest, MissingKeyShowsOneMessage) {
    EXPECT_EQ("C:\\ZarbelPC", DefaultFolder());
    ASSERT_EQ(1u, messages_.shown.size());
    EXPECT_EQ(kFocus, messages_.shown[0].owner);
    EXPECT_EQ(
        "Can't open registry:\n"
        "HKEY_LOCAL_MACHINE::Software\\Microsoft\\Windows\\CurrentVersion Key:=ProgramFilesDir",
        messages_.shown[0].text);
    EXPECT_EQ("Read Registry", messages_.shown[0].caption);
    EXPECT_EQ(kMbIconError, messages_.shown[0].type);
}

TEST_F(InstallLocationTest, BrowseKeepsTheInitialFolderUntilTheBrowserWasAskedToSelectIt) {
    struct Row {
        std::vector<BrowseEvent> events;
        bool confirm;
        int expectedResult;
        std::string expectedFolder;
    };
    const std::string start = "C:\\Program Files\\ZarbelPC";
    const Row rows[] = {
        // The root reported before the initial selection does not replace the start folder.
        {{{BrowseEvent::ChangedBeforeInitial, "C:\\Users\\u\\Desktop"},
          {BrowseEvent::Initialized, ""},
          {BrowseEvent::Changed, "D:\\Games"}},
         true,
         1,
         "D:\\Games"},
        {{{BrowseEvent::ChangedBeforeInitial, "C:\\Users\\u\\Desktop"},
          {BrowseEvent::Initialized, ""}},
         true,
         1,
         start},
        // An item outside the file system leaves an empty path.
        {{{BrowseEvent::Initialized, ""}, {BrowseEvent::Changed, ""}}, true, 1, ""},
        {{{BrowseEvent::Initialized, ""}, {BrowseEvent::Changed, "D:\\Games"}}, false, 0, start},
    };
    for (const Row& row : rows) {
        char folder[kFolderTextSize];
        strcpy(folder, start.c_str());
        browser_.events = row.events;
        browser_.confirm = row.confirm;
        EXPECT_EQ(row.expectedResult,
                  BrowseForInstallFolder(platform_, kOwner, folder, sizeof folder, "Scegli"));
        EXPECT_EQ(row.expectedFolder, folder);
        EXPECT_EQ(start, browser_.initialPath);
        EXPECT_EQ(kOwner, browser_.owner);
        EXPECT_EQ("Scegli", browser_.title);
    }
}

TEST_F(InstallLocationTest, BrowseStartsAtAFolderCutToThePathLimit) {
    std::string longFolder = "C:\\" + std::string(262, 'x');
    char folder[kFolderTextSize];
    strcpy(folder, longFolder.c_str());
    browser_.events = {{BrowseEvent::Initialized, ""}};
    EXPECT_EQ(1, BrowseForInstallFolder(platform_, kOwner, folder, sizeof folder, "t"));
    EXPECT_EQ(longFolder.substr(0, 259), browser_.initialPath);
    EXPECT_EQ(longFolder.substr(0, 259), folder);
}

}  // namespace
