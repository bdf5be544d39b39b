// The few registry operations the payload programs need, behind an interface so that what they
// write and remove can be checked against an in-memory registry.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/Registry.h"

class RegistryAccess {
public:
    virtual ~RegistryAccess() = default;

    // Reads a string value; an empty value name means the key's default value. Returns 1 and the
    // text in out (cut to outSize) when the value exists, else 0 with out empty.
    virtual int ReadString(RegistryRoot root, const char* key, const char* valueName, char* out,
                           size_t outSize) = 0;

    // Creates the key with its missing parents and sets a string value. Returns 1 on success.
    virtual int WriteString(RegistryRoot root, const char* key, const char* valueName,
                            const char* data) = 0;

    // Reads a number value (REG_DWORD). Returns 1 and the number, or 0 when there is no such
    // value or it holds something else.
    virtual int ReadNumber(RegistryRoot root, const char* key, const char* valueName,
                           uint32_t* out) = 0;

    // Creates the key with its missing parents and sets a number value (REG_DWORD).
    virtual int WriteNumber(RegistryRoot root, const char* key, const char* valueName,
                            uint32_t value) = 0;

    // Removes one value. Returns 1 when it is gone afterwards (also when it never existed).
    virtual int DeleteValue(RegistryRoot root, const char* key, const char* valueName) = 0;

    // Removes a key that holds no values and no sub-keys. Returns 1 when the key is gone
    // afterwards, 0 when it still exists (not empty, or removal failed).
    virtual int DeleteKeyIfEmpty(RegistryRoot root, const char* key) = 0;
};

// The real registry of the running system.
RegistryAccess& SystemRegistry();
