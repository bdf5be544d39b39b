// The real folder browser: it opens at the folder given, follows a selection made in it and
// tells confirmation from cancellation. A helper thread plays the user.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "WinTestSupport.h"
#include "doubles/Doubles.h"
#include "install/InstallLocation.h"
#include "platform/Platform.h"
#include "platform/Win32Adapters.h"

namespace {

struct UserScript {
    DWORD browserThread;
    const char* selectPath;  // selected in the open browser first, or null
    int button;              // IDOK or IDCANCEL
    bool found;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
    char className[32];
    if (IsWindowVisible(window) && GetClassNameA(window, className, sizeof className) > 0 &&
        strcmp(className, "#32770") == 0) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

DWORD WINAPI PlayUser(void* parameter) {
    UserScript* script = static_cast<UserScript*>(parameter);
    HWND dialog = nullptr;
    for (int waited = 0; dialog == nullptr && waited < 20000; waited += 100) {
        Sleep(100);
        EnumThreadWindows(script->browserThread, FindDialog, reinterpret_cast<LPARAM>(&dialog));
    }
    if (dialog == nullptr) {
        return 1;
    }
    script->found = true;
    Sleep(500);  // let the browser finish its initial selection
    if (script->selectPath != nullptr) {
        SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE,
                     reinterpret_cast<LPARAM>(script->selectPath));
        Sleep(300);
    }
    PostMessageA(dialog, WM_COMMAND, static_cast<WPARAM>(script->button), 0);
    return 0;
}

class FolderBrowserAdapterTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (getenv("DISPLAY") == nullptr) {
            GTEST_SKIP() << "the folder browser needs a display";
        }
        platform_.browser = &Win32FolderBrowser();
        GetSystemDirectoryA(system_, sizeof system_);
        GetWindowsDirectoryA(windows_, sizeof windows_);
    }
    int Browse(char* folder, const char* selectPath, int button, bool* found) {
        UserScript script = {GetCurrentThreadId(), selectPath, button, false};
        HANDLE user = CreateThread(nullptr, 0, PlayUser, &script, 0, nullptr);
        int result = BrowseForInstallFolder(platform_, nullptr, folder, kFolderTextSize,
                                            "SETUP_CHOOSE_INSTALL_PATH");
        WaitForSingleObject(user, INFINITE);
        CloseHandle(user);
        *found = script.found;
        return result;
    }

    Platform platform_;
    char system_[MAX_PATH];
    char windows_[MAX_PATH];
};

TEST_F(FolderBrowserAdapterTest, ConfirmingAtOnceGivesTheStartFolder) {
    char folder[kFolderTextSize];
    strcpy(folder, system_);
    bool found = false;
    EXPECT_EQ(1, Browse(folder, nullptr, IDOK, &found));
    ASSERT_TRUE(found);
    EXPECT_EQ(Lower(system_), Lower(folder));
}

TEST_F(FolderBrowserAdapterTest, ConfirmingASelectionGivesItsPath) {
    char folder[kFolderTextSize];
    strcpy(folder, system_);
    bool found = false;
    EXPECT_EQ(1, Browse(folder, windows_, IDOK, &found));
    ASSERT_TRUE(found);
    EXPECT_EQ(Lower(windows_), Lower(folder));
}

TEST_F(FolderBrowserAdapterTest, CancellingLeavesTheFolderText) {
    char folder[kFolderTextSize];
    strcpy(folder, system_);
    bool found = false;
    EXPECT_EQ(0, Browse(folder, windows_, IDCANCEL, &found));
    ASSERT_TRUE(found);
    EXPECT_STREQ(system_, folder);
}

}  // namespace
