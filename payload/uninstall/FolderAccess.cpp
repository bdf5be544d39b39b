#include "payload/uninstall/FolderAccess.h"

namespace uninstall {

namespace {

bool Trusted(Trustee trustee) {
    return trustee != Trustee::kOther;
}

}  // namespace

int WritableByOthers(const AccessList& list) {
    if (!list.hasList) {
        return 1;
    }
    // The owner may always rewrite the access list; CREATOR OWNER as owner means nobody real.
    if (list.owner == Trustee::kOther) {
        return 1;
    }
    for (int i = 0; i < list.count; ++i) {
        const AccessEntry& entry = list.entries[i];
        if (entry.allow && !entry.inheritOnly && !Trusted(entry.trustee) &&
            (entry.mask & kChangeRights) != 0) {
            return 1;
        }
    }
    return 0;
}

}  // namespace uninstall
