// Registry reads through the Win32 API. The values read here land in fixed buffers, so the
// adapter never hands back text that lacks its terminator, whatever was stored.
#include <windows.h>

#include <cstdio>

#include "platform/Registry.h"
#include "platform/Text.h"
#include "platform/Win32Adapters.h"

namespace {

HKEY RootKey(RegistryRoot root) {
    return root == RegistryRoot::kLocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

class Win32RegistryImpl : public Registry {
public:
    int OpenKey(RegistryRoot root, const char* subKey, RegistryKey* key, uint32_t* error) override {
        HKEY opened = nullptr;
        LONG result = RegOpenKeyExA(RootKey(root), subKey, 0, KEY_QUERY_VALUE, &opened);
        if (result != ERROR_SUCCESS) {
            *key = nullptr;
            *error = static_cast<uint32_t>(result);
            return 0;
        }
        *key = opened;
        return 1;
    }

    int QueryValue(RegistryKey key, const char* name, char* out, unsigned size,
                   uint32_t* error) override {
        if (size == 0) {
            *error = ERROR_MORE_DATA;
            return 0;
        }
        DWORD bytes = size;
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

    void CloseKey(RegistryKey key) override { RegCloseKey(static_cast<HKEY>(key)); }

    void ErrorText(uint32_t error, char* out, unsigned size) override {
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
