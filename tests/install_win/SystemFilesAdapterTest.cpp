// The adapters behind the shared libraries and the font: version resources read through
// version.dll, and the font-change broadcast, which must not wait on a window that does not
// answer.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "WinTestSupport.h"
#include "doubles/Scratch.h"
#include "platform/FileVersions.h"
#include "platform/Fonts.h"
#include "platform/Win32Adapters.h"

namespace {

TEST(SystemFilesAdapterTest, VersionsOfASystemLibraryAndOfAFileWithout) {
    char system[MAX_PATH];
    ASSERT_NE(0u, GetSystemDirectoryA(system, sizeof system));
    uint64_t version = 0;
    ASSERT_EQ(1,
              Win32FileVersions().Read((std::string(system) + "\\kernel32.dll").c_str(), &version));
    EXPECT_GT(version >> 48, 4u) << "kernel32's major version";

    ScratchFolder scratch;
    std::string plain = scratch.Join("plain.dll");
    ASSERT_TRUE(WriteFileText(plain, "no version resource"));
    version = 7;
    EXPECT_EQ(0, Win32FileVersions().Read(plain.c_str(), &version));
    EXPECT_EQ(7u, version);
    EXPECT_EQ(0, Win32FileVersions().Read(scratch.Join("missing.dll").c_str(), &version));
}

// A top-level window whose thread stops taking messages, as a program busy elsewhere.
DWORD WINAPI StuckWindowThread(void* ready) {
    HWND window = CreateWindowExA(0, "STATIC", "stuck", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                                  nullptr, nullptr, nullptr);
    SetEvent(static_cast<HANDLE>(ready));
    Sleep(3000);
    DestroyWindow(window);
    return 0;
}

TEST(SystemFilesAdapterTest, TheFontChangeDoesNotWaitOnAWindowThatDoesNotAnswer) {
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = CreateThread(nullptr, 0, StuckWindowThread, ready, 0, nullptr);
    ASSERT_NE(nullptr, thread);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(ready, 5000));
    DWORD start = GetTickCount();
    Win32Fonts().AnnounceFontChange();
    DWORD took = GetTickCount() - start;
    EXPECT_LT(took, 2500u) << "the broadcast waited on the stuck window";
    // A file that is no font adds none.
    ScratchFolder scratch;
    std::string notAFont = scratch.Join("NOTAFONT.TTF");
    ASSERT_TRUE(WriteFileText(notAFont, "not a font"));
    EXPECT_EQ(0, Win32Fonts().AddFont(notAFont.c_str()));
    WaitForSingleObject(thread, 5000);
    CloseHandle(thread);
    CloseHandle(ready);
}

}  // namespace
