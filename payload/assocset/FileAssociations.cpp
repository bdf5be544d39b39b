// Song-file associations for the current user.
#include "payload/assocset/FileAssociations.h"

#include <cstdio>

#include "platform/Text.h"

namespace assoc {

const char* const kSongExtensions[kSongExtensionCount] = {".kar", ".zbk"};

namespace {

constexpr size_t kKeySize = 128;
constexpr size_t kValueSize = 600;
constexpr RegistryRoot kRoot = RegistryRoot::kCurrentUser;

void ClassKey(char* out, size_t outSize, const char* name, const char* subKey) {
    if (subKey != nullptr) {
        snprintf(out, outSize, "Software\\Classes\\%s\\%s", name, subKey);
    } else {
        snprintf(out, outSize, "Software\\Classes\\%s", name);
    }
}

int RemoveDefaultAndKey(RegistryAccess& registry, const char* key) {
    int ok = registry.DeleteValue(kRoot, key, "");
    return registry.DeleteKeyIfEmpty(kRoot, key) && ok;
}

}  // namespace

int BuildOpenCommand(char* out, size_t outSize, const char* programFolder) {
    char program[path::kPathSize];
    if (!path::Join(program, sizeof program, programFolder, kProgramName)) {
        if (outSize > 0) {
            out[0] = '\0';
        }
        return 0;
    }
    int length = snprintf(out, outSize, "\"%s\" \"%%1\"", program);
    if (length < 0 || static_cast<size_t>(length) >= outSize) {
        if (outSize > 0) {
            out[0] = '\0';
        }
        return 0;
    }
    return 1;
}

int RegisterSongFiles(RegistryAccess& registry, const char* programFolder) {
    char command[kValueSize];
    char program[path::kPathSize];
    char icon[path::kPathSize + 2];
    if (!BuildOpenCommand(command, sizeof command, programFolder) ||
        !path::Join(program, sizeof program, programFolder, kProgramName)) {
        return 0;
    }
    snprintf(icon, sizeof icon, "%s,0", program);

    char key[kKeySize];
    int ok = 1;
    ClassKey(key, sizeof key, kProgId, nullptr);
    ok &= registry.WriteString(kRoot, key, "", kProgIdDescription);
    ClassKey(key, sizeof key, kProgId, "DefaultIcon");
    ok &= registry.WriteString(kRoot, key, "", icon);
    ClassKey(key, sizeof key, kProgId, "shell\\open\\command");
    ok &= registry.WriteString(kRoot, key, "", command);

    for (const char* extension : kSongExtensions) {
        ClassKey(key, sizeof key, extension, nullptr);
        char current[kValueSize];
        char kept[kValueSize];
        // A re-install must not take our own class for the association to restore.
        if (registry.ReadString(kRoot, key, "", current, sizeof current) && current[0] != '\0' &&
            !text::EqualNoCase(current, kProgId) &&
            !registry.ReadString(kRoot, key, kPreviousValue, kept, sizeof kept)) {
            ok &= registry.WriteString(kRoot, key, kPreviousValue, current);
        }
        ok &= registry.WriteString(kRoot, key, "", kProgId);
    }
    return ok;
}

int UnregisterSongFiles(RegistryAccess& registry) {
    char key[kKeySize];
    int ok = 1;
    for (const char* extension : kSongExtensions) {
        ClassKey(key, sizeof key, extension, nullptr);
        char current[kValueSize];
        char previous[kValueSize];
        int hasPrevious =
            registry.ReadString(kRoot, key, kPreviousValue, previous, sizeof previous);
        if (registry.ReadString(kRoot, key, "", current, sizeof current) &&
            text::EqualNoCase(current, kProgId)) {
            if (hasPrevious && previous[0] != '\0') {
                ok &= registry.WriteString(kRoot, key, "", previous);
            } else {
                ok &= registry.DeleteValue(kRoot, key, "");
            }
        }
        ok &= registry.DeleteValue(kRoot, key, kPreviousValue);
        // The key stays when something else still lives in it; that is not ours to remove.
        registry.DeleteKeyIfEmpty(kRoot, key);
    }

    const char* const progIdKeys[] = {"shell\\open\\command", "shell\\open", "shell", "DefaultIcon",
                                      nullptr};
    for (const char* subKey : progIdKeys) {
        ClassKey(key, sizeof key, kProgId, subKey);
        ok &= RemoveDefaultAndKey(registry, key);
        if (subKey == nullptr) {
            break;
        }
    }
    return ok;
}

}  // namespace assoc
