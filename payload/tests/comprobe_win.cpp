// comprobe: creates an object of a registered control by its ProgID, the way a host does, and
// lets COM unload the DLL again. Exit code 0 when every step worked; prints the failing step.
#include <windows.h>
#include <ole2.h>

#include <cstdio>

#include "platform/Scoped_win.h"

namespace {

// Creates the object and checks its answers; every interface is released on return.
int Probe(const wchar_t* progId, const char* name) {
    CLSID classId;
    HRESULT result = CLSIDFromProgID(progId, &classId);
    if (FAILED(result)) {
        fprintf(stderr, "CLSIDFromProgID: 0x%08lx\n", static_cast<unsigned long>(result));
        return 1;
    }
    ScopedComPtr<IUnknown> object;
    result = CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, object.Out());
    if (FAILED(result)) {
        fprintf(stderr, "CoCreateInstance: 0x%08lx\n", static_cast<unsigned long>(result));
        return 1;
    }
    // Any other interface must be refused, and IUnknown must come back as the same object.
    ScopedComPtr<IDispatch> dispatch;
    ScopedComPtr<IUnknown> again;
    HRESULT noDispatch = object->QueryInterface(IID_IDispatch, dispatch.Out());
    if (FAILED(object->QueryInterface(IID_IUnknown, again.Out())) || again.get() != object.get() ||
        noDispatch != E_NOINTERFACE || dispatch.get() != nullptr) {
        fprintf(stderr, "QueryInterface answers are wrong\n");
        return 1;
    }
    printf("created %s\n", name);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: comprobe PROGID\n");
        return 2;
    }
    wchar_t progId[128];
    if (MultiByteToWideChar(CP_ACP, 0, argv[1], -1, progId, 128) == 0) {
        return 2;
    }
    ScopedCom com;
    if (FAILED(com.result())) {
        fprintf(stderr, "CoInitialize failed\n");
        return 1;
    }
    int status = Probe(progId, argv[1]);
    CoFreeUnusedLibraries();
    return status;
}
