// Small holders for what Win32 hands out and wants back (device contexts, selections, GDI
// objects, COM, interfaces, registry keys, kernel handles): each gives it back when it goes out
// of scope, so every early return does too. With them, the registry roots of the portable code
// as Win32 keys. Header only: the setup and the payload share it.
#pragma once

#include <windows.h>
#include <objbase.h>

#include "platform/Registry.h"

// The device context of a window's client area, released to that window.
class ScopedGetDC {
public:
    explicit ScopedGetDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~ScopedGetDC() {
        if (dc_ != nullptr) {
            ReleaseDC(window_, dc_);
        }
    }
    ScopedGetDC(const ScopedGetDC&) = delete;
    ScopedGetDC& operator=(const ScopedGetDC&) = delete;
    operator HDC() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// Selects an object into a device context and selects the previous one back. Declare it after
// the holder of the object, so the object leaves the context before it is deleted.
class ScopedSelectObject {
public:
    ScopedSelectObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~ScopedSelectObject() {
        if (previous_ != nullptr && previous_ != HGDI_ERROR) {
            SelectObject(dc_, previous_);
        }
    }
    ScopedSelectObject(const ScopedSelectObject&) = delete;
    ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A GDI object that this program created (pen, brush), deleted when the holder goes or is given
// another one.
template <typename T>
class ScopedGdiObject {
public:
    constexpr ScopedGdiObject() = default;
    explicit ScopedGdiObject(T object) : object_(object) {}
    ~ScopedGdiObject() { Reset(nullptr); }
    ScopedGdiObject(const ScopedGdiObject&) = delete;
    ScopedGdiObject& operator=(const ScopedGdiObject&) = delete;
    void Reset(T object) {
        if (object_ != nullptr) {
            DeleteObject(object_);
        }
        object_ = object;
    }
    operator T() const { return object_; }

private:
    T object_ = nullptr;
};

using ScopedPen = ScopedGdiObject<HPEN>;
using ScopedBrush = ScopedGdiObject<HBRUSH>;

// COM on this thread while the holder lives. The uninitialise balances only an initialise that
// succeeded, which includes S_FALSE: COM was already up on this thread and still counts one more.
class ScopedCom {
public:
    ScopedCom() : result_(CoInitialize(nullptr)) {}
    ~ScopedCom() {
        if (SUCCEEDED(result_)) {
            CoUninitialize();
        }
    }
    ScopedCom(const ScopedCom&) = delete;
    ScopedCom& operator=(const ScopedCom&) = delete;
    HRESULT result() const { return result_; }

private:
    HRESULT result_;
};

// An interface pointer, released when the holder goes. Declare it after the ScopedCom it needs.
template <typename T>
class ScopedComPtr {
public:
    ScopedComPtr() = default;
    ~ScopedComPtr() { Reset(); }
    ScopedComPtr(const ScopedComPtr&) = delete;
    ScopedComPtr& operator=(const ScopedComPtr&) = delete;
    T* operator->() const { return p_; }
    T* get() const { return p_; }
    // For the call that hands out the interface (CoCreateInstance, QueryInterface).
    void** Out() {
        Reset();
        return reinterpret_cast<void**>(&p_);
    }

private:
    void Reset() {
        if (p_ != nullptr) {
            p_->Release();
            p_ = nullptr;
        }
    }
    T* p_ = nullptr;
};

// An open registry key, closed when the holder goes. Open and Create return the platform's
// status; the holder keeps a key only when the call succeeded.
class ScopedRegKey {
public:
    ScopedRegKey() = default;
    ~ScopedRegKey() { Close(); }
    ScopedRegKey(const ScopedRegKey&) = delete;
    ScopedRegKey& operator=(const ScopedRegKey&) = delete;

    LONG Open(HKEY root, const char* subKey, REGSAM access) {
        Close();
        HKEY opened = nullptr;
        LONG status = RegOpenKeyExA(root, subKey, 0, access, &opened);
        key_ = status == ERROR_SUCCESS ? opened : nullptr;
        return status;
    }
    // Opens the key, making it and its missing parents first.
    LONG Create(HKEY root, const char* subKey, REGSAM access) {
        Close();
        HKEY created = nullptr;
        LONG status = RegCreateKeyExA(root, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                                      nullptr, &created, nullptr);
        key_ = status == ERROR_SUCCESS ? created : nullptr;
        return status;
    }
    // Null when no key is open.
    operator HKEY() const { return key_; }
    // Hands the key to a caller that closes it itself.
    HKEY Release() {
        HKEY key = key_;
        key_ = nullptr;
        return key;
    }

private:
    void Close() {
        if (key_ != nullptr) {
            RegCloseKey(key_);
            key_ = nullptr;
        }
    }
    HKEY key_ = nullptr;
};

// The predefined key that a registry path of the portable code starts from.
inline HKEY RootKey(RegistryRoot root) {
    switch (root) {
        case RegistryRoot::kLocalMachine:
            return HKEY_LOCAL_MACHINE;
        case RegistryRoot::kClassesRoot:
            return HKEY_CLASSES_ROOT;
        case RegistryRoot::kCurrentUser:
            break;
    }
    return HKEY_CURRENT_USER;
}

// A kernel handle (process, thread, file), closed when the holder goes. Both null and
// INVALID_HANDLE_VALUE mean none, as the platform's calls report failure with either.
class ScopedHandle {
public:
    explicit ScopedHandle(HANDLE handle) : handle_(handle) {}
    ~ScopedHandle() {
        if (IsValid()) {
            CloseHandle(handle_);
        }
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    bool IsValid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
    operator HANDLE() const { return handle_; }

private:
    HANDLE handle_;
};
