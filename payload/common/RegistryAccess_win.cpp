// RegistryAccess over the Win32 registry functions.
#include "payload/common/RegistryAccess.h"

#include <windows.h>

#include "platform/Scoped_win.h"

namespace {

class WinRegistry : public RegistryAccess {
public:
    int ReadString(RegistryRoot root, const char* key, const char* valueName, char* out,
                   size_t outSize) override {
        if (outSize == 0) {
            return 0;
        }
        out[0] = '\0';
        ScopedRegKey opened;
        if (opened.Open(RootKey(root), key, KEY_QUERY_VALUE) != ERROR_SUCCESS) {
            return 0;
        }
        DWORD type = 0;
        DWORD size = static_cast<DWORD>(outSize - 1);
        LONG status = RegQueryValueExA(opened, valueName, nullptr, &type,
                                       reinterpret_cast<BYTE*>(out), &size);
        if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
            out[0] = '\0';
            return 0;
        }
        out[size < outSize ? size : outSize - 1] = '\0';
        return 1;
    }

    int WriteString(RegistryRoot root, const char* key, const char* valueName,
                    const char* data) override {
        ScopedRegKey created;
        if (created.Create(RootKey(root), key, KEY_SET_VALUE) != ERROR_SUCCESS) {
            return 0;
        }
        DWORD size = static_cast<DWORD>(lstrlenA(data) + 1);
        return RegSetValueExA(created, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(data),
                              size) == ERROR_SUCCESS;
    }

    int ReadNumber(RegistryRoot root, const char* key, const char* valueName,
                   uint32_t* out) override {
        ScopedRegKey opened;
        if (opened.Open(RootKey(root), key, KEY_QUERY_VALUE) != ERROR_SUCCESS) {
            return 0;
        }
        DWORD type = 0;
        DWORD value = 0;
        DWORD size = sizeof value;
        if (RegQueryValueExA(opened, valueName, nullptr, &type, reinterpret_cast<BYTE*>(&value),
                             &size) != ERROR_SUCCESS ||
            type != REG_DWORD || size != sizeof value) {
            return 0;
        }
        *out = value;
        return 1;
    }

    int WriteNumber(RegistryRoot root, const char* key, const char* valueName,
                    uint32_t value) override {
        ScopedRegKey created;
        if (created.Create(RootKey(root), key, KEY_SET_VALUE) != ERROR_SUCCESS) {
            return 0;
        }
        DWORD data = value;
        return RegSetValueExA(created, valueName, 0, REG_DWORD,
                              reinterpret_cast<const BYTE*>(&data), sizeof data) == ERROR_SUCCESS;
    }

    int DeleteValue(RegistryRoot root, const char* key, const char* valueName) override {
        ScopedRegKey opened;
        LONG status = opened.Open(RootKey(root), key, KEY_SET_VALUE);
        if (status == ERROR_FILE_NOT_FOUND) {
            return 1;
        }
        if (status != ERROR_SUCCESS) {
            return 0;
        }
        status = RegDeleteValueA(opened, valueName);
        return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
    }

    int DeleteKeyIfEmpty(RegistryRoot root, const char* key) override {
        DWORD subKeys = 0;
        DWORD values = 0;
        {
            ScopedRegKey opened;
            LONG status = opened.Open(RootKey(root), key, KEY_QUERY_VALUE);
            if (status == ERROR_FILE_NOT_FOUND) {
                return 1;
            }
            if (status != ERROR_SUCCESS ||
                RegQueryInfoKeyA(opened, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr,
                                 &values, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
                return 0;
            }
        }
        if (subKeys != 0 || values != 0) {
            return 0;
        }
        return RegDeleteKeyA(RootKey(root), key) == ERROR_SUCCESS;
    }
};

}  // namespace

RegistryAccess& SystemRegistry() {
    static WinRegistry registry;
    return registry;
}
