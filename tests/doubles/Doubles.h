// Test doubles of the platform interfaces: they record what the logic asked of the platform.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/MessageBoxes.h"
#include "platform/Platform.h"
#include "platform/ProfileStore.h"
#include "platform/ProgressBar.h"
#include "platform/System.h"

struct ShownMessage {
    WindowHandle owner;
    std::string text;
    std::string caption;
    unsigned type;
};

class RecordingMessageBoxes : public MessageBoxes {
public:
    int Show(WindowHandle owner, const char* text, const char* caption, unsigned type) override;
    std::vector<ShownMessage> shown;
    // Answers given in order; kIdOk once they run out. 0 means "could not be shown".
    std::vector<int> answers;
};

struct ProgressCall {
    WindowHandle dialog;
    int position;
};

class RecordingProgressBar : public ProgressBar {
public:
    void SetPosition(WindowHandle dialog, int position) override {
        calls.push_back({dialog, position});
    }
    std::vector<int> Positions() const;
    std::vector<ProgressCall> calls;
};

class FakeSystem : public System {
public:
    ModuleHandle Instance() override { return nullptr; }
    WindowHandle DesktopWindow() override { return kDesktop; }
    WindowHandle FocusWindow() override { return focus; }
    int LoadSystemLibrary(const char* fileName) override {
        loadedLibraries.push_back(fileName);
        return 1;
    }
    int PlatformId() override { return platformId; }
    void Sleep(unsigned milliseconds) override { sleeps.push_back(milliseconds); }
    CursorHandle ShowWaitCursor() override {
        cursorChanges.push_back("wait");
        return kPreviousCursor;
    }
    void SetCursor(CursorHandle cursor) override {
        cursorChanges.push_back(cursor == kPreviousCursor ? "previous" : "other");
    }

    static inline WindowHandle const kDesktop = reinterpret_cast<WindowHandle>(0xDE5C);
    static inline CursorHandle const kPreviousCursor = reinterpret_cast<CursorHandle>(0xC0);
    WindowHandle focus = nullptr;
    int platformId = kPlatformWin32Nt;
    std::vector<std::string> loadedLibraries;
    std::vector<unsigned> sleeps;
    std::vector<std::string> cursorChanges;
};

// The file system of the build the tests run in (the real one, in scratch folders).
std::unique_ptr<FileSystem> MakeTestFileSystem(const std::string& windowsFolder);
// The private-profile store of the build: bare names live in windowsFolder natively; on Windows
// the portable reader is used the same way (the real functions have their own tests).
std::unique_ptr<ProfileStore> MakeTestProfileStore(const std::string& windowsFolder);
#ifdef _WIN32
// The platform's own private-profile functions, for the cases that must run against them.
std::unique_ptr<ProfileStore> MakeWin32TestProfileStore();
#endif
