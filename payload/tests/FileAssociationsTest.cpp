#include "payload/assocset/FileAssociations.h"

#include <gtest/gtest.h>

#include <string>

#include "payload/tests/FakeRegistry.h"

namespace {

constexpr RegistryRoot kUser = RegistryRoot::kCurrentUser;

TEST(FileAssociations, PointsBothSongExtensionsAtTheInstalledProgram) {
    FakeRegistry registry;
    ASSERT_EQ(1, assoc::RegisterSongFiles(registry, "C:\\Program Files\\ZarbelPC"));
    EXPECT_EQ("ZarBelPC.Song", registry.Value(kUser, "Software\\Classes\\.kar", ""));
    EXPECT_EQ("ZarBelPC.Song", registry.Value(kUser, "Software\\Classes\\.zbk", ""));
    EXPECT_EQ("\"C:\\Program Files\\ZarbelPC\\ZarBelPC.EXE\" \"%1\"",
              registry.Value(kUser, "Software\\Classes\\ZarBelPC.Song\\shell\\open\\command", ""));
    EXPECT_EQ("C:\\Program Files\\ZarbelPC\\ZarBelPC.EXE,0",
              registry.Value(kUser, "Software\\Classes\\ZarBelPC.Song\\DefaultIcon", ""));
    EXPECT_EQ("<none>", registry.Value(kUser, "Software\\Classes\\.kar", "ZarBelPC.Previous"));
}

TEST(FileAssociations, RemovingLeavesTheRegistryAsItWas) {
    FakeRegistry registry;
    registry.WriteString(kUser, "Software\\Classes\\.txt", "", "txtfile");
    const std::string before = registry.Dump();
    ASSERT_EQ(1, assoc::RegisterSongFiles(registry, "C:\\ZarbelPC"));
    ASSERT_NE(before, registry.Dump());
    ASSERT_EQ(1, assoc::UnregisterSongFiles(registry));
    EXPECT_EQ(before, registry.Dump());
}

TEST(FileAssociations, PutsBackTheAssociationItReplaced) {
    FakeRegistry registry;
    registry.WriteString(kUser, "Software\\Classes\\.kar", "", "OtherPlayer.Karaoke");
    registry.WriteString(kUser, "Software\\Classes\\.kar", "Content Type", "audio/midi");
    const std::string before = registry.Dump();

    ASSERT_EQ(1, assoc::RegisterSongFiles(registry, "C:\\ZarbelPC"));
    // A second install (repair) must not save our own class as the one to restore.
    ASSERT_EQ(1, assoc::RegisterSongFiles(registry, "C:\\ZarbelPC"));
    EXPECT_EQ("ZarBelPC.Song", registry.Value(kUser, "Software\\Classes\\.kar", ""));
    EXPECT_EQ("OtherPlayer.Karaoke",
              registry.Value(kUser, "Software\\Classes\\.kar", "ZarBelPC.Previous"));

    ASSERT_EQ(1, assoc::UnregisterSongFiles(registry));
    EXPECT_EQ(before, registry.Dump());
}

TEST(FileAssociations, LeavesAnExtensionThatAnotherProgramTookOver) {
    FakeRegistry registry;
    ASSERT_EQ(1, assoc::RegisterSongFiles(registry, "C:\\ZarbelPC"));
    registry.WriteString(kUser, "Software\\Classes\\.zbk", "", "NewPlayer.Song");
    ASSERT_EQ(1, assoc::UnregisterSongFiles(registry));
    EXPECT_EQ("NewPlayer.Song", registry.Value(kUser, "Software\\Classes\\.zbk", ""));
    EXPECT_FALSE(registry.HasKey(kUser, "Software\\Classes\\.kar"));
    EXPECT_FALSE(registry.HasKey(kUser, "Software\\Classes\\ZarBelPC.Song"));
}

TEST(FileAssociations, WritesNothingForAFolderTooLongForAPath) {
    FakeRegistry registry;
    const std::string folder = "C:\\" + std::string(250, 'x');
    EXPECT_EQ(0, assoc::RegisterSongFiles(registry, folder.c_str()));
    EXPECT_EQ(0, registry.writes);
    char command[600];
    EXPECT_EQ(0, assoc::BuildOpenCommand(command, sizeof command, folder.c_str()));
    EXPECT_STREQ("", command);
}

TEST(FileAssociations, ReportsAFailedWrite) {
    FakeRegistry registry;
    registry.failWrites = 1;
    EXPECT_EQ(0, assoc::RegisterSongFiles(registry, "C:\\ZarbelPC"));
}

}  // namespace
