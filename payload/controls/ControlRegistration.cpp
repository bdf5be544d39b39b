// Registry keys of one in-process control class.
#include "payload/controls/ControlRegistration.h"

#include <cstdio>

#include "platform/Text.h"

namespace control {

namespace {

constexpr size_t kKeySize = 160;
constexpr RegistryRoot kRoot = RegistryRoot::kClassesRoot;

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Reads count hex digits at text into value; 1 when all are digits.
int ReadHex(const char* text, int count, uint32_t* value) {
    uint32_t result = 0;
    for (int i = 0; i < count; ++i) {
        int digit = HexDigit(text[i]);
        if (digit < 0) {
            return 0;
        }
        result = (result << 4) | static_cast<uint32_t>(digit);
    }
    *value = result;
    return 1;
}

int RemoveKey(RegistryAccess& registry, const char* key, const char* valueName) {
    int ok = registry.DeleteValue(kRoot, key, valueName);
    return registry.DeleteKeyIfEmpty(kRoot, key) && ok;
}

}  // namespace

int ParseGuid(const char* text, Guid* out) {
    // {8-4-4-4-12}: 38 characters with braces and dashes at fixed places.
    static const int kGroupStart[] = {1, 10, 15, 20, 25};
    static const int kGroupLength[] = {8, 4, 4, 4, 12};
    for (int i = 0; i < 38; ++i) {
        if (text[i] == '\0') {
            return 0;
        }
    }
    if (text[0] != '{' || text[37] != '}' || text[38] != '\0' || text[9] != '-' ||
        text[14] != '-' || text[19] != '-' || text[24] != '-') {
        return 0;
    }
    Guid guid;
    uint32_t value = 0;
    if (!ReadHex(text + kGroupStart[0], kGroupLength[0], &value)) {
        return 0;
    }
    guid.data1 = value;
    if (!ReadHex(text + kGroupStart[1], kGroupLength[1], &value)) {
        return 0;
    }
    guid.data2 = static_cast<uint16_t>(value);
    if (!ReadHex(text + kGroupStart[2], kGroupLength[2], &value)) {
        return 0;
    }
    guid.data3 = static_cast<uint16_t>(value);
    for (int i = 0; i < 8; ++i) {
        // The last eight bytes: two in the fourth group, six in the fifth.
        const char* at =
            i < 2 ? text + kGroupStart[3] + 2 * i : text + kGroupStart[4] + 2 * (i - 2);
        if (!ReadHex(at, 2, &value)) {
            return 0;
        }
        guid.data4[i] = static_cast<uint8_t>(value);
    }
    *out = guid;
    return 1;
}

int RegisterControl(RegistryAccess& registry, const ControlClass& control, const char* modulePath) {
    Guid unused;
    if (!ParseGuid(control.clsid, &unused) || modulePath[0] == '\0') {
        return 0;
    }
    char key[kKeySize];
    int ok = 1;
    snprintf(key, sizeof key, "CLSID\\%s", control.clsid);
    ok &= registry.WriteString(kRoot, key, "", control.description);
    snprintf(key, sizeof key, "CLSID\\%s\\InprocServer32", control.clsid);
    ok &= registry.WriteString(kRoot, key, "", modulePath);
    ok &= registry.WriteString(kRoot, key, "ThreadingModel", "Apartment");
    snprintf(key, sizeof key, "CLSID\\%s\\ProgID", control.clsid);
    ok &= registry.WriteString(kRoot, key, "", control.progId);
    snprintf(key, sizeof key, "%s", control.progId);
    ok &= registry.WriteString(kRoot, key, "", control.description);
    snprintf(key, sizeof key, "%s\\CLSID", control.progId);
    ok &= registry.WriteString(kRoot, key, "", control.clsid);
    return ok;
}

int UnregisterControl(RegistryAccess& registry, const ControlClass& control,
                      const char* modulePath) {
    Guid unused;
    if (!ParseGuid(control.clsid, &unused)) {
        return 0;
    }
    char key[kKeySize];
    char server[path::kPathSize];
    snprintf(key, sizeof key, "CLSID\\%s\\InprocServer32", control.clsid);
    int registered = registry.ReadString(kRoot, key, "", server, sizeof server);
    if (registered && !text::EqualNoCase(server, modulePath)) {
        return 1;
    }

    int ok = 1;
    if (registered) {
        ok &= registry.DeleteValue(kRoot, key, "ThreadingModel");
        ok &= RemoveKey(registry, key, "");
        snprintf(key, sizeof key, "CLSID\\%s\\ProgID", control.clsid);
        ok &= RemoveKey(registry, key, "");
        snprintf(key, sizeof key, "CLSID\\%s", control.clsid);
        ok &= RemoveKey(registry, key, "");
    }

    // The ProgID goes only while it still names our class.
    char boundClass[64];
    snprintf(key, sizeof key, "%s\\CLSID", control.progId);
    if (registry.ReadString(kRoot, key, "", boundClass, sizeof boundClass) &&
        text::EqualNoCase(boundClass, control.clsid)) {
        ok &= RemoveKey(registry, key, "");
        snprintf(key, sizeof key, "%s", control.progId);
        ok &= RemoveKey(registry, key, "");
    }
    return ok;
}

}  // namespace control
