// The registry: open a key under HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER, read one value of it as
// bytes, close it; create a key and set string and number values in it. Failures carry the
// platform's error code, which the caller turns into the system's text for the user.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/Types.h"

// The keys a registry path starts from. The setup reads and writes the first two; the payload's
// controls register themselves under the third.
enum class RegistryRoot { kLocalMachine, kCurrentUser, kClassesRoot };

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
    virtual int QueryValue(RegistryKey key, const char* name, char* out, size_t size,
                           uint32_t* error) = 0;
    // Reads a number value (REG_DWORD). Returns 1 and the number, or 0 with the error code
    // (also when the value holds something else).
    virtual int QueryNumber(RegistryKey key, const char* name, uint32_t* value,
                            uint32_t* error) = 0;
    virtual void CloseKey(RegistryKey key) = 0;
    // Opens root\subKey for setting values, creating it and its missing parents. Returns 1 and
    // the key (closed with CloseKey), or 0 and the error code.
    virtual int CreateKey(RegistryRoot root, const char* subKey, RegistryKey* key,
                          uint32_t* error) = 0;
    // Sets a string value (REG_SZ) or a number value (REG_DWORD). Returns 1, or 0 and the error
    // code.
    virtual int SetString(RegistryKey key, const char* name, const char* value,
                          uint32_t* error) = 0;
    virtual int SetNumber(RegistryKey key, const char* name, uint32_t value, uint32_t* error) = 0;
    // The system's text for an error code in the user's language, or the number itself when the
    // system has none. Always terminated inside out.
    virtual void ErrorText(uint32_t error, char* out, size_t size) = 0;
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
    int Create(RegistryRoot root, const char* subKey, uint32_t* error) {
        return registry_.CreateKey(root, subKey, &key_, error);
    }
    RegistryKey key() const { return key_; }
    int Query(const char* name, char* out, size_t size, uint32_t* error) {
        return registry_.QueryValue(key_, name, out, size, error);
    }

private:
    Registry& registry_;
    RegistryKey key_ = nullptr;
};
