// Clocks, medians and child processes for the benchmark: every case and its reference are timed
// the same way, in the same run.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace bench {

// Monotonic wall-clock seconds.
double NowSeconds();

// The median of the samples (the mean of the middle two for an even count); 0 for none.
double Median(std::vector<double> samples);

// The smallest sample; 0 for none.
double Minimum(const std::vector<double>& samples);

struct ChildRun {
    int exitStatus;      // the exit status, or -1 when the child did not exit normally
    double seconds;      // wall clock from before the fork to after the child was reaped
    double cpuSeconds;   // the child's user and system time
    std::string output;  // what the child wrote on stdout (stderr is passed through)
};

// This process's peak resident set (VmHWM) in KB, or -1 when it cannot be read. A child's
// ru_maxrss is no use here: it starts from the parent's resident set at the fork.
long PeakResidentKb();

// Runs argv[0] (searched on PATH) with the arguments, in workingFolder when that is not empty,
// and waits for it. A child that cannot be started exits with status 127.
ChildRun RunChild(const std::vector<std::string>& argv, const std::string& workingFolder);

// This process's user and system time so far.
double ProcessCpuSeconds();

// One timed run: wall clock and processor time.
struct Sample {
    double seconds;
    double cpuSeconds;
};

// Something to time: prepare runs untimed before each run.
struct Runner {
    std::function<void()> prepare;
    std::function<Sample()> run;
};

// Runs every runner once per round for the given number of rounds, rotating which one goes
// first (round r starts with runner r mod n), so that a drift in the machine's load weighs on
// all alike. afterFirstRound runs once, untimed, when every runner has run once. Returns the
// samples as result[runner][round].
std::vector<std::vector<Sample>> RunRotated(const std::vector<Runner>& runners, unsigned rounds,
                                            const std::function<void()>& afterFirstRound);

// The median over the rounds of numerator[i] / denominator[i] (wall clock): a ratio of two
// things timed side by side, which the load of the moment affects alike. 0 for no pairs.
double MedianRatio(const std::vector<Sample>& numerator, const std::vector<Sample>& denominator);

// The wall-clock or processor seconds of the samples.
std::vector<double> WallSeconds(const std::vector<Sample>& samples);
std::vector<double> CpuSeconds(const std::vector<Sample>& samples);

// Removes every entry of folder (files only; the benchmark makes no sub-folders).
int EmptyFolder(const std::string& folder);

// Removes folder with everything in it (files and folders of any depth). Returns 1 when nothing
// is left, 0 otherwise.
int RemoveTree(const std::string& folder);

// 1 when the two files exist and hold the same bytes.
int SameFileContent(const std::string& a, const std::string& b);

}  // namespace bench
