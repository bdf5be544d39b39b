// Module resources. FindResourceA matches string types and names without regard to case.
#include <windows.h>

#include "platform/ResourceStore.h"
#include "platform/Win32Adapters.h"

int Win32ResourceStore::Find(const char* type, const char* name, ResourceBlock* out) {
    HMODULE module = static_cast<HMODULE>(module_);
    HRSRC found = FindResourceA(module, name, type);
    if (found == nullptr) {
        return 0;
    }
    HGLOBAL loaded = LoadResource(module, found);
    if (loaded == nullptr) {
        return 0;
    }
    out->size = SizeofResource(module, found);
    out->data = static_cast<const unsigned char*>(LockResource(loaded));
    return out->data != nullptr || out->size == 0;
}
