// The windows of two builds' walks through the same scenario compared picture by picture: with
// ZB_E2E_COMPARE=FOLDER:REFERENCE (the driver's --shots folders), every picture of FOLDER must
// equal the one of the same name in REFERENCE, up to a text cursor (a thin upright bar).
// ZB_E2E_EXPLAINED=NAME,NAME... names pictures whose differences are expected (they are printed
// all the same): the install dialog shows each build's own Program Files folder.
#include <dirent.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "driver/Bitmap.h"
#include "runner/WineSession.h"

namespace e2e {
namespace {

std::vector<std::string> Pictures(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* entry = readdir(dir)) {
            std::string name = entry->d_name;
            if (name.size() > 4 && name.compare(name.size() - 4, 4, ".bmp") == 0) {
                names.push_back(name);
            }
        }
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(Pictures, EveryWindowLooksAsInTheReferenceBuild) {
    const char* compare = getenv("ZB_E2E_COMPARE");
    if (compare == nullptr) {
        GTEST_SKIP() << "ZB_E2E_COMPARE is not set";
    }
    std::string folders = compare;
    size_t colon = folders.find(':');
    ASSERT_NE(std::string::npos, colon) << "ZB_E2E_COMPARE=FOLDER:REFERENCE";
    std::string folder = folders.substr(0, colon);
    std::string reference = folders.substr(colon + 1);
    std::vector<std::string> names = Pictures(folder);
    if (names.empty()) {
        // The run that takes them failed or was skipped, and says so itself.
        GTEST_SKIP() << "no pictures in " << folder;
    }
    EXPECT_EQ(Pictures(reference), names) << "the same windows in " << reference;
    for (const std::string& name : names) {
        Pixels got;
        Pixels expected;
        ASSERT_TRUE(DecodeBmp24(ReadFile(folder + "/" + name), &got)) << name;
        if (!DecodeBmp24(ReadFile(reference + "/" + name), &expected)) {
            continue;  // missing there: reported above
        }
        ASSERT_EQ(expected.width, got.width) << name;
        ASSERT_EQ(expected.height, got.height) << name;
        int left = got.width, top = got.height, right = -1, bottom = -1, count = 0;
        for (int y = 0; y < got.height; ++y) {
            for (int x = 0; x < got.width; ++x) {
                size_t at = static_cast<size_t>(y) * static_cast<size_t>(got.width) +
                            static_cast<size_t>(x);
                if (got.data[at] != expected.data[at]) {
                    ++count;
                    left = std::min(left, x);
                    right = std::max(right, x);
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
            }
        }
        if (count == 0) {
            fprintf(stderr, "e2e: %s: identical (%dx%d)\n", name.c_str(), got.width, got.height);
            continue;
        }
        fprintf(stderr, "e2e: %s: %d pixels differ in x %d..%d, y %d..%d\n", name.c_str(), count,
                left, right, top, bottom);
        const char* explained = getenv("ZB_E2E_EXPLAINED");
        if (explained != nullptr &&
            ("," + std::string(explained) + ",").find("," + name + ",") != std::string::npos) {
            fprintf(stderr, "e2e: %s: an expected difference\n", name.c_str());
            continue;
        }
        // A text cursor: at most 2 pixels wide, at most 24 high.
        EXPECT_TRUE(right - left < 2 && bottom - top < 24)
            << name << ": " << count << " pixels differ beyond a text cursor, in x " << left << ".."
            << right << ", y " << top << ".." << bottom;
    }
}

}  // namespace
}  // namespace e2e
