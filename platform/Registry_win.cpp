// The registry through the Win32 API. The values read here land in fixed buffers, so the
// adapter never hands back text that lacks its terminator, whatever was stored.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "platform/Registry.h"
#include "platform/Scoped_win.h"
#include "platform/SystemPaths_win.h"
#include "platform/Text.h"
#include "platform/Win32Adapters.h"

namespace {

int Result(LONG result, uint32_t* error) {
    if (result != ERROR_SUCCESS) {
        *error = static_cast<uint32_t>(result);
        return 0;
    }
    return 1;
}

// Hands an opened key to the caller, who closes it through CloseKey.
int HandOver(LONG result, ScopedRegKey& opened, RegistryKey* key, uint32_t* error) {
    *key = opened.Release();
    return Result(result, error);
}

class Win32RegistryImpl : public Registry {
public:
    int OpenKey(RegistryRoot root, const char* subKey, RegistryKey* key, uint32_t* error) override {
        ScopedRegKey opened;
        return HandOver(opened.Open(RootKey(root), subKey, KEY_QUERY_VALUE), opened, key, error);
    }

    int QueryValue(RegistryKey key, const char* name, char* out, size_t size,
                   uint32_t* error) override {
        if (size == 0) {
            *error = ERROR_MORE_DATA;
            return 0;
        }
        DWORD bytes = Win32BufferSize(size);
        LONG result = RegQueryValueExA(static_cast<HKEY>(key), name, nullptr, nullptr,
                                       reinterpret_cast<BYTE*>(out), &bytes);
        if (result == ERROR_SUCCESS && bytes < size) {
            // Values need not end in a terminator (binary data, or a string stored without one).
            out[bytes] = '\0';
            return 1;
        }
        if (result == ERROR_SUCCESS && out[size - 1] == '\0') {
            return 1;
        }
        // The data filled the whole buffer without a terminator: it is longer than the buffer
        // allows, just as when the platform reports ERROR_MORE_DATA.
        out[0] = '\0';
        *error = result == ERROR_SUCCESS ? static_cast<uint32_t>(ERROR_MORE_DATA)
                                         : static_cast<uint32_t>(result);
        return 0;
    }

    int QueryNumber(RegistryKey key, const char* name, uint32_t* value, uint32_t* error) override {
        DWORD type = 0;
        DWORD data = 0;
        DWORD bytes = sizeof data;
        LONG result = RegQueryValueExA(static_cast<HKEY>(key), name, nullptr, &type,
                                       reinterpret_cast<BYTE*>(&data), &bytes);
        if (result == ERROR_SUCCESS && (type != REG_DWORD || bytes != sizeof data)) {
            result = ERROR_INVALID_DATA;
        }
        if (!Result(result, error)) {
            return 0;
        }
        *value = data;
        return 1;
    }

    void CloseKey(RegistryKey key) override { RegCloseKey(static_cast<HKEY>(key)); }

    // No view flag: a 32-bit setup on 64-bit Windows writes to the 32-bit view, where the
    // system looks for the entries of 32-bit programs.
    int CreateKey(RegistryRoot root, const char* subKey, RegistryKey* key,
                  uint32_t* error) override {
        ScopedRegKey created;
        return HandOver(created.Create(RootKey(root), subKey, KEY_SET_VALUE), created, key, error);
    }

    int SetString(RegistryKey key, const char* name, const char* value, uint32_t* error) override {
        DWORD bytes = static_cast<DWORD>(strlen(value) + 1);
        return Result(RegSetValueExA(static_cast<HKEY>(key), name, 0, REG_SZ,
                                     reinterpret_cast<const BYTE*>(value), bytes),
                      error);
    }

    int SetNumber(RegistryKey key, const char* name, uint32_t value, uint32_t* error) override {
        DWORD data = value;
        return Result(RegSetValueExA(static_cast<HKEY>(key), name, 0, REG_DWORD,
                                     reinterpret_cast<const BYTE*>(&data), sizeof data),
                      error);
    }

    void ErrorText(uint32_t error, char* out, size_t size) override {
        if (size == 0) {
            return;
        }
        char* message = nullptr;
        DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                          FORMAT_MESSAGE_IGNORE_INSERTS,
                                      nullptr, error, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                                      reinterpret_cast<char*>(&message), 0, nullptr);
        if (length == 0 || message == nullptr) {
            snprintf(out, size, "%lu", static_cast<unsigned long>(error));
        } else {
            text::Copy(out, size, message);
        }
        if (message != nullptr) {
            LocalFree(message);
        }
    }
};

}  // namespace

Registry& Win32Registry() {
    static Win32RegistryImpl registry;
    return registry;
}
