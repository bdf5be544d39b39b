// Read access to the resources that the setup carries: entries found by type and name, matched
// without regard to ASCII letter case, each an immutable block of bytes readable in place.
#pragma once

#include <cstdint>

struct ResourceBlock {
    const unsigned char* data;
    uint32_t size;
};

class ResourceStore {
public:
    virtual ~ResourceStore() = default;
    // Returns 1 and fills out when the entry exists, else 0.
    virtual int Find(const char* type, const char* name, ResourceBlock* out) = 0;
};
