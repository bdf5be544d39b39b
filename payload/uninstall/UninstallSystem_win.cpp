// UninstallSystem over the Win32 file and process functions.
#include "UninstallRun.h"

#include <windows.h>

#include "platform/Scoped_win.h"
#include "../common/RegistryAccess.h"

namespace uninstall {

namespace {

// A registration that hangs must not hold the uninstaller forever.
constexpr DWORD kRunTimeoutMs = 120000;

int IsMissing(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

class WinUninstallSystem : public UninstallSystem {
public:
    int FileExists(const char* path) override {
        DWORD attributes = GetFileAttributesA(path);
        return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    }

    Outcome RunAndWait(const char* program, const char* commandLine) override {
        // CreateProcessA may write into the command line, so it gets a copy.
        char line[kCommandSize];
        if (!text::Copy(line, sizeof line, commandLine)) {
            return Outcome::kFailed;
        }
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_HIDE;
        PROCESS_INFORMATION process = {};
        if (!CreateProcessA(program, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &process)) {
            return Outcome::kFailed;
        }
        ScopedHandle processHandle(process.hProcess);
        ScopedHandle threadHandle(process.hThread);
        if (WaitForSingleObject(process.hProcess, kRunTimeoutMs) != WAIT_OBJECT_0) {
            return Outcome::kFailed;
        }
        DWORD exitCode = 1;
        GetExitCodeProcess(process.hProcess, &exitCode);
        return exitCode == 0 ? Outcome::kDone : Outcome::kFailed;
    }

    Outcome RemoveFile(const char* path) override {
        if (DeleteFileA(path)) {
            return Outcome::kDone;
        }
        DWORD error = GetLastError();
        if (IsMissing(error)) {
            return Outcome::kAbsent;
        }
        // Files copied from a CD keep their read-only mark; ours may go all the same.
        DWORD attributes = GetFileAttributesA(path);
        if (error == ERROR_ACCESS_DENIED && attributes != INVALID_FILE_ATTRIBUTES &&
            (attributes & FILE_ATTRIBUTE_READONLY) && !(attributes & FILE_ATTRIBUTE_DIRECTORY) &&
            SetFileAttributesA(path, attributes & ~FILE_ATTRIBUTE_READONLY) && DeleteFileA(path)) {
            return Outcome::kDone;
        }
        return Outcome::kFailed;
    }

    Outcome DeleteAtRestart(const char* path) override {
        if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES && IsMissing(GetLastError())) {
            return Outcome::kAbsent;
        }
        return MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) ? Outcome::kScheduled
                                                                       : Outcome::kFailed;
    }

    Outcome RemoveEmptyFolder(const char* path) override {
        if (RemoveDirectoryA(path)) {
            return Outcome::kDone;
        }
        DWORD error = GetLastError();
        if (IsMissing(error)) {
            return Outcome::kAbsent;
        }
        return error == ERROR_DIR_NOT_EMPTY ? Outcome::kNotEmpty : Outcome::kFailed;
    }

    // Same view as the setup's: a 32-bit uninstaller on 64-bit Windows works in the 32-bit view.
    Outcome RemoveUninstallEntry(const char* key) override {
        return RemoveEntryValues(SystemRegistry(), key);
    }
};

}  // namespace

UninstallSystem& PlatformUninstallSystem() {
    static WinUninstallSystem system;
    return system;
}

}  // namespace uninstall
