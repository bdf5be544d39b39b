// Reading the registry: open a key under HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER, read one value
// of it as bytes, close it. Failures carry the platform's error code, which the caller turns into
// the system's text for the user.
#pragma once

#include <cstdint>

#include "platform/Types.h"

enum class RegistryRoot { kLocalMachine, kCurrentUser };

using RegistryKey = void*;

class Registry {
public:
    virtual ~Registry() = default;
    // Opens root\subKey for reading. Returns 1 and the key, or 0 and the error code.
    virtual int OpenKey(RegistryRoot root, const char* subKey, RegistryKey* key,
                        uint32_t* error) = 0;
    // Reads the value's bytes into out (size bytes, terminator included), whatever its type.
    // Returns 1 with out terminated inside the buffer, or 0 with the error code and out empty;
    // a value that fills the buffer without a terminator fails like a longer one.
    virtual int QueryValue(RegistryKey key, const char* name, char* out, unsigned size,
                           uint32_t* error) = 0;
    virtual void CloseKey(RegistryKey key) = 0;
    // The system's text for an error code in the user's language, or the number itself when the
    // system has none. Always terminated inside out.
    virtual void ErrorText(uint32_t error, char* out, unsigned size) = 0;
};

// Closes the key it holds when it goes out of scope, so that every return path releases it.
class OpenRegistryKey {
public:
    explicit OpenRegistryKey(Registry& registry) : registry_(registry) {}
    ~OpenRegistryKey() {
        if (key_ != nullptr) {
            registry_.CloseKey(key_);
        }
    }
    OpenRegistryKey(const OpenRegistryKey&) = delete;
    OpenRegistryKey& operator=(const OpenRegistryKey&) = delete;

    int Open(RegistryRoot root, const char* subKey, uint32_t* error) {
        return registry_.OpenKey(root, subKey, &key_, error);
    }
    int Query(const char* name, char* out, unsigned size, uint32_t* error) {
        return registry_.QueryValue(key_, name, out, size, error);
    }

private:
    Registry& registry_;
    RegistryKey key_ = nullptr;
};
