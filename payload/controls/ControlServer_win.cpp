// One in-process control server: the DLL entry points that regsvr32 and COM call. Each control
// file is this source built with its own ZB_CONTROL_CLSID, ZB_CONTROL_PROGID and
// ZB_CONTROL_DESCRIPTION.
#include <windows.h>
#include <ole2.h>
#include <olectl.h>

#include <new>

#include "payload/controls/ControlRegistration.h"
#include "platform/Text.h"

#ifndef ZB_CONTROL_CLSID
#error "ZB_CONTROL_CLSID must name the control's class id"
#endif

namespace {

HINSTANCE gModule = nullptr;
LONG gLocks = 0;
LONG gObjects = 0;

const control::ControlClass kControl = {ZB_CONTROL_CLSID, ZB_CONTROL_PROGID,
                                        ZB_CONTROL_DESCRIPTION};

int ControlClassId(CLSID* out) {
    control::Guid guid;
    if (!control::ParseGuid(kControl.clsid, &guid)) {
        return 0;
    }
    out->Data1 = guid.data1;
    out->Data2 = guid.data2;
    out->Data3 = guid.data3;
    for (int i = 0; i < 8; ++i) {
        out->Data4[i] = guid.data4[i];
    }
    return 1;
}

int ModulePath(char* out, DWORD outSize) {
    DWORD length = GetModuleFileNameA(gModule, out, outSize);
    return length > 0 && length < outSize;
}

// The control object: nothing but identity and lifetime, which is all its hosts ask of it here.
// It lives on the process heap, so that no C++ run-time allocator is linked in.
class ControlObject final : public IUnknown {
public:
    static ControlObject* Create() {
        void* memory = HeapAlloc(GetProcessHeap(), 0, sizeof(ControlObject));
        return memory != nullptr ? new (memory) ControlObject() : nullptr;
    }

    STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (IsEqualIID(riid, IID_IUnknown)) {
            *object = static_cast<IUnknown*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&references_); }
    STDMETHODIMP_(ULONG) Release() override {
        LONG left = InterlockedDecrement(&references_);
        if (left == 0) {
            this->~ControlObject();
            HeapFree(GetProcessHeap(), 0, this);
        }
        return left;
    }

private:
    ControlObject() { InterlockedIncrement(&gObjects); }
    ~ControlObject() { InterlockedDecrement(&gObjects); }

    LONG references_ = 1;
};

class ControlFactory : public IClassFactory {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
            *object = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // The factory is a static object: its count only keeps the DLL loaded.
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&gLocks) + 1; }
    STDMETHODIMP_(ULONG) Release() override { return InterlockedDecrement(&gLocks) + 1; }

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        *object = nullptr;
        if (outer != nullptr) {
            return CLASS_E_NOAGGREGATION;
        }
        ControlObject* created = ControlObject::Create();
        if (created == nullptr) {
            return E_OUTOFMEMORY;
        }
        HRESULT result = created->QueryInterface(riid, object);
        created->Release();
        return result;
    }
    STDMETHODIMP LockServer(BOOL lock) override {
        if (lock) {
            InterlockedIncrement(&gLocks);
        } else {
            InterlockedDecrement(&gLocks);
        }
        return S_OK;
    }
};

ControlFactory gFactory;

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        gModule = module;
        DisableThreadLibraryCalls(module);
    }
    return TRUE;
}

STDAPI DllRegisterServer() {
    char modulePath[path::kPathSize];
    if (!ModulePath(modulePath, sizeof modulePath)) {
        return SELFREG_E_CLASS;
    }
    return control::RegisterControl(SystemRegistry(), kControl, modulePath) ? S_OK
                                                                            : SELFREG_E_CLASS;
}

STDAPI DllUnregisterServer() {
    char modulePath[path::kPathSize];
    if (!ModulePath(modulePath, sizeof modulePath)) {
        return SELFREG_E_CLASS;
    }
    return control::UnregisterControl(SystemRegistry(), kControl, modulePath) ? S_OK
                                                                              : SELFREG_E_CLASS;
}

STDAPI DllGetClassObject(REFCLSID classId, REFIID riid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    CLSID ours;
    if (!ControlClassId(&ours) || !IsEqualCLSID(classId, ours)) {
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    return gFactory.QueryInterface(riid, object);
}

STDAPI DllCanUnloadNow() {
    return (gLocks == 0 && gObjects == 0) ? S_OK : S_FALSE;
}
