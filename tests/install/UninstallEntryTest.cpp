#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "install/UninstallEntry.h"
#include "package/VersionResource.h"
#include "platform/MemoryResourceStore.h"
#include "records/InstallEntries.h"
#include "records/Version.h"
#include "tools/VersionInfo.h"

namespace {

// A Windows folder too long for the uninstaller's path refuses the entry, and the value planned
// from the install folder is still whole.
TEST(UninstallEntry, APathThatDoesNotFitRefusesTheEntry) {
    const std::string deep = "C:\\" + std::string(300, 'w');
    install::UninstallEntryInputs in = {"C:\\ZarbelPC", deep.c_str(), "ZarBelPC.EXE", 0};
    install::UninstallEntry entry;
    EXPECT_EQ(0, install::PlanUninstallEntry(in, &entry));
    ASSERT_EQ(entries::kUninstallValueCount, entry.count);
    EXPECT_STREQ("C:\\ZarbelPC\\ZarBelPC.EXE", entry.values[entries::kDisplayIcon].text);
}

version::Node Text(const char* key, const char* value) {
    version::Node node;
    node.key.assign(key, key + strlen(key));
    node.type = 1;
    for (const char* c = value; *c != '\0'; ++c) {
        node.value += std::string{*c, '\0'};
    }
    node.value.append(2, '\0');
    node.valueLength = static_cast<uint16_t>(strlen(value) + 1);
    return node;
}

// The entry says what zbpack stamped into the setup's own version resource; without one, or with
// one cut short, the compiled-in version and maker.
TEST(UninstallEntry, VersionAndPublisherComeFromTheVersionResource) {
    version::Node root = Text("VS_VERSION_INFO", "");
    root.type = 0;
    root.value.assign(version::kFixedInfoSize, '\0');
    root.value.replace(0, 4, "\xBD\x04\xEF\xFE", 4);
    root.valueLength = version::kFixedInfoSize;
    version::Node table = Text("041004E4", "");
    table.value.clear();
    table.valueLength = 0;
    table.children = {Text("CompanyName", "Fabbrica \xE8 Maker"), Text("ProductVersion", "1.0")};
    version::Node info = table;
    info.key = u"StringFileInfo";
    info.children = {table};
    root.children = {info};
    version::Numbers numbers;
    std::string why;
    ASSERT_EQ(1, version::ParseNumbers("2.5.7", &numbers, &why));
    ASSERT_EQ(1, version::Stamp(&root, numbers));
    std::string bytes = version::Encode(root);

    struct Row {
        const char* what;
        size_t size;  // of the resource given to the store; 0: none
        const char* version;
        const char* publisher;
    } rows[] = {
        {"stamped", bytes.size(), "2.5.7", "Fabbrica \xE8 Maker"},
        {"cut short", bytes.size() / 2, ZB_VERSION_TEXT, ZB_PUBLISHER},
        {"none", 0, ZB_VERSION_TEXT, ZB_PUBLISHER},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        MemoryResourceStore store;
        if (row.size > 0) {
            store.Add(version::kResourceType, version::kResourceName,
                      std::vector<unsigned char>(bytes.begin(), bytes.begin() + row.size));
        }
        install::ProductIdentity identity;
        install::ReadProductIdentity(store, &identity);
        install::UninstallEntryInputs in = {"C:\\ZarbelPC",   "C:\\windows",     "ZarBelPC.EXE", 0,
                                            identity.version, identity.publisher};
        install::UninstallEntry entry;
        ASSERT_EQ(1, install::PlanUninstallEntry(in, &entry));
        EXPECT_STREQ(row.version, entry.values[entries::kDisplayVersion].text);
        EXPECT_STREQ(row.publisher, entry.values[entries::kPublisher].text);
    }
}

}  // namespace
