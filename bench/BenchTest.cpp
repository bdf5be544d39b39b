// The benchmark's helpers: a wrong file set or a wrong median would make every figure it prints
// wrong without anyone noticing.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "bench/Corpus.h"
#include "bench/Timing.h"
#include "package/ArchiveFormat.h"
#include "platform/FileNames.h"
#include "platform/Text.h"

namespace {

using bench::CorpusFile;

std::string Upper(std::string name) {
    for (char& c : name) {
        c = text::Upper(c);
    }
    return name;
}

// Every name is one Windows stores as given, fits a record, and no two differ only in letter case.
void ExpectPackable(const std::vector<CorpusFile>& files) {
    std::set<std::string> seen;
    for (const CorpusFile& file : files) {
        EXPECT_TRUE(names::IsStoredAsGiven(file.name.c_str())) << file.name;
        EXPECT_LE(file.name.size(), archive::kMaxNameLength) << file.name;
        EXPECT_LE(file.size, archive::kMaxDataLength) << file.name;
        EXPECT_TRUE(seen.insert(Upper(file.name)).second) << file.name;
    }
}

uint32_t Largest(const std::vector<CorpusFile>& files) {
    uint32_t largest = 0;
    for (const CorpusFile& file : files) {
        largest = file.size > largest ? file.size : largest;
    }
    return largest;
}

TEST(CorpusTest, ShippedShapeHasTheShippedArchivesCountTotalsAndLargestEntry) {
    std::vector<CorpusFile> files = bench::ShippedShape();
    ASSERT_EQ(26u, files.size());
    EXPECT_EQ(10554622u, bench::ContentBytes(files));
    EXPECT_EQ(6254592u, Largest(files));
    EXPECT_EQ(10561486u, bench::ContentBytes(files) + files.size() * archive::kHeaderLength);
    size_t longestName = 0;
    for (const CorpusFile& file : files) {
        longestName = file.name.size() > longestName ? file.name.size() : longestName;
    }
    EXPECT_LE(longestName, 24u);
    ExpectPackable(files);
}

TEST(CorpusTest, ManySmallFewLargeHitsTheTotalExactlyWithinTheLimits) {
    const uint64_t totals[] = {0, 1, 511, 512, 1000, 102911, 5000000, 10000000, 200000000};
    for (uint64_t total : totals) {
        SCOPED_TRACE("total " + std::to_string(total));
        std::vector<CorpusFile> files = bench::ManySmallFewLarge(total);
        EXPECT_EQ(total, bench::ContentBytes(files));
        for (const CorpusFile& file : files) {
            EXPECT_GT(file.size, 0u) << file.name;
        }
        ExpectPackable(files);
    }
}

TEST(CorpusTest, TwoHundredMegabytesAreManySmallAndAFewLargeFiles) {
    std::vector<CorpusFile> files = bench::ManySmallFewLarge(200000000);
    unsigned large = 0;
    unsigned small = 0;
    for (const CorpusFile& file : files) {
        if (file.size >= 1000000) {
            ++large;
        } else {
            EXPECT_GE(file.size, 512u) << file.name;
            EXPECT_LT(file.size, 110000u) << file.name;
            ++small;
        }
    }
    EXPECT_EQ(10u, large);
    EXPECT_GT(small, 1000u);
    EXPECT_EQ(14000000u, Largest(files));
}

TEST(CorpusTest, ContentIsReproduciblePerSeedAndDiffersBetweenSeeds) {
    std::vector<unsigned char> a(1001);
    std::vector<unsigned char> b(1001);
    bench::FillContent(5, a.data(), a.size());
    bench::FillContent(5, b.data(), b.size());
    EXPECT_EQ(a, b);
    // A shorter fill is the start of a longer one: the size does not change the bytes.
    std::vector<unsigned char> prefix(37);
    bench::FillContent(5, prefix.data(), prefix.size());
    EXPECT_TRUE(std::equal(prefix.begin(), prefix.end(), a.begin()));
    bench::FillContent(6, b.data(), b.size());
    EXPECT_NE(a, b);
    // Not a constant or short cycle: most byte values occur.
    std::set<unsigned char> values(a.begin(), a.end());
    EXPECT_GT(values.size(), 200u);
}

TEST(TimingTest, MedianAndMinimum) {
    EXPECT_EQ(0, bench::Median({}));
    EXPECT_EQ(3, bench::Median({3}));
    EXPECT_EQ(2, bench::Median({5, 1, 2}));
    EXPECT_EQ(2.5, bench::Median({4, 1, 3, 2}));
    EXPECT_EQ(7, bench::Median({7, 100, 7, 1, 7}));
    EXPECT_EQ(0, bench::Minimum({}));
    EXPECT_EQ(1, bench::Minimum({4, 1, 3, 2}));
}

TEST(TimingTest, RoundsRotateWhoGoesFirstAndPrepareEachRun) {
    std::string order;
    auto runner = [&order](char name, double seconds) {
        bench::Runner r;
        r.prepare = [&order, name] { order += static_cast<char>(name + 32); };
        r.run = [&order, name, seconds] {
            order += name;
            return bench::Sample{seconds, seconds / 2};
        };
        return r;
    };
    std::string orderAtCheck;
    auto samples = bench::RunRotated({runner('A', 1), runner('B', 2), runner('C', 3)}, 4,
                                     [&] { orderAtCheck = order; });
    // Lower case: the untimed preparation right before each run.
    EXPECT_EQ(
        "aAbBcC"
        "bBcCaA"
        "cCaAbB"
        "aAbBcC",
        order);
    EXPECT_EQ("aAbBcC", orderAtCheck);
    ASSERT_EQ(3u, samples.size());
    for (size_t k = 0; k < 3; ++k) {
        ASSERT_EQ(4u, samples[k].size());
        EXPECT_EQ(static_cast<double>(k + 1), samples[k][3].seconds);
        EXPECT_EQ(static_cast<double>(k + 1) / 2, samples[k][3].cpuSeconds);
    }
    EXPECT_TRUE(bench::RunRotated({runner('A', 1)}, 0, nullptr)[0].empty());
}

TEST(TimingTest, RatiosArePairedByRound) {
    // Round by round the case takes half the reference's time, while the load makes both swing:
    // the paired ratio stays 2, the ratio of the medians does not.
    std::vector<bench::Sample> reference = {{10, 0}, {2, 0}, {40, 0}, {4, 0}, {6, 0}};
    std::vector<bench::Sample> cases = {{5, 0}, {1, 0}, {20, 0}, {2, 0}, {3, 0}};
    EXPECT_EQ(2, bench::MedianRatio(reference, cases));
    EXPECT_EQ(0.5, bench::MedianRatio(cases, reference));
    // Unpaired extras and pairs with a zero denominator are left out.
    cases.push_back({7, 0});
    reference[1].seconds = 0;
    EXPECT_EQ(0.5, bench::MedianRatio(cases, reference));
    EXPECT_EQ(2, bench::MedianRatio(reference, cases));
    EXPECT_EQ(0, bench::MedianRatio({}, cases));
    EXPECT_EQ((std::vector<double>{5, 1, 20, 2, 3, 7}), bench::WallSeconds(cases));
    EXPECT_EQ((std::vector<double>{0, 0, 0, 0, 0, 0}), bench::CpuSeconds(cases));
}

TEST(TimingTest, ChildStatusOutputAndFolder) {
    bench::ChildRun exited = bench::RunChild({"sh", "-c", "exit 3"}, "");
    EXPECT_EQ(3, exited.exitStatus);
    EXPECT_GT(exited.seconds, 0);

    bench::ChildRun printed = bench::RunChild({"sh", "-c", "pwd; echo two"}, "/");
    EXPECT_EQ(0, printed.exitStatus);
    EXPECT_EQ("/\ntwo\n", printed.output);

    bench::ChildRun missing = bench::RunChild({"/nonexistent/program"}, "");
    EXPECT_EQ(127, missing.exitStatus);

    bench::ChildRun killed = bench::RunChild({"sh", "-c", "kill -9 $$"}, "");
    EXPECT_EQ(-1, killed.exitStatus);
}

TEST(TimingTest, ChildProcessorTimeIsTheChildsOwn) {
    bench::ChildRun busy =
        bench::RunChild({"sh", "-c", "i=0; while [ $i -lt 100000 ]; do i=$((i+1)); done"}, "");
    bench::ChildRun sleeping = bench::RunChild({"sleep", "0.3"}, "");
    ASSERT_EQ(0, busy.exitStatus);
    ASSERT_EQ(0, sleeping.exitStatus);
    EXPECT_GT(busy.cpuSeconds, 0.05);
    EXPECT_LT(busy.cpuSeconds, busy.seconds + 0.01);
    // Waiting costs wall-clock time but no processor time.
    EXPECT_GE(sleeping.seconds, 0.3);
    EXPECT_LT(sleeping.cpuSeconds, 0.05);
}

TEST(TimingTest, PeakResidentSetFollowsTouchedMemory) {
    long before = bench::PeakResidentKb();
    ASSERT_GT(before, 0);
    // 24 MB allocated and touched raise the peak by about that much, and it stays raised after
    // the block is freed (the kernel's counters lag by a few hundred KB).
    const size_t size = 24 << 20;
    char* block = static_cast<char*>(malloc(size));
    ASSERT_NE(nullptr, block);
    memset(block, 1, size);
    long after = bench::PeakResidentKb();
    volatile char keep = block[size - 1];
    (void)keep;
    free(block);
    EXPECT_GE(after, before + 23 * 1024);
    EXPECT_GE(bench::PeakResidentKb(), before + 23 * 1024);
}

class FolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/zb_bench_test.XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(pattern));
        folder_ = pattern;
    }
    void TearDown() override {
        bench::EmptyFolder(folder_);
        rmdir(folder_.c_str());
    }
    void Write(const std::string& name, const std::string& bytes) {
        FILE* file = fopen((folder_ + "/" + name).c_str(), "wb");
        ASSERT_NE(nullptr, file);
        fwrite(bytes.data(), 1, bytes.size(), file);
        fclose(file);
    }
    std::string Path(const std::string& name) const { return folder_ + "/" + name; }
    std::string folder_;
};

TEST_F(FolderTest, SameFileContent) {
    std::string big(200000, 'x');
    Write("a", big);
    Write("b", big);
    Write("c", big + "y");
    big[150000] = 'z';
    Write("d", big);
    Write("e", "");
    Write("f", "");
    EXPECT_EQ(1, bench::SameFileContent(Path("a"), Path("b")));
    EXPECT_EQ(0, bench::SameFileContent(Path("a"), Path("c")));
    EXPECT_EQ(0, bench::SameFileContent(Path("c"), Path("a")));
    EXPECT_EQ(0, bench::SameFileContent(Path("a"), Path("d")));
    EXPECT_EQ(1, bench::SameFileContent(Path("e"), Path("f")));
    EXPECT_EQ(0, bench::SameFileContent(Path("a"), Path("missing")));
    EXPECT_EQ(0, bench::SameFileContent(Path("missing"), Path("missing")));
}

TEST_F(FolderTest, EmptyFolderRemovesEveryFileAndWriteCorpusWritesThem) {
    std::vector<CorpusFile> files = {{"ONE.BIN", 3}, {"two.txt", 70000}, {"EMPTY", 0}};
    ASSERT_EQ(1, bench::WriteCorpus(folder_, files));
    for (size_t i = 0; i < files.size(); ++i) {
        struct stat info;
        ASSERT_EQ(0, stat(Path(files[i].name).c_str(), &info));
        EXPECT_EQ(files[i].size, static_cast<uint32_t>(info.st_size));
    }
    // The second file holds the content of seed 1.
    std::vector<unsigned char> expected(70000);
    bench::FillContent(1, expected.data(), expected.size());
    Write("expected", std::string(expected.begin(), expected.end()));
    EXPECT_EQ(1, bench::SameFileContent(Path("two.txt"), Path("expected")));

    EXPECT_EQ(0, bench::WriteCorpus(folder_ + "/no/such/folder", files));
    EXPECT_EQ(1, bench::EmptyFolder(folder_));
    struct stat info;
    EXPECT_NE(0, stat(Path("ONE.BIN").c_str(), &info));
    EXPECT_NE(0, stat(Path("expected").c_str(), &info));
    EXPECT_EQ(0, bench::EmptyFolder(folder_ + "/missing"));
}

TEST_F(FolderTest, RemoveTreeRemovesFilesAndFoldersOfAnyDepth) {
    ASSERT_EQ(0, mkdir(Path("a").c_str(), 0777));
    ASSERT_EQ(0, mkdir(Path("a/b").c_str(), 0777));
    ASSERT_EQ(0, mkdir(Path("a/empty").c_str(), 0777));
    Write("a/one", "1");
    Write("a/b/two", "22");
    Write("keep", "k");
    EXPECT_EQ(1, bench::RemoveTree(Path("a")));
    struct stat info;
    EXPECT_NE(0, stat(Path("a").c_str(), &info));
    EXPECT_EQ(0, stat(Path("keep").c_str(), &info));
    // Nothing there is nothing to remove.
    EXPECT_EQ(1, bench::RemoveTree(Path("a")));
}

}  // namespace
