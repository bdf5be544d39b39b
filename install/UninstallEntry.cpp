#include "install/UninstallEntry.h"

#include <cstdio>
#include <cstring>

#include "package/ArchiveFormat.h"
#include "package/VersionResource.h"
#include "platform/Registry.h"
#include "platform/ResourceStore.h"
#include "platform/Text.h"
#include "records/InstallEntries.h"
#include "records/Version.h"

namespace install {

namespace {

constexpr const char* kQuietSwitch = "/quiet";
// By their places in the list that the uninstaller removes.
constexpr const char* const* kValueNames = entries::kUninstallValues;

class EntryBuilder {
public:
    explicit EntryBuilder(UninstallEntry* entry) : entry_(entry) { entry_->count = 0; }

    int ok() const { return ok_; }

    UninstallEntryValue& Add(const char* name) {
        UninstallEntryValue& value = entry_->values[entry_->count++];
        memset(&value, 0, sizeof value);
        value.name = name;
        return value;
    }
    void Text(const char* name, const char* text) {
        if (!text::Copy(Add(name).text, sizeof UninstallEntryValue::text, text)) {
            ok_ = 0;
        }
    }
    // The program's path in quotation marks, then the switch when there is one; a result that
    // does not fit refuses the entry.
    void Command(const char* name, const char* program, const char* switchText) {
        char* out = Add(name).text;
        int written = snprintf(out, sizeof UninstallEntryValue::text, "\"%s\"%s%s", program,
                               switchText[0] != '\0' ? " " : "", switchText);
        if (written < 0 || static_cast<size_t>(written) >= sizeof UninstallEntryValue::text) {
            ok_ = 0;
        }
    }
    void Number(const char* name, uint32_t number) {
        UninstallEntryValue& value = Add(name);
        value.isNumber = true;
        value.number = number;
    }

private:
    UninstallEntry* entry_;
    int ok_ = 1;
};

struct SizeCount {
    const char* deletedName;
    const char* const* copiedNames;
    size_t copiedCount;
    uint64_t bytes;
};

bool NameIs(const char* name, size_t length, const char* wanted) {
    return strlen(wanted) == length && text::StartsWithNoCase(name, wanted);
}

}  // namespace

int PlanUninstallEntry(const UninstallEntryInputs& in, UninstallEntry* entry) {
    EntryBuilder b(entry);
    char uninstaller[kInstallPathSize];
    char mainProgram[kInstallPathSize];
    // Both joins always run: a path that does not fit leaves its buffer empty, never unset.
    bool paths =
        path::Join(uninstaller, sizeof uninstaller, in.windowsFolder, entries::kUninstaller);
    paths &= path::Join(mainProgram, sizeof mainProgram, in.installFolder, in.mainProgram);
    b.Text(kValueNames[entries::kDisplayName], ZB_PRODUCT_NAME);
    b.Text(kValueNames[entries::kDisplayVersion],
           in.displayVersion != nullptr ? in.displayVersion : ZB_VERSION_TEXT);
    b.Text(kValueNames[entries::kPublisher], in.publisher != nullptr ? in.publisher : ZB_PUBLISHER);
    b.Text(kValueNames[entries::kInstallLocation], in.installFolder);
    b.Text(kValueNames[entries::kDisplayIcon], mainProgram);
    // Quoted: the Windows directory may hold blanks, and the system runs the text as it stands.
    b.Command(kValueNames[entries::kUninstallString], uninstaller, "");
    b.Command(kValueNames[entries::kQuietUninstallString], uninstaller, kQuietSwitch);
    // In KB, rounded up; a size beyond what the value holds is shown as the largest.
    uint64_t kilobytes = (in.installedBytes + 1023) / 1024;
    b.Number(kValueNames[entries::kEstimatedSize],
             kilobytes > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(kilobytes));
    b.Number(kValueNames[entries::kNoModify], 1);
    b.Number(kValueNames[entries::kNoRepair], 1);
    b.Text(kValueNames[entries::kUrlInfoAbout], ZB_PRODUCT_URL);
    return paths && in.installFolder[0] != '\0' && in.windowsFolder[0] != '\0' && b.ok();
}

void ReadProductIdentity(ResourceStore& resources, ProductIdentity* identity) {
    ResourceBlock block = {nullptr, 0};
    bool found = resources.Find(version::kResourceType, version::kResourceName, &block) != 0;
    if (!found || !version::FindString(block.data, block.size, "ProductVersion", identity->version,
                                       sizeof identity->version)) {
        text::Copy(identity->version, sizeof identity->version, ZB_VERSION_TEXT);
    }
    if (!found || !version::FindString(block.data, block.size, "CompanyName", identity->publisher,
                                       sizeof identity->publisher)) {
        text::Copy(identity->publisher, sizeof identity->publisher, ZB_PUBLISHER);
    }
}

int WriteUninstallEntry(const UninstallEntry& entry, Registry& registry) {
    OpenRegistryKey key(registry);
    uint32_t error = 0;
    if (!key.Create(RegistryRoot::kLocalMachine, entries::kUninstallKey, &error)) {
        return 0;
    }
    for (int i = 0; i < entry.count; ++i) {
        const UninstallEntryValue& value = entry.values[i];
        int set = value.isNumber ? registry.SetNumber(key.key(), value.name, value.number, &error)
                                 : registry.SetString(key.key(), value.name, value.text, &error);
        if (!set) {
            return 0;
        }
    }
    return 1;
}

uint64_t InstalledBytes(const ResourceBlock& block, const char* deletedName,
                        const char* const* copiedNames, size_t copiedCount) {
    SizeCount count = {deletedName, copiedNames, copiedCount, 0};
    archive::ForEachEntry(
        block.data, block.size,
        [](const char* name, size_t length, uint32_t size, void* context) {
            SizeCount* sum = static_cast<SizeCount*>(context);
            if (NameIs(name, length, sum->deletedName)) {
                return;
            }
            sum->bytes += size;
            for (size_t i = 0; i < sum->copiedCount; ++i) {
                if (NameIs(name, length, sum->copiedNames[i])) {
                    sum->bytes += size;
                }
            }
        },
        &count);
    return count.bytes;
}

}  // namespace install
