// The installation's entry in the system's list of installed programs (Apps and Features): the
// values are composed apart from the platform, then written in one go at the end of a successful
// installation. The product's uninstaller removes the entry again.
#pragma once

#include <cstddef>
#include <cstdint>

#include "install/InstallPlan.h"
#include "records/InstallEntries.h"

class Registry;
class ResourceStore;
struct ResourceBlock;

namespace install {

struct UninstallEntryValue {
    const char* name;
    bool isNumber;
    uint32_t number;
    // A quoted path and a switch.
    char text[kInstallPathSize + 16];
};

struct UninstallEntry {
    UninstallEntryValue values[entries::kUninstallValueCount];
    int count;
};

struct UninstallEntryInputs {
    const char* installFolder;
    const char* windowsFolder;
    const char* mainProgram;  // the product's program in the install folder
    uint64_t installedBytes;  // of every file the installation leaves
    // What the setup's own version resource says (ReadProductIdentity); null: the compiled-in
    // defaults of records/Version.h.
    const char* displayVersion;
    const char* publisher;
};

// The version and the maker of the product as zbpack stamped them into the setup's own version
// resource (ProductVersion and CompanyName); the compiled-in defaults of records/Version.h when
// the resource is missing, damaged or lacks a value.
struct ProductIdentity {
    char version[64];
    char publisher[128];
};
void ReadProductIdentity(ResourceStore& resources, ProductIdentity* identity);

// Composes every value of the entry, named and ordered as entries::kUninstallValues. Returns 0 when
// a path does not fit (nothing to write).
int PlanUninstallEntry(const UninstallEntryInputs& inputs, UninstallEntry* entry);

// Creates the key and sets the values. Returns 1 when every value was set; a failure stops at
// once and is for the caller to ignore: the installation is complete without the entry.
int WriteUninstallEntry(const UninstallEntry& entry, Registry& registry);

// The bytes the installation leaves on disk, from the payload archive in block: every entry in
// the install folder but the one the installation deletes, plus the copies it makes of
// copiedNames elsewhere (names compare without regard to case).
uint64_t InstalledBytes(const ResourceBlock& block, const char* deletedName,
                        const char* const* copiedNames, size_t copiedCount);

}  // namespace install
