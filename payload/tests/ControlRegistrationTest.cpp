#include "payload/controls/ControlRegistration.h"

#include <gtest/gtest.h>

#include <string>

#include "payload/tests/FakeRegistry.h"

namespace {

constexpr RegistryRoot kClasses = RegistryRoot::kClassesRoot;
const control::ControlClass kTuneChooser = {"{6A3E8C12-4F0B-4D7E-9B21-3C5D7E8F0A14}",
                                            "ZarBelPC.TuneChooser", "ZarBelPC Tune Chooser"};
const char kClassKey[] = "CLSID\\{6A3E8C12-4F0B-4D7E-9B21-3C5D7E8F0A14}";

TEST(ParseGuid, ReadsTheRegistryFormOnly) {
    control::Guid guid;
    ASSERT_EQ(1, control::ParseGuid("{6A3E8C12-4F0B-4d7e-9B21-3C5D7E8F0A14}", &guid));
    EXPECT_EQ(0x6A3E8C12u, guid.data1);
    EXPECT_EQ(0x4F0B, guid.data2);
    EXPECT_EQ(0x4D7E, guid.data3);
    const uint8_t tail[8] = {0x9B, 0x21, 0x3C, 0x5D, 0x7E, 0x8F, 0x0A, 0x14};
    EXPECT_EQ(0, memcmp(tail, guid.data4, sizeof tail));

    const char* const bad[] = {
        "",
        "6A3E8C12-4F0B-4D7E-9B21-3C5D7E8F0A14",
        "{6A3E8C12-4F0B-4D7E-9B21-3C5D7E8F0A14",
        "{6A3E8C12-4F0B-4D7E-9B21-3C5D7E8F0A14}x",
        "{6A3E8C12-4F0B-4D7E-9B213-C5D7E8F0A14}",
        "{6A3E8C1G-4F0B-4D7E-9B21-3C5D7E8F0A14}",
        "{6A3E8C12-4F0B-4D7E-9B21-3C5D7E8F0A1Z}",
    };
    for (const char* text : bad) {
        control::Guid untouched = {1, 2, 3, {4}};
        EXPECT_EQ(0, control::ParseGuid(text, &untouched)) << text;
        EXPECT_EQ(1u, untouched.data1) << text;
    }
}

TEST(ControlRegistration, WritesTheInprocServerAndProgId) {
    FakeRegistry registry;
    ASSERT_EQ(1, control::RegisterControl(registry, kTuneChooser, "C:\\ZarbelPC\\TuneChooser.ocx"));
    const std::string server = std::string(kClassKey) + "\\InprocServer32";
    EXPECT_EQ("C:\\ZarbelPC\\TuneChooser.ocx", registry.Value(kClasses, server, ""));
    EXPECT_EQ("Apartment", registry.Value(kClasses, server, "ThreadingModel"));
    EXPECT_EQ("ZarBelPC.TuneChooser",
              registry.Value(kClasses, std::string(kClassKey) + "\\ProgID", ""));
    EXPECT_EQ(kTuneChooser.clsid, registry.Value(kClasses, "ZarBelPC.TuneChooser\\CLSID", ""));
}

TEST(ControlRegistration, UnregisteringRemovesEverythingItWrote) {
    FakeRegistry registry;
    registry.WriteString(kClasses, "CLSID\\{00000000-0000-0000-0000-000000000001}", "", "other");
    const std::string before = registry.Dump();
    ASSERT_EQ(1, control::RegisterControl(registry, kTuneChooser, "C:\\ZarbelPC\\TuneChooser.ocx"));
    // The path compares without regard to case, as the file system does.
    ASSERT_EQ(1,
              control::UnregisterControl(registry, kTuneChooser, "c:\\zarbelpc\\TUNECHOOSER.OCX"));
    EXPECT_EQ(before, registry.Dump());
}

TEST(ControlRegistration, LeavesTheRegistrationOfAnotherCopy) {
    FakeRegistry registry;
    ASSERT_EQ(1, control::RegisterControl(registry, kTuneChooser, "D:\\Other\\TuneChooser.ocx"));
    const std::string before = registry.Dump();
    EXPECT_EQ(1,
              control::UnregisterControl(registry, kTuneChooser, "C:\\ZarbelPC\\TuneChooser.ocx"));
    EXPECT_EQ(before, registry.Dump());
}

TEST(ControlRegistration, KeepsAProgIdThatNamesAnotherClass) {
    FakeRegistry registry;
    ASSERT_EQ(1, control::RegisterControl(registry, kTuneChooser, "C:\\ZarbelPC\\TuneChooser.ocx"));
    registry.WriteString(kClasses, "ZarBelPC.TuneChooser\\CLSID", "",
                         "{11111111-2222-3333-4444-555555555555}");
    ASSERT_EQ(1,
              control::UnregisterControl(registry, kTuneChooser, "C:\\ZarbelPC\\TuneChooser.ocx"));
    EXPECT_FALSE(registry.HasKey(kClasses, kClassKey));
    EXPECT_EQ("{11111111-2222-3333-4444-555555555555}",
              registry.Value(kClasses, "ZarBelPC.TuneChooser\\CLSID", ""));
}

TEST(ControlRegistration, RefusesABadClassId) {
    FakeRegistry registry;
    const control::ControlClass broken = {"{not-a-class-id}", "X.Y", "broken"};
    EXPECT_EQ(0, control::RegisterControl(registry, broken, "C:\\x.ocx"));
    EXPECT_EQ(0, registry.writes);
}

}  // namespace
