// UninstallSystem over the Win32 file and process functions.
#include "payload/uninstall/UninstallRun.h"

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <cstdint>
#include <new>

#include "platform/Scoped_win.h"
#include "platform/TrueTypeName.h"
#include "payload/common/RegistryAccess.h"
#include "payload/uninstall/FolderAccess.h"

namespace uninstall {

namespace {

// A registration that hangs must not hold the uninstaller forever.
constexpr DWORD kRunTimeoutMs = 120000;
// A window that does not answer the font change within this time is passed over.
constexpr UINT kFontChangeTimeoutMs = 1000;
// A font file larger than any the product ships is not read.
constexpr DWORD kMaxFontBytes = 16u * 1024 * 1024;
// An access list longer than this is not looked into: it counts as writable by others.
constexpr DWORD kMaxAccessEntries = 128;

// GetFinalPathNameByHandleA is there from Vista on: looked up, not imported.
using GetFinalPathFn = DWORD(WINAPI*)(HANDLE, LPSTR, DWORD, DWORD);

// The accounts that may change what the uninstaller runs, by their SIDs' text.
struct KnownTrustee {
    const char* sid;
    uninstall::Trustee trustee;
};
const KnownTrustee kKnownTrustees[] = {
    {"S-1-5-32-544", uninstall::Trustee::kAdministrators},
    {"S-1-5-18", uninstall::Trustee::kSystem},
    {"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464",
     uninstall::Trustee::kTrustedInstaller},
    {"S-1-3-0", uninstall::Trustee::kCreatorOwner},
};

// The SID of the account this process runs as, or null.
PSID RunningUser() {
    static BYTE buffer[256];
    static PSID user = nullptr;
    static bool asked = false;
    if (!asked) {
        asked = true;
        HANDLE token = nullptr;
        if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
            ScopedHandle holder(token);
            DWORD length = 0;
            if (GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &length)) {
                user = reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid;
            }
        }
    }
    return user;
}

uninstall::Trustee Classify(PSID sid) {
    PSID self = RunningUser();
    if (self != nullptr && EqualSid(sid, self)) {
        return uninstall::Trustee::kRunningUser;
    }
    for (const KnownTrustee& known : kKnownTrustees) {
        PSID knownSid = nullptr;
        if (ConvertStringSidToSidA(known.sid, &knownSid)) {
            bool same = EqualSid(sid, knownSid) != FALSE;
            LocalFree(knownSid);
            if (same) {
                return known.trustee;
            }
        }
    }
    return uninstall::Trustee::kOther;
}

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

    static Outcome RemoveFolder(const char* path) {
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

    int IsReparsePoint(const char* path) override {
        DWORD attributes = GetFileAttributesA(path);
        return attributes != INVALID_FILE_ATTRIBUTES &&
               (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    }

    // The folder stays open, without delete sharing, until the uninstaller removes it: while
    // the handle is held the folder cannot be renamed or replaced by a junction.
    int FinalFolderPath(const char* folder, char* out, size_t outSize) override {
        HANDLE handle = CreateFileA(
            folder, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            return 0;
        }
        Release();
        held_ = handle;
        text::Copy(heldPath_, sizeof heldPath_, folder);
        HMODULE kernel = GetModuleHandleA("kernel32.dll");
        auto finalPath = kernel == nullptr
                             ? nullptr
                             : reinterpret_cast<GetFinalPathFn>(reinterpret_cast<void*>(
                                   GetProcAddress(kernel, "GetFinalPathNameByHandleA")));
        if (finalPath == nullptr || outSize == 0) {
            return 0;  // Windows XP: the walk over the parts is all there is
        }
        DWORD length = finalPath(handle, out, static_cast<DWORD>(outSize), 0);
        return length > 0 && length < outSize;
    }

    Outcome RemoveEmptyFolder(const char* path) override {
        if (held_ != nullptr && text::EqualNoCase(path, heldPath_)) {
            Release();
        }
        return RemoveFolder(path);
    }

    int WritableByOthers(const char* path) override {
        PSID owner = nullptr;
        PACL dacl = nullptr;
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        if (GetNamedSecurityInfoA(path, SE_FILE_OBJECT,
                                  OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner,
                                  nullptr, &dacl, nullptr, &descriptor) != ERROR_SUCCESS) {
            return 1;
        }
        static uninstall::AccessEntry entries[kMaxAccessEntries];
        uninstall::AccessList list = {
            dacl != nullptr, owner != nullptr ? Classify(owner) : uninstall::Trustee::kOther, 0,
            entries};
        int tooMany = dacl != nullptr && dacl->AceCount > kMaxAccessEntries;
        for (DWORD i = 0; dacl != nullptr && !tooMany && i < dacl->AceCount; ++i) {
            void* ace = nullptr;
            if (!GetAce(dacl, i, &ace)) {
                continue;
            }
            const ACE_HEADER* header = static_cast<const ACE_HEADER*>(ace);
            if (header->AceType != ACCESS_ALLOWED_ACE_TYPE) {
                continue;  // denials and object entries grant nothing more
            }
            const ACCESS_ALLOWED_ACE* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(ace);
            PSID sid = const_cast<DWORD*>(&allowed->SidStart);
            entries[list.count++] = {true, (header->AceFlags & INHERIT_ONLY_ACE) != 0,
                                     Classify(sid), allowed->Mask};
        }
        int writable = tooMany || uninstall::WritableByOthers(list);
        LocalFree(descriptor);
        return writable;
    }

    RegistryAccess& Registry() override { return SystemRegistry(); }

    int FontFullName(const char* path, char* out, size_t outSize) override {
        ScopedHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.IsValid()) {
            return 0;
        }
        DWORD size = GetFileSize(file, nullptr);
        if (size == INVALID_FILE_SIZE || size > kMaxFontBytes) {
            return 0;
        }
        uint8_t* bytes = new (std::nothrow) uint8_t[size > 0 ? size : 1];
        if (bytes == nullptr) {
            return 0;
        }
        DWORD read = 0;
        int named = ReadFile(file, bytes, size, &read, nullptr) && read == size &&
                    font::FullName(bytes, size, out, outSize);
        delete[] bytes;
        return named;
    }

    void UnloadFont(const char* path) override {
        RemoveFontResourceA(path);
        DWORD_PTR answer = 0;
        SendMessageTimeoutA(HWND_BROADCAST, WM_FONTCHANGE, 0, 0, SMTO_ABORTIFHUNG,
                            kFontChangeTimeoutMs, &answer);
    }

private:
    void Release() {
        if (held_ != nullptr) {
            CloseHandle(held_);
            held_ = nullptr;
        }
    }

    HANDLE held_ = nullptr;
    char heldPath_[kPathSize] = {};
};

}  // namespace

UninstallSystem& PlatformUninstallSystem() {
    static WinUninstallSystem system;
    return system;
}

}  // namespace uninstall
