#include <gtest/gtest.h>

#include <string>

#include "install/UninstallEntry.h"
#include "records/InstallEntries.h"

namespace {

// The uninstaller removes the values of entries::kUninstallValues and nothing else: the setup
// must write exactly those, or it leaves values behind.
TEST(UninstallEntry, WritesTheValuesTheUninstallerRemoves) {
    install::UninstallEntryInputs in = {"C:\\ZarbelPC", "C:\\windows", "ZarBelPC.EXE", 5000};
    install::UninstallEntry entry;
    ASSERT_EQ(1, install::PlanUninstallEntry(in, &entry));
    ASSERT_EQ(entries::kUninstallValueCount, entry.count);
    for (int i = 0; i < entry.count; ++i) {
        EXPECT_STREQ(entries::kUninstallValues[i], entry.values[i].name);
    }
}

// A Windows folder too long for the uninstaller's path refuses the entry, and the value planned
// from the install folder is still whole.
TEST(UninstallEntry, APathThatDoesNotFitRefusesTheEntry) {
    const std::string deep = "C:\\" + std::string(300, 'w');
    install::UninstallEntryInputs in = {"C:\\ZarbelPC", deep.c_str(), "ZarBelPC.EXE", 0};
    install::UninstallEntry entry;
    EXPECT_EQ(0, install::PlanUninstallEntry(in, &entry));
    ASSERT_EQ(entries::kUninstallValueCount, entry.count);
    EXPECT_STREQ("DisplayIcon", entry.values[4].name);
    EXPECT_STREQ("C:\\ZarbelPC\\ZarBelPC.EXE", entry.values[4].text);
}

}  // namespace
