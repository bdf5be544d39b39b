// File versions through version.dll, loaded by full path from the system directory when first
// needed: it is no known DLL, so importing it would let a copy beside the setup be loaded.
#include <windows.h>

#include <new>

#include "platform/FileVersions.h"
#include "platform/SystemPaths_win.h"
#include "platform/Win32Adapters.h"

namespace {

using GetSizeFn = DWORD(WINAPI*)(LPCSTR, LPDWORD);
using GetInfoFn = BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, LPVOID);
using QueryFn = BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, PUINT);

// A version resource is a few kilobytes; a larger block is not read.
constexpr DWORD kMaxVersionBlock = 1024 * 1024;

template <typename Fn>
Fn Lookup(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

class Win32FileVersionsImpl : public FileVersions {
public:
    int Read(const char* path, uint64_t* version) override {
        if (!Load()) {
            return 0;
        }
        DWORD ignored = 0;
        DWORD size = getSize_(path, &ignored);
        if (size == 0 || size > kMaxVersionBlock) {
            return 0;
        }
        unsigned char* block = new (std::nothrow) unsigned char[size];
        if (block == nullptr) {
            return 0;
        }
        int found = 0;
        void* fixed = nullptr;
        UINT fixedSize = 0;
        if (getInfo_(path, 0, size, block) && query_(block, "\\", &fixed, &fixedSize) &&
            fixed != nullptr && fixedSize >= sizeof(VS_FIXEDFILEINFO)) {
            const VS_FIXEDFILEINFO* info = static_cast<const VS_FIXEDFILEINFO*>(fixed);
            if (info->dwSignature == 0xFEEF04BD) {
                *version =
                    static_cast<uint64_t>(info->dwFileVersionMS) << 32 | info->dwFileVersionLS;
                found = 1;
            }
        }
        delete[] block;
        return found;
    }

private:
    int Load() {
        if (getSize_ == nullptr) {
            HMODULE module = LoadSystemDll("version.dll");
            if (module == nullptr) {
                return 0;
            }
            getSize_ = Lookup<GetSizeFn>(module, "GetFileVersionInfoSizeA");
            getInfo_ = Lookup<GetInfoFn>(module, "GetFileVersionInfoA");
            query_ = Lookup<QueryFn>(module, "VerQueryValueA");
        }
        return getSize_ != nullptr && getInfo_ != nullptr && query_ != nullptr;
    }

    GetSizeFn getSize_ = nullptr;
    GetInfoFn getInfo_ = nullptr;
    QueryFn query_ = nullptr;
};

}  // namespace

FileVersions& Win32FileVersions() {
    static Win32FileVersionsImpl versions;
    return versions;
}
