// Windows Installer's two rules for the runtime libraries: which copy stays, and the count.
#include <gtest/gtest.h>

#include "install/SystemFiles.h"

namespace install {
namespace {

constexpr uint64_t kMfc6030 = 0x0007000A178E0000ull;  // 7.10.6030.0
constexpr uint64_t kMfc3077 = 0x0007000A0C050000ull;  // 7.10.3077.0

TEST(SystemFilesTest, AVersionedCopyIsNeverReplacedByAnOlderOrUnversionedOne) {
    struct Row {
        FileVersion existing;
        FileVersion ours;
        bool keep;
    };
    const Row rows[] = {
        {{false, 0}, {false, 0}, false},                 // neither versioned: ours, as ever
        {{false, 0}, {true, kMfc3077}, false},           // ours is versioned
        {{true, kMfc6030}, {false, 0}, true},            // the other product's, ours unversioned
        {{true, kMfc6030}, {true, kMfc3077}, true},      // newer than ours
        {{true, kMfc3077}, {true, kMfc6030}, false},     // older than ours
        {{true, kMfc6030}, {true, kMfc6030}, false},     // the same version
        {{true, kMfc6030 + 1}, {true, kMfc6030}, true},  // newer in the last part only
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.keep, KeepExistingFile(row.existing, row.ours))
            << row.existing.present << " " << row.existing.value << " " << row.ours.present << " "
            << row.ours.value;
    }
}

TEST(SystemFilesTest, ACountStartsAtOneForAFileAlreadyThere) {
    struct Row {
        bool existed;
        bool hasCount;
        uint32_t count;
        uint32_t next;
    };
    const Row rows[] = {
        {false, false, 0, 1},  // a new file
        {true, false, 0, 2},   // there already, uncounted: its owner is one user
        {true, true, 3, 4},    // counted by others
        {false, true, 2, 3},   // a count whose file has gone: the count stands
        {true, true, 0, 2},    // a used-up count on a file that is there
        {true, true, 0xFFFFFFFFu, 0xFFFFFFFFu},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.next, NextSharedCount(row.existed, row.hasCount, row.count))
            << row.existed << " " << row.hasCount << " " << row.count;
    }
}

}  // namespace
}  // namespace install
