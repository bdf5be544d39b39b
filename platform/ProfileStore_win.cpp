#include <windows.h>

#include "platform/ProfileStore.h"
#include "platform/SystemPaths_win.h"
#include "platform/Win32Adapters.h"

namespace {

class Win32ProfileStore : public ProfileStore {
public:
    size_t ReadString(const char* section, const char* key, const char* defaultValue, char* out,
                      size_t size, const char* file) override {
        if (size == 0) {
            return 0;
        }
        DWORD copied =
            GetPrivateProfileStringA(section, key, defaultValue, out, Win32BufferSize(size), file);
        out[size - 1] = '\0';
        return copied;
    }
    int WriteString(const char* section, const char* key, const char* value,
                    const char* file) override {
        return WritePrivateProfileStringA(section, key, value, file) != 0;
    }
};

}  // namespace

ProfileStore& Win32Profile() {
    static Win32ProfileStore store;
    return store;
}
