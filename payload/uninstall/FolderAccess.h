// Who besides the administrators can change a file or folder, decided from its access list as
// the uninstaller's Win32 part reads it. Portable, so that the decision is tested without ACLs.
#pragma once

#include <cstdint>

namespace uninstall {

// The accounts an access entry or the owner can name, as far as the decision cares.
enum class Trustee {
    kAdministrators,    // BUILTIN\Administrators
    kSystem,            // LOCAL SYSTEM
    kTrustedInstaller,  // NT SERVICE\TrustedInstaller
    kCreatorOwner,      // CREATOR OWNER: a template for new objects, grants nothing itself
    // The account the uninstaller runs as: what it may change gains it nothing it lacks.
    kRunningUser,
    kOther,  // Users, Authenticated Users, Everyone, any single user, ...
};

struct AccessEntry {
    bool allow;        // an access-allowed entry (denials are ignored: they never add rights)
    bool inheritOnly;  // applies to objects created inside, not to this one
    Trustee trustee;
    uint32_t mask;  // the access mask as stored (generic rights not mapped)
};

struct AccessList {
    bool hasList;  // false: no access list at all, which lets everyone do everything
    Trustee owner;
    int count;
    const AccessEntry* entries;
};

// The rights that let their holder replace, add or rename what is in a folder, or a file
// itself, or take the object over: write and append data (add file and add folder), delete,
// delete child, change the access list, take ownership, and the generic write and all rights.
constexpr uint32_t kChangeRights = 0x00000002u | 0x00000004u | 0x00000040u | 0x00010000u |
                                   0x00040000u | 0x00080000u | 0x10000000u | 0x40000000u |
                                   0x02000000u /* MAXIMUM_ALLOWED */;

// 1 when someone other than the administrators, the system, the installer service and the
// running account can
// change the object: it has no access list, another account owns it, or an entry that applies
// to the object grants another account one of kChangeRights.
int WritableByOthers(const AccessList& list);

}  // namespace uninstall
