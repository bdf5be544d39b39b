// Module resources. FindResourceA matches string types and names without regard to case.
#include <windows.h>

#include "platform/ResourceStore.h"
#include "platform/Win32Adapters.h"

namespace {

class Win32ResourceStore : public ResourceStore {
public:
    explicit Win32ResourceStore(HMODULE module) : module_(module) {}
    int Find(const char* type, const char* name, ResourceBlock* out) override {
        HRSRC found = FindResourceA(module_, name, type);
        if (found == nullptr) {
            return 0;
        }
        HGLOBAL loaded = LoadResource(module_, found);
        if (loaded == nullptr) {
            return 0;
        }
        out->size = SizeofResource(module_, found);
        out->data = static_cast<const unsigned char*>(LockResource(loaded));
        return out->data != nullptr || out->size == 0;
    }

private:
    HMODULE module_;
};

}  // namespace

ResourceStore& Win32Resources(ModuleHandle module) {
    // The setup only ever reads its own module; one store per process is enough.
    static Win32ResourceStore store(static_cast<HMODULE>(module));
    return store;
}
