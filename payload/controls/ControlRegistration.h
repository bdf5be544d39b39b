// Registration of one in-process control class: the keys its DllRegisterServer writes under
// HKEY_CLASSES_ROOT and the ones DllUnregisterServer removes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "payload/common/RegistryAccess.h"

namespace control {

struct ControlClass {
    const char* clsid;  // "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}"
    const char* progId;
    const char* description;
};

struct Guid {
    uint32_t data1;
    uint16_t data2;
    uint16_t data3;
    uint8_t data4[8];
};

// Reads a class id in registry form, braces included. Returns 1 on success, 0 (out untouched)
// when the text is not exactly such a class id.
int ParseGuid(const char* text, Guid* out);

// Writes CLSID\{id} (description), its InprocServer32 (modulePath, ThreadingModel Apartment)
// and ProgID, and the ProgID's key pointing back to the class. Returns 1 when all were written.
int RegisterControl(RegistryAccess& registry, const ControlClass& control, const char* modulePath);

// Removes what RegisterControl wrote, but only when the class is registered to modulePath: a
// registration that belongs to another copy of the file is left alone. Returns 1 when no
// registration of modulePath remains.
int UnregisterControl(RegistryAccess& registry, const ControlClass& control,
                      const char* modulePath);

}  // namespace control
