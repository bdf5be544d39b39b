// zb_bench: how fast the setup puts its payload on the disk, next to what the disk allows (one
// fwrite) and what a common archiver does with the same files (tar). Every case runs alternately
// with its reference in the same run; the table shows medians of the repetitions.
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "bench/Corpus.h"
#include "bench/Timing.h"
#include "package/ArchiveFormat.h"
#include "package/PayloadArchive.h"
#include "package/ResourceExtraction.h"
#include "platform/MemoryResourceStore.h"
#include "platform/NativeFileSystem.h"
#include "platform/Platform.h"
#include "platform/ProgressBar.h"
#include "tools/ConsoleMessageBoxes.h"

namespace {

using bench::ChildRun;
using bench::CorpusFile;

// The setup's own arguments: the resource is cut into 20 steps from 20, the archive into 30 from
// 40. A window that is not null makes every notification go out.
constexpr uint32_t kResourceSize = 10561486;
constexpr unsigned kResourceDivisor = 20;
constexpr int kArchiveDivisor = 30;
constexpr int kArchiveStart = 40;
WindowHandle const kWindow = reinterpret_cast<WindowHandle>(0x1005);

// What the extraction may hold over an idle process: the data buffer, plus stdio buffers and heap.
constexpr long kBufferBudgetKb = 15000000 / 1024 + 1024;

class CountingProgressBar : public ProgressBar {
public:
    void SetPosition(WindowHandle, int position) override {
        ++count;
        last = position;
    }
    unsigned count = 0;
    int last = -1;
};

// The platform the setup's extraction runs on: the native disk, a progress bar that counts,
// message boxes on stderr.
struct ExtractionPlatform {
    ExtractionPlatform() {
        platform.files = &files;
        platform.progress = &progress;
        platform.messages = &messages;
    }
    ExtractionPlatform(const ExtractionPlatform&) = delete;
    ExtractionPlatform& operator=(const ExtractionPlatform&) = delete;
    NativeFileSystem files;
    CountingProgressBar progress;
    ConsoleMessageBoxes messages{"zb_bench"};
    Platform platform;
};

// ---- the child: one extraction in a process of its own, so that its peak memory is its own ----

int RunExtractChild(const char* folder, const char* archiveName) {
    ExtractionPlatform extraction;
    double start = bench::NowSeconds();
    int result = ExtractPayloadArchive(extraction.platform, kWindow, folder, archiveName,
                                       kArchiveDivisor, kArchiveStart);
    double seconds = bench::NowSeconds() - start;
    printf("%u %.9f %ld\n", extraction.progress.count, seconds, bench::PeakResidentKb());
    return result == 1 && extraction.messages.shownCount() == 0 ? 0 : 1;
}

// ---- the parent ----

struct Options {
    std::string scratch = "build/bench-scratch";
    std::string zbpack = "zbpack";
    unsigned smallReps = 31;
    unsigned largeReps = 5;
    uint64_t largeBytes = 200000000;
    bool keep = false;
};

[[noreturn]] void Fail(const std::string& what) {
    fprintf(stderr, "zb_bench: %s\n", what.c_str());
    exit(1);
}

void MakeFolder(const std::string& path) {
    if (mkdir(path.c_str(), 0777) != 0 && errno != EEXIST) {
        Fail(path + ": " + strerror(errno));
    }
}

void Remove(const std::string& path) {
    if (unlink(path.c_str()) != 0 && errno != ENOENT) {
        Fail(path + ": " + strerror(errno));
    }
}

std::string SelfPath() {
    char path[4096];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) {
        Fail("cannot find its own executable");
    }
    path[length] = '\0';
    return path;
}

using bench::Runner;
using bench::Sample;

// One row of the table: a case and its reference, timed side by side.
struct Row {
    std::string caseName;
    std::string referenceName;
    uint64_t bytes;
    std::vector<Sample> caseSamples;
    std::vector<Sample> referenceSamples;
    double target;  // the least ratio reference time / case time that meets the target
    // Reference time / case time in each round, the median of the rounds: above 1 the case is
    // faster.
    double Ratio() const { return bench::MedianRatio(referenceSamples, caseSamples); }
};

Sample TimeChild(const ChildRun& run) {
    return Sample{run.seconds, run.cpuSeconds};
}

void Settle() {
    // Dirty pages of the previous run must not be written back during the next one.
    sync();
}

double MBps(uint64_t bytes, double seconds) {
    return seconds > 0 ? static_cast<double>(bytes) / seconds / 1e6 : 0;
}

// ---- resource extraction against one fwrite ----

// The setup's ExtractResourceToFile of the resource in store to target, with its progress.
Runner ResourceExtractionRunner(Platform& platform, CountingProgressBar& progress,
                                const std::string& folder, const std::string& target) {
    Runner extract;
    extract.prepare = [target] {
        Remove(target);
        Settle();
    };
    extract.run = [&platform, &progress, folder] {
        progress.count = 0;
        double cpu = bench::ProcessCpuSeconds();
        double start = bench::NowSeconds();
        int result = ExtractResourceToFile(platform, (folder + "\\" + kArchiveResourceName).c_str(),
                                           kPlainExtractType, kArchiveResourceName, kWindow,
                                           kResourceDivisor, 20);
        Sample sample{bench::NowSeconds() - start, bench::ProcessCpuSeconds() - cpu};
        if (result != 1 || progress.count != 21 || progress.last != 40) {
            Fail("ExtractResourceToFile failed or sent the wrong positions");
        }
        return sample;
    };
    return extract;
}

// The same bytes written to reference with one fwrite.
Runner FwriteRunner(const std::vector<unsigned char>& bytes, const std::string& reference) {
    Runner fwriteOnce;
    fwriteOnce.prepare = [reference] {
        Remove(reference);
        Settle();
    };
    fwriteOnce.run = [&bytes, reference] {
        double cpu = bench::ProcessCpuSeconds();
        double start = bench::NowSeconds();
        FILE* file = fopen(reference.c_str(), "wb");
        size_t written = file != nullptr ? fwrite(bytes.data(), 1, bytes.size(), file) : 0;
        int closed = file != nullptr ? fclose(file) : EOF;
        Sample sample{bench::NowSeconds() - start, bench::ProcessCpuSeconds() - cpu};
        if (written != bytes.size() || closed != 0) {
            Fail(reference + ": cannot be written");
        }
        return sample;
    };
    return fwriteOnce;
}

Row BenchResource(const Options& options, const std::string& folder) {
    std::vector<unsigned char> bytes(kResourceSize);
    bench::FillContent(777, bytes.data(), bytes.size());
    MemoryResourceStore store;
    store.Add(kPlainExtractType, kArchiveResourceName, bytes);

    ExtractionPlatform extraction;
    extraction.platform.resources = &store;

    const std::string target = folder + "/" + kArchiveResourceName;
    const std::string reference = folder + "/REFERENCE.DAT";
    Row row{"ExtractResourceToFile 10,561,486 B /20", "one fwrite", kResourceSize, {}, {}, 0.9};
    auto check = [&] {
        if (!bench::SameFileContent(target, reference)) {
            Fail("the extracted resource differs from the reference file");
        }
    };
    // A resource run is short: twice as many rounds as an archive run.
    auto samples = bench::RunRotated(
        {ResourceExtractionRunner(extraction.platform, extraction.progress, folder, target),
         FwriteRunner(bytes, reference)},
        options.smallReps * 2 - 1, check);
    row.caseSamples = samples[0];
    row.referenceSamples = samples[1];
    return row;
}

// ---- the archive: extraction and creation against tar ----

struct Shape {
    std::string id;
    std::string label;
    std::vector<CorpusFile> files;
    std::string source;   // the files themselves
    std::string archive;  // zbpack's archive of them
    std::string tarball;  // tar's archive of them
    unsigned reps;
    long peakKb = 0;         // the extracting process's peak resident set, the most of all runs
    std::string lastOut;     // the folder of the latest extraction
    std::string lastTarOut;  // the folder of the latest tar -xf
};

std::vector<std::string> Names(const std::vector<CorpusFile>& files) {
    std::vector<std::string> names;
    for (const CorpusFile& file : files) {
        names.push_back(file.name);
    }
    return names;
}

std::vector<std::string> Concat(std::vector<std::string> head,
                                const std::vector<std::string>& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

off_t FileSize(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 ? info.st_size : -1;
}

void PrepareShape(const Options& options, Shape* shape) {
    MakeFolder(shape->source);
    bench::EmptyFolder(shape->source);
    if (!bench::WriteCorpus(shape->source, shape->files)) {
        Fail("cannot write the files of " + shape->label);
    }
    std::vector<std::string> names = Names(shape->files);
    Remove(shape->archive);
    Remove(shape->tarball);
    ChildRun pack = bench::RunChild(
        Concat({options.zbpack, "archive", "create", shape->archive}, names), shape->source);
    ChildRun tar = bench::RunChild(Concat({"tar", "-cf", shape->tarball}, names), shape->source);
    if (pack.exitStatus != 0 || tar.exitStatus != 0) {
        Fail("cannot pack the files of " + shape->label);
    }
    uint64_t expected = bench::ContentBytes(shape->files) +
                        static_cast<uint64_t>(shape->files.size()) * archive::kHeaderLength;
    if (FileSize(shape->archive) != static_cast<off_t>(expected)) {
        Fail(shape->archive + " does not have the length of its records");
    }
}

void CheckExtracted(const Shape& shape, const std::string& folder, const char* who) {
    for (const CorpusFile& file : shape.files) {
        if (!bench::SameFileContent(shape.source + "/" + file.name, folder + "/" + file.name)) {
            Fail(std::string(who) + " did not write " + file.name + " as it was packed");
        }
    }
}

// The setup's extraction of shape in a process of its own (so that its peak memory is its own),
// with a fresh link to the archive in an empty folder, and tar -xf into another empty folder.
struct ExtractionRunners {
    Runner extract;
    Runner tar;
};

// Every run extracts into a new empty folder, and the folders are removed only at the end: ext4
// without a journal (this machine's disk) skips inodes deleted in the last minutes when it
// allocates one, so emptying a folder of thousands of files before each run would make every
// file creation of the next run slower, and more so the more files came before it.
std::string RunsFolder(const Options& options) {
    return options.scratch + "/runs-" + std::to_string(getpid());
}

// Asks the file system to spread the folders made in folder over its block groups (ext4's
// "top of a directory hierarchy" flag, chattr +T): each run's folder then lands away from the
// inodes that earlier runs deleted. Returns 0 where the file system does not support it.
int SpreadSubfolders(const std::string& folder) {
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) {
        return 0;
    }
    int flags = 0;
    int ok = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (ok) {
        flags |= FS_TOPDIR_FL;
        ok = ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    close(fd);
    return ok;
}

// The time of the last clean-up is kept beside the scratch folder. ext4 without a journal skips
// an inode deleted less than 60 s ago when it allocates one, or less than 360 s ago while that
// inode's table block is dirty, which the next file created near it makes it: a run that starts
// within six minutes of a clean-up creates its files more slowly, the more so the more it made.
constexpr int kDeletedInodesAgeSeconds = 361;

std::string CleanupMarker(const Options& options) {
    return options.scratch + ".cleaned";
}

void WaitForDeletedInodesToAge(const Options& options) {
    struct stat info;
    if (stat(CleanupMarker(options).c_str(), &info) != 0) {
        return;
    }
    time_t age = time(nullptr) - info.st_mtime;
    if (age >= 0 && age < kDeletedInodesAgeSeconds) {
        int wait = static_cast<int>(kDeletedInodesAgeSeconds - age);
        printf("(waiting %d s for the files that the last run removed to age out)\n", wait);
        fflush(stdout);
        sleep(static_cast<unsigned>(wait));
    }
}

void MarkCleanup(const Options& options) {
    sync();
    FILE* marker = fopen(CleanupMarker(options).c_str(), "w");
    if (marker != nullptr) {
        fclose(marker);
    }
}

std::string FreshFolder(const Options& options, const char* who, const Shape& shape) {
    static unsigned count = 0;
    std::string folder =
        RunsFolder(options) + "/" + who + "-" + shape.id + "-" + std::to_string(++count);
    MakeFolder(folder);
    return folder;
}

ExtractionRunners MakeExtractionRunners(const Options& options, Shape* shape,
                                        const std::string& self) {
    ExtractionRunners runners;
    runners.extract.prepare = [&options, shape] {
        shape->lastOut = FreshFolder(options, "zb", *shape);
        // The extraction deletes the archive it has read: it gets a link of its own each time.
        if (link(shape->archive.c_str(), (shape->lastOut + "/" + kArchiveResourceName).c_str()) !=
            0) {
            Fail(shape->lastOut + ": cannot link the archive: " + strerror(errno));
        }
        Settle();
    };
    runners.extract.run = [shape, self] {
        ChildRun run =
            bench::RunChild({self, "--extract", shape->lastOut, kArchiveResourceName}, "");
        unsigned notifications = 0;
        double inside = 0;
        long peakKb = 0;
        if (run.exitStatus != 0 ||
            sscanf(run.output.c_str(), "%u %lf %ld", &notifications, &inside, &peakKb) != 3 ||
            notifications != shape->files.size()) {
            Fail("ExtractPayloadArchive failed on " + shape->label);
        }
        shape->peakKb = peakKb > shape->peakKb ? peakKb : shape->peakKb;
        return TimeChild(run);
    };
    runners.tar.prepare = [&options, shape] {
        shape->lastTarOut = FreshFolder(options, "tar", *shape);
        Settle();
    };
    runners.tar.run = [shape] {
        ChildRun run = bench::RunChild({"tar", "-xf", shape->tarball, "-C", shape->lastTarOut}, "");
        if (run.exitStatus != 0) {
            Fail("tar -xf failed on " + shape->label);
        }
        return TimeChild(run);
    };
    return runners;
}

// After a first round: both wrote every file as it was packed, and the archive is gone.
void CheckExtractions(const Shape& shape) {
    CheckExtracted(shape, shape.lastOut, "ExtractPayloadArchive");
    CheckExtracted(shape, shape.lastTarOut, "tar");
    if (FileSize(shape.lastOut + "/" + kArchiveResourceName) >= 0) {
        Fail("ExtractPayloadArchive left the archive behind");
    }
}

Row ExtractionRow(const Shape& shape) {
    return Row{"ExtractPayloadArchive " + shape.label,
               "tar -xf",
               bench::ContentBytes(shape.files),
               {},
               {},
               1.0};
}

Row BenchCreation(const Options& options, const Shape& shape) {
    const std::string created = options.scratch + "/created.dat";
    const std::string createdTar = options.scratch + "/created.tar";
    std::vector<std::string> names = Names(shape.files);
    Row row{"zbpack archive create " + shape.label,
            "tar -cf",
            bench::ContentBytes(shape.files),
            {},
            {},
            1.0};
    Runner pack;
    pack.prepare = [&] {
        Remove(created);
        Settle();
    };
    pack.run = [&] {
        ChildRun run = bench::RunChild(
            Concat({options.zbpack, "archive", "create", created}, names), shape.source);
        if (run.exitStatus != 0) {
            Fail("zbpack archive create failed on " + shape.label);
        }
        return TimeChild(run);
    };
    Runner tar;
    tar.prepare = [&] {
        Remove(createdTar);
        Settle();
    };
    tar.run = [&] {
        ChildRun run = bench::RunChild(Concat({"tar", "-cf", createdTar}, names), shape.source);
        if (run.exitStatus != 0) {
            Fail("tar -cf failed on " + shape.label);
        }
        return TimeChild(run);
    };
    auto check = [&] {
        if (!bench::SameFileContent(created, shape.archive)) {
            Fail("zbpack wrote a different archive the second time");
        }
    };
    auto samples = bench::RunRotated({pack, tar}, shape.reps, check);
    row.caseSamples = samples[0];
    row.referenceSamples = samples[1];
    Remove(created);
    Remove(createdTar);
    return row;
}

// ---- the report ----

const char* Verdict(bool met) {
    return met ? "met" : "MISSED";
}

void PrintWallRow(const Row& row) {
    std::vector<double> caseSeconds = bench::WallSeconds(row.caseSamples);
    std::vector<double> referenceSeconds = bench::WallSeconds(row.referenceSamples);
    double caseMedian = bench::Median(caseSeconds);
    double referenceMedian = bench::Median(referenceSeconds);
    double ratio = row.Ratio();
    printf("%-40s %3zu %9.1f %9.1f %6.0f | %-10s %9.1f %9.1f %6.0f | %5.2f  >= %.2f %s\n",
           row.caseName.c_str(), caseSeconds.size(), caseMedian * 1e3,
           bench::Minimum(caseSeconds) * 1e3, MBps(row.bytes, caseMedian),
           row.referenceName.c_str(), referenceMedian * 1e3, bench::Minimum(referenceSeconds) * 1e3,
           MBps(row.bytes, referenceMedian), ratio, row.target, Verdict(ratio >= row.target));
}

void PrintCpuRow(const Row& row) {
    double caseMedian = bench::Median(bench::CpuSeconds(row.caseSamples));
    double referenceMedian = bench::Median(bench::CpuSeconds(row.referenceSamples));
    printf("%-40s %9.1f | %-10s %9.1f | %5.2f\n", row.caseName.c_str(), caseMedian * 1e3,
           row.referenceName.c_str(), referenceMedian * 1e3,
           caseMedian > 0 ? referenceMedian / caseMedian : 0);
}

uint32_t Largest(const std::vector<CorpusFile>& files) {
    uint32_t largest = 0;
    for (const CorpusFile& file : files) {
        largest = file.size > largest ? file.size : largest;
    }
    return largest;
}

void PrintUsage() {
    fputs(
        "usage: zb_bench [--zbpack PATH] [--scratch DIR] [--reps N] [--large-reps N]\n"
        "                [--large-mb N] [--keep]\n"
        "Times ExtractResourceToFile against one fwrite, ExtractPayloadArchive against tar -xf\n"
        "and zbpack archive create against tar -cf, side by side in one run, and prints the\n"
        "medians, the throughput and the ratio reference time / case time. N: rounds of the\n"
        "shipped-shape cases (default 31; the resource gets 2N-1), of the large ones (default\n"
        "5). The large file set holds N MB (default 200). DIR (default\n"
        "build/bench-scratch) must lie on the disk to measure; it is emptied at the end unless\n"
        "--keep is given.\n",
        stdout);
}

int ParseCount(const char* text) {
    char* end = nullptr;
    long value = strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < 1 || value > 100000) {
        Fail(std::string("not a count: ") + text);
    }
    return static_cast<int>(value);
}

Options ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == "--help" || arg == "-h") {
            PrintUsage();
            exit(0);
        } else if (arg == "--keep") {
            options.keep = true;
        } else if (arg == "--zbpack" && hasValue) {
            options.zbpack = argv[++i];
        } else if (arg == "--scratch" && hasValue) {
            options.scratch = argv[++i];
        } else if (arg == "--reps" && hasValue) {
            options.smallReps = ParseCount(argv[++i]);
        } else if (arg == "--large-reps" && hasValue) {
            options.largeReps = ParseCount(argv[++i]);
        } else if (arg == "--large-mb" && hasValue) {
            options.largeBytes = static_cast<uint64_t>(ParseCount(argv[++i])) * 1000000;
        } else {
            PrintUsage();
            exit(2);
        }
    }
    return options;
}

// The modes in which the program is its own child. True when argv asks for one; *status is
// then its exit status.
bool RunChildMode(int argc, char** argv, int* status) {
    if (argc == 4 && strcmp(argv[1], "--extract") == 0) {
        *status = RunExtractChild(argv[2], argv[3]);
        return true;
    }
    if (argc == 4 && strcmp(argv[1], "--write-files") == 0) {
        // Files for a large payload: many small and a few large, ARGV[3] bytes in all.
        char* end = nullptr;
        unsigned long long bytes = strtoull(argv[3], &end, 10);
        if (end == argv[3] || *end != '\0') {
            Fail(std::string("not a byte count: ") + argv[3]);
        }
        *status = bench::WriteCorpus(argv[2], bench::ManySmallFewLarge(bytes)) ? 0 : 1;
        return true;
    }
    if (argc == 2 && strcmp(argv[1], "--idle") == 0) {
        printf("0 0 %ld\n", bench::PeakResidentKb());
        *status = 0;
        return true;
    }
    return false;
}

Shape MakeShape(const Options& options, const std::string& id, const std::string& label,
                std::vector<CorpusFile> files, unsigned reps) {
    return Shape{id,
                 label,
                 std::move(files),
                 options.scratch + "/src-" + id,
                 options.scratch + "/" + id + ".dat",
                 options.scratch + "/" + id + ".tar",
                 reps};
}

void PrintIntro(const Options& options, const Shape& shipped, const Shape& large) {
    printf(
        "zb_bench: files in %s (one disk); OS cache not dropped, sync before each run;\n"
        "each case runs side by side with its reference, rotating which goes first\n",
        options.scratch.c_str());
    printf("shipped shape: %zu files, %" PRIu64 " content bytes; %s: %zu files, %" PRIu64
           " content bytes\n\n",
           shipped.files.size(), bench::ContentBytes(shipped.files), large.label.c_str(),
           large.files.size(), bench::ContentBytes(large.files));
    fflush(stdout);
}

// How the extraction time grows from the shipped shape to the large one, side by side.
struct Growth {
    double extraction;
    double tar;
};

// The extraction of both shapes against tar -xf: a row each, and the growth.
Growth BenchExtractions(const Options& options, const std::string& self, Shape* shipped,
                        Shape* large, std::vector<Row>* rows) {
    ExtractionRunners shippedRunners = MakeExtractionRunners(options, shipped, self);
    ExtractionRunners largeRunners = MakeExtractionRunners(options, large, self);
    Row shippedRow = ExtractionRow(*shipped);
    auto samples = bench::RunRotated({shippedRunners.extract, shippedRunners.tar}, shipped->reps,
                                     [&] { CheckExtractions(*shipped); });
    shippedRow.caseSamples = samples[0];
    shippedRow.referenceSamples = samples[1];
    rows->push_back(shippedRow);
    // The large archive with the shipped shape in the same rounds: the growth of the time with
    // the content is a ratio of runs side by side.
    Row largeRow = ExtractionRow(*large);
    samples = bench::RunRotated(
        {largeRunners.extract, largeRunners.tar, shippedRunners.extract, shippedRunners.tar},
        large->reps, [&] { CheckExtractions(*large); });
    largeRow.caseSamples = samples[0];
    largeRow.referenceSamples = samples[1];
    rows->push_back(largeRow);
    return Growth{bench::MedianRatio(samples[0], samples[2]),
                  bench::MedianRatio(samples[1], samples[3])};
}

// An idle child of the same program: what the process holds before it extracts anything.
long IdleKb(const std::string& self) {
    long idleKb = 0;
    ChildRun idle = bench::RunChild({self, "--idle"}, "");
    if (idle.exitStatus != 0 || sscanf(idle.output.c_str(), "%*u %*f %ld", &idleKb) != 1) {
        Fail("the idle child did not report its memory");
    }
    return idleKb;
}

void PrintTables(const std::vector<Row>& rows) {
    printf("wall clock; ratio = median over the rounds of reference time / case time\n");
    printf("%-40s %3s %9s %9s %6s | %-10s %9s %9s %6s | %5s  %s\n", "case", "n", "median ms",
           "min ms", "MB/s", "reference", "median ms", "min ms", "MB/s", "ratio", "target");
    for (const Row& row : rows) {
        PrintWallRow(row);
    }
    printf("\nprocessor time (user + system), medians\n");
    printf("%-40s %9s | %-10s %9s | %5s\n", "case", "ms", "reference", "ms", "ratio");
    for (const Row& row : rows) {
        PrintCpuRow(row);
    }
}

void PrintGrowthAndMemory(const Shape& shipped, const Shape& large, const Growth& growth,
                          long idleKb) {
    printf(
        "\nextraction time %s / shipped shape (side by side): ExtractPayloadArchive %.1f, "
        "tar -xf %.1f; content %.1f times, files %.1f times  <= 25 %s\n",
        large.label.c_str(), growth.extraction, growth.tar,
        static_cast<double>(bench::ContentBytes(large.files)) /
            static_cast<double>(bench::ContentBytes(shipped.files)),
        static_cast<double>(large.files.size()) / static_cast<double>(shipped.files.size()),
        Verdict(growth.extraction <= 25));
    for (const Shape* shape : {&shipped, &large}) {
        long extraKb = shape->peakKb - idleKb;
        printf(
            "peak resident memory, extraction of %-13s %6ld KB = idle %ld KB + %ld KB "
            "(largest entry %" PRIu32 " KB)  <= idle + %ld KB %s\n",
            shape->label.c_str(), shape->peakKb, idleKb, extraKb, Largest(shape->files) / 1024,
            kBufferBudgetKb, Verdict(extraKb <= kBufferBudgetKb));
    }
}

void CleanUp(const Options& options, const Shape& shipped, const Shape& large,
             const std::string& resourceFolder) {
    for (const std::string& folder :
         {shipped.source, large.source, resourceFolder, RunsFolder(options)}) {
        bench::RemoveTree(folder);
    }
    for (const Shape* shape : {&shipped, &large}) {
        Remove(shape->archive);
        Remove(shape->tarball);
    }
    rmdir(options.scratch.c_str());
    MarkCleanup(options);
}

}  // namespace

int main(int argc, char** argv) {
    int childStatus = 0;
    if (RunChildMode(argc, argv, &childStatus)) {
        return childStatus;
    }
    Options options = ParseOptions(argc, argv);
    WaitForDeletedInodesToAge(options);
    MakeFolder(options.scratch);
    const std::string self = SelfPath();
    // The reader's path buffer holds 255 characters: the scratch folder must leave room.
    if (options.scratch.size() > 200) {
        Fail("the scratch folder's path is too long for the setup's path buffers");
    }
    char largeLabel[64];
    snprintf(largeLabel, sizeof largeLabel, "%" PRIu64 " MB", options.largeBytes / 1000000);
    Shape shipped =
        MakeShape(options, "shipped", "shipped shape", bench::ShippedShape(), options.smallReps);
    Shape large = MakeShape(options, "large", largeLabel,
                            bench::ManySmallFewLarge(options.largeBytes), options.largeReps);
    PrintIntro(options, shipped, large);

    const std::string resourceFolder = options.scratch + "/resource";
    MakeFolder(resourceFolder);
    MakeFolder(RunsFolder(options));
    if (!SpreadSubfolders(RunsFolder(options))) {
        printf(
            "(the file system keeps the run folders together: runs soon after a run that\n"
            " deleted many files may create files more slowly)\n");
    }
    std::vector<Row> rows;
    rows.push_back(BenchResource(options, resourceFolder));
    PrepareShape(options, &shipped);
    PrepareShape(options, &large);
    Growth growth = BenchExtractions(options, self, &shipped, &large, &rows);
    rows.push_back(BenchCreation(options, shipped));
    rows.push_back(BenchCreation(options, large));
    long idleKb = IdleKb(self);

    PrintTables(rows);
    PrintGrowthAndMemory(shipped, large, growth, idleKb);
    if (!options.keep) {
        CleanUp(options, shipped, large, resourceFolder);
    }
    return 0;
}
