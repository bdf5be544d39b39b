// A resource store held in memory, for tools and tests: entries keyed by type and name, matched
// without regard to ASCII letter case like the platform's own resources.
#pragma once

#include <string>
#include <vector>

#include "platform/ResourceStore.h"

class MemoryResourceStore : public ResourceStore {
public:
    void Add(const std::string& type, const std::string& name, std::vector<unsigned char> bytes);
    int Find(const char* type, const char* name, ResourceBlock* out) override;

private:
    struct Entry {
        std::string type;
        std::string name;
        std::vector<unsigned char> bytes;
    };
    std::vector<Entry> entries_;
};
