#include "bench/Timing.h"

#include <dirent.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace bench {

namespace {

double Seconds(const timeval& value) {
    return static_cast<double>(value.tv_sec) + static_cast<double>(value.tv_usec) * 1e-6;
}

}  // namespace

double NowSeconds() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double Median(std::vector<double> samples) {
    if (samples.empty()) {
        return 0;
    }
    std::sort(samples.begin(), samples.end());
    size_t middle = samples.size() / 2;
    if (samples.size() % 2 == 1) {
        return samples[middle];
    }
    return (samples[middle - 1] + samples[middle]) / 2;
}

double Minimum(const std::vector<double>& samples) {
    if (samples.empty()) {
        return 0;
    }
    return *std::min_element(samples.begin(), samples.end());
}

ChildRun RunChild(const std::vector<std::string>& argv, const std::string& workingFolder) {
    ChildRun run = {-1, 0, 0, std::string()};
    std::vector<char*> args;
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    int pipeFds[2];
    if (pipe(pipeFds) != 0) {
        return run;
    }
    double start = NowSeconds();
    pid_t child = fork();
    if (child == 0) {
        dup2(pipeFds[1], STDOUT_FILENO);
        close(pipeFds[0]);
        close(pipeFds[1]);
        if (!workingFolder.empty() && chdir(workingFolder.c_str()) != 0) {
            _exit(127);
        }
        execvp(args[0], args.data());
        _exit(127);
    }
    close(pipeFds[1]);
    if (child < 0) {
        close(pipeFds[0]);
        return run;
    }
    char block[4096];
    ssize_t got;
    while ((got = read(pipeFds[0], block, sizeof block)) > 0) {
        run.output.append(block, static_cast<size_t>(got));
    }
    close(pipeFds[0]);
    int status = 0;
    rusage usage;
    memset(&usage, 0, sizeof usage);
    pid_t reaped;
    do {
        reaped = wait4(child, &status, 0, &usage);
    } while (reaped < 0 && errno == EINTR);
    run.seconds = NowSeconds() - start;
    run.cpuSeconds = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
    run.exitStatus = (reaped == child && WIFEXITED(status)) ? WEXITSTATUS(status) : -1;
    return run;
}

double ProcessCpuSeconds() {
    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
}

std::vector<std::vector<Sample>> RunRotated(const std::vector<Runner>& runners, unsigned rounds,
                                            const std::function<void()>& afterFirstRound) {
    std::vector<std::vector<Sample>> samples(runners.size());
    for (unsigned round = 0; round < rounds; ++round) {
        for (size_t k = 0; k < runners.size(); ++k) {
            size_t which = (round + k) % runners.size();
            runners[which].prepare();
            samples[which].push_back(runners[which].run());
        }
        if (round == 0 && afterFirstRound) {
            afterFirstRound();
        }
    }
    return samples;
}

double MedianRatio(const std::vector<Sample>& numerator, const std::vector<Sample>& denominator) {
    std::vector<double> ratios;
    for (size_t i = 0; i < numerator.size() && i < denominator.size(); ++i) {
        if (denominator[i].seconds > 0) {
            ratios.push_back(numerator[i].seconds / denominator[i].seconds);
        }
    }
    return Median(ratios);
}

std::vector<double> WallSeconds(const std::vector<Sample>& samples) {
    std::vector<double> out;
    for (const Sample& sample : samples) {
        out.push_back(sample.seconds);
    }
    return out;
}

std::vector<double> CpuSeconds(const std::vector<Sample>& samples) {
    std::vector<double> out;
    for (const Sample& sample : samples) {
        out.push_back(sample.cpuSeconds);
    }
    return out;
}

long PeakResidentKb() {
    FILE* status = fopen("/proc/self/status", "r");
    if (status == nullptr) {
        return -1;
    }
    long peak = -1;
    char line[256];
    while (fgets(line, sizeof line, status) != nullptr) {
        if (sscanf(line, "VmHWM: %ld kB", &peak) == 1) {
            break;
        }
    }
    fclose(status);
    return peak;
}

int EmptyFolder(const std::string& folder) {
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) {
        return 0;
    }
    int ok = 1;
    while (dirent* entry = readdir(dir)) {
        if (strcmp(entry->d_name, ".") == 0 || strcmp(entry->d_name, "..") == 0) {
            continue;
        }
        if (unlink((folder + "/" + entry->d_name).c_str()) != 0) {
            ok = 0;
        }
    }
    closedir(dir);
    return ok;
}

int RemoveTree(const std::string& folder) {
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) {
        return errno == ENOENT ? 1 : 0;
    }
    std::vector<std::string> entries;
    while (dirent* entry = readdir(dir)) {
        if (strcmp(entry->d_name, ".") != 0 && strcmp(entry->d_name, "..") != 0) {
            entries.push_back(folder + "/" + entry->d_name);
        }
    }
    closedir(dir);
    int ok = 1;
    for (const std::string& path : entries) {
        struct stat info;
        if (lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
            ok &= RemoveTree(path);
        } else if (unlink(path.c_str()) != 0) {
            ok = 0;
        }
    }
    if (rmdir(folder.c_str()) != 0) {
        ok = 0;
    }
    return ok;
}

int SameFileContent(const std::string& a, const std::string& b) {
    FILE* fa = fopen(a.c_str(), "rb");
    FILE* fb = fopen(b.c_str(), "rb");
    int same = fa != nullptr && fb != nullptr;
    static char blockA[1 << 16];
    static char blockB[1 << 16];
    while (same) {
        size_t gotA = fread(blockA, 1, sizeof blockA, fa);
        size_t gotB = fread(blockB, 1, sizeof blockB, fb);
        if (gotA != gotB || memcmp(blockA, blockB, gotA) != 0) {
            same = 0;
        }
        if (gotA == 0) {
            break;
        }
    }
    if (fa != nullptr) {
        fclose(fa);
    }
    if (fb != nullptr) {
        fclose(fb);
    }
    return same;
}

}  // namespace bench
