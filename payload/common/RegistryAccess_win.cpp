// RegistryAccess over the Win32 registry functions.
#include "RegistryAccess.h"

#include <windows.h>

namespace {

HKEY RootKey(RegistryRoot root) {
    switch (root) {
        case RegistryRoot::kClassesRoot:
            return HKEY_CLASSES_ROOT;
        case RegistryRoot::kLocalMachine:
            return HKEY_LOCAL_MACHINE;
        case RegistryRoot::kCurrentUser:
            break;
    }
    return HKEY_CURRENT_USER;
}

class KeyHolder {
public:
    KeyHolder() = default;
    ~KeyHolder() {
        if (key_ != nullptr) {
            RegCloseKey(key_);
        }
    }
    KeyHolder(const KeyHolder&) = delete;
    KeyHolder& operator=(const KeyHolder&) = delete;
    HKEY* Out() { return &key_; }
    HKEY Get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

class WinRegistry : public RegistryAccess {
public:
    int ReadString(RegistryRoot root, const char* key, const char* valueName, char* out,
                   size_t outSize) override {
        if (outSize == 0) {
            return 0;
        }
        out[0] = '\0';
        KeyHolder holder;
        if (RegOpenKeyExA(RootKey(root), key, 0, KEY_QUERY_VALUE, holder.Out()) != ERROR_SUCCESS) {
            return 0;
        }
        DWORD type = 0;
        DWORD size = static_cast<DWORD>(outSize - 1);
        LONG status = RegQueryValueExA(holder.Get(), valueName, nullptr, &type,
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
        KeyHolder holder;
        if (RegCreateKeyExA(RootKey(root), key, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                            nullptr, holder.Out(), nullptr) != ERROR_SUCCESS) {
            return 0;
        }
        DWORD size = static_cast<DWORD>(lstrlenA(data) + 1);
        return RegSetValueExA(holder.Get(), valueName, 0, REG_SZ,
                              reinterpret_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
    }

    int DeleteValue(RegistryRoot root, const char* key, const char* valueName) override {
        KeyHolder holder;
        LONG status = RegOpenKeyExA(RootKey(root), key, 0, KEY_SET_VALUE, holder.Out());
        if (status == ERROR_FILE_NOT_FOUND) {
            return 1;
        }
        if (status != ERROR_SUCCESS) {
            return 0;
        }
        status = RegDeleteValueA(holder.Get(), valueName);
        return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
    }

    int DeleteKeyIfEmpty(RegistryRoot root, const char* key) override {
        DWORD subKeys = 0;
        DWORD values = 0;
        {
            KeyHolder holder;
            LONG status = RegOpenKeyExA(RootKey(root), key, 0, KEY_QUERY_VALUE, holder.Out());
            if (status == ERROR_FILE_NOT_FOUND) {
                return 1;
            }
            if (status != ERROR_SUCCESS ||
                RegQueryInfoKeyA(holder.Get(), nullptr, nullptr, nullptr, &subKeys, nullptr,
                                 nullptr, &values, nullptr, nullptr, nullptr,
                                 nullptr) != ERROR_SUCCESS) {
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
