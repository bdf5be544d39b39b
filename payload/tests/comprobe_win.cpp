// comprobe: creates an object of a registered control by its ProgID, the way a host does, and
// lets COM unload the DLL again. Exit code 0 when every step worked; prints the failing step.
#include <windows.h>
#include <ole2.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: comprobe PROGID\n");
        return 2;
    }
    wchar_t progId[128];
    if (MultiByteToWideChar(CP_ACP, 0, argv[1], -1, progId, 128) == 0) {
        return 2;
    }
    if (FAILED(CoInitialize(nullptr))) {
        fprintf(stderr, "CoInitialize failed\n");
        return 1;
    }
    int status = 1;
    CLSID classId;
    IUnknown* object = nullptr;
    HRESULT result = CLSIDFromProgID(progId, &classId);
    if (FAILED(result)) {
        fprintf(stderr, "CLSIDFromProgID: 0x%08lx\n", static_cast<unsigned long>(result));
    } else if (FAILED(result = CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER,
                                                IID_IUnknown, reinterpret_cast<void**>(&object)))) {
        fprintf(stderr, "CoCreateInstance: 0x%08lx\n", static_cast<unsigned long>(result));
    } else {
        IUnknown* again = nullptr;
        // Any other interface must be refused, and IUnknown must come back as the same object.
        IDispatch* dispatch = nullptr;
        HRESULT noDispatch =
            object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
        if (SUCCEEDED(object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&again))) &&
            again == object && noDispatch == E_NOINTERFACE && dispatch == nullptr) {
            status = 0;
            printf("created %s\n", argv[1]);
        } else {
            fprintf(stderr, "QueryInterface answers are wrong\n");
        }
        if (again != nullptr) {
            again->Release();
        }
        object->Release();
    }
    CoFreeUnusedLibraries();
    CoUninitialize();
    return status;
}
