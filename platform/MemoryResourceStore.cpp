#include "platform/MemoryResourceStore.h"

#include "platform/Text.h"

void MemoryResourceStore::Add(const std::string& type, const std::string& name,
                              std::vector<unsigned char> bytes) {
    entries_.push_back(Entry{type, name, std::move(bytes)});
}

int MemoryResourceStore::Find(const char* type, const char* name, ResourceBlock* out) {
    for (const Entry& entry : entries_) {
        if (text::EqualNoCase(entry.type.c_str(), type) &&
            text::EqualNoCase(entry.name.c_str(), name)) {
            out->data = entry.bytes.data();
            out->size = static_cast<uint32_t>(entry.bytes.size());
            return 1;
        }
    }
    return 0;
}
