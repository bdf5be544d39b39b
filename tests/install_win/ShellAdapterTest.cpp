// Program starts through the real shell: hidden, not awaited, with the parameter text arriving
// as the program's arguments and the current directory inherited.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "WinTestSupport.h"
#include "doubles/Scratch.h"
#include "platform/Shell.h"
#include "platform/Win32Adapters.h"

namespace {

TEST(ShellAdapterTest, SystemFolderIsTheSystemDirectory) {
    char expected[MAX_PATH];
    UINT length = GetSystemDirectoryA(expected, sizeof expected);
    char folder[MAX_PATH];
    EXPECT_EQ(length, Win32Shell().GetSystemFolder(folder, sizeof folder));
    EXPECT_STREQ(expected, folder);
    // Too small a buffer: nothing, and an empty text.
    char small[4] = "xyz";
    EXPECT_EQ(0u, Win32Shell().GetSystemFolder(small, sizeof small));
    EXPECT_STREQ("", small);
}

TEST(ShellAdapterTest, QuotedPathArrivesAsOneArgumentInTheInheritedFolder) {
    ScratchFolder scratch;
    std::vector<unsigned char> companion = CompanionBytes();
    ASSERT_FALSE(companion.empty());
    std::string program = scratch.Join("starter.exe");
    ASSERT_TRUE(WriteFileBytes(program, companion));
    ASSERT_TRUE(SetCurrentDirectoryA(scratch.path().c_str()));

    EXPECT_EQ(1, Win32Shell().OpenHidden(nullptr, program.c_str(),
                                         "/s \"C:\\Program Files\\Zar Bel\\COMDLG32.OCX\""));
    ASSERT_TRUE(WaitForFile(scratch.Join("starter.exe.ran"), 10000));
    EXPECT_EQ((std::vector<std::string>{scratch.path(), "/s",
                                        "C:\\Program Files\\Zar Bel\\COMDLG32.OCX"}),
              ReadLines(scratch.Join("starter.exe.ran")));

    DeleteFileA(scratch.Join("starter.exe.ran").c_str());
    EXPECT_EQ(1, Win32Shell().OpenHidden(nullptr, program.c_str(), nullptr));
    ASSERT_TRUE(WaitForFile(scratch.Join("starter.exe.ran"), 10000));
    EXPECT_EQ((std::vector<std::string>{scratch.path()}),
              ReadLines(scratch.Join("starter.exe.ran")));

    EXPECT_EQ(0, Win32Shell().OpenHidden(nullptr, scratch.Join("missing.exe").c_str(), nullptr));
    SetCurrentDirectoryA(TestProgramFolder().c_str());
}

}  // namespace
