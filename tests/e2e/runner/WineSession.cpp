#include "runner/WineSession.h"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/IniFile.h"

namespace e2e {
namespace {

const std::string kWineEnv = std::string(ZB_SOURCE_DIR) + "/scripts/wine-env";
const std::string kWin64Build = ZB_WIN64_BUILD;
const std::string kWine32 = std::string(ZB_SOURCE_DIR) + "/scripts/wine32";

double Now() {
    timespec now = {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// Runs a shell snippet that sees scripts/wine-env; returns its stdout (trailing line feed cut).
bool Shell(const std::string& snippet, std::string* output) {
    std::string command = "bash -c " + Quote(". \"$0\" && " + snippet) + " " + Quote(kWineEnv);
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return false;
    }
    std::string text;
    char buffer[512];
    size_t got = 0;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        text.append(buffer, got);
    }
    int status = pclose(pipe);
    while (!text.empty() && text.back() == '\n') {
        text.pop_back();
    }
    if (output != nullptr) {
        *output = text;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// How a shell snippet calls a Wine program: the system's, or the one in the 32-bit Wine's root.
std::string WineCall(const std::string& program) {
    if (CurrentTarget().arch == "i686") {
        return Quote(kWine32) + " exec " + program;
    }
    return program;
}

// A private X server for a run without DISPLAY, started once and ended with the tests.
class DisplayEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        // The i686 target needs the 32-bit Wine: where it cannot run, every scenario skips.
        if (CurrentTarget().arch == "i686" &&
            system((Quote(kWine32) + " check >/dev/null 2>&1").c_str()) != 0) {
            missing_ = "no 32-bit Wine: 32-bit programs cannot run here (scripts/wine32 check)";
            return;
        }
        const char* display = getenv("DISPLAY");
        if (display != nullptr && display[0] != '\0') {
            return;
        }
        std::string xvfb;
        const char* path = getenv("PATH");
        std::istringstream folders(path != nullptr ? path : "/usr/bin");
        std::string folder;
        while (xvfb.empty() && std::getline(folders, folder, ':')) {
            std::string candidate = folder + "/Xvfb";
            if (!folder.empty() && access(candidate.c_str(), X_OK) == 0) {
                xvfb = candidate;
            }
        }
        if (xvfb.empty()) {
            missing_ = "no X display: DISPLAY is not set and Xvfb is not installed";
            return;
        }
        // A display number of our own in 50..90, starting at one that depends on the process.
        int first = static_cast<int>(getpid() % 41);
        for (int tries = 0; tries < 41; ++tries) {
            int displayNumber = 50 + (first + tries) % 41;
            std::string lock = "/tmp/.X" + std::to_string(displayNumber) + "-lock";
            std::string socket = "/tmp/.X11-unix/X" + std::to_string(displayNumber);
            if (access(lock.c_str(), F_OK) == 0 || access(socket.c_str(), F_OK) == 0) {
                continue;
            }
            std::string name = ":" + std::to_string(displayNumber);
            pid_t pid = fork();
            if (pid == 0) {
                int null = open("/dev/null", O_RDWR);
                dup2(null, 1);
                dup2(null, 2);
                execl(xvfb.c_str(), "Xvfb", name.c_str(), "-screen", "0", "1024x768x24",
                      "-nolisten", "tcp", static_cast<char*>(nullptr));
                _exit(127);
            }
            // Ready when its socket appears; gone when it lost the race for the number.
            double deadline = Now() + 10;
            while (Now() < deadline && access(socket.c_str(), F_OK) != 0 &&
                   waitpid(pid, nullptr, WNOHANG) == 0) {
                usleep(20000);
            }
            if (access(socket.c_str(), F_OK) == 0 && waitpid(pid, nullptr, WNOHANG) == 0) {
                xvfb_ = pid;
                setenv("DISPLAY", name.c_str(), 1);
                fprintf(stderr, "e2e: started Xvfb on %s\n", name.c_str());
                return;
            }
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
        missing_ = "no X display: DISPLAY is not set and Xvfb did not start";
    }
    void TearDown() override {
        if (xvfb_ > 0) {
            kill(xvfb_, SIGTERM);
            waitpid(xvfb_, nullptr, 0);
        }
    }
    const std::string& missing() const { return missing_; }

private:
    pid_t xvfb_ = 0;
    std::string missing_;
};

DisplayEnvironment* const gDisplay =
    static_cast<DisplayEnvironment*>(::testing::AddGlobalTestEnvironment(new DisplayEnvironment));

void ReadAvailable(int fd, std::string* into) {
    char buffer[4096];
    for (;;) {
        ssize_t got = read(fd, buffer, sizeof buffer);
        if (got <= 0) {
            return;
        }
        into->append(buffer, static_cast<size_t>(got));
    }
}

}  // namespace

std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

const Target& CurrentTarget() {
    static const Target target = [] {
        const char* arch = getenv("ZB_E2E_ARCH");
        if (arch != nullptr && std::string(arch) == "i686") {
            // About a minute of emulation for every 32-bit process start, more on a busy
            // machine: the installation registers six controls, one process each, before it
            // asks about the desktop icon.
            return Target{"i686",
                          ZB_WIN32_BUILD,
                          "ZarBelPC-Setup.exe",
                          "C:\\Program Files (x86)",
                          "Program Files (x86)",
                          "/reg:32",
                          40};
        }
        return Target{"x86_64",
                      ZB_WIN64_BUILD,
                      "ZarBelPC-Setup-x64.exe",
                      "C:\\Program Files",
                      "Program Files",
                      "",
                      1};
    }();
    return target;
}

std::string SetupExe() {
    return CurrentTarget().build + "/" + CurrentTarget().setupName;
}
std::string DriverExe() {
    return kWin64Build + "/e2e/zbdriver.exe";
}
std::string ProbeExe() {
    return kWin64Build + "/e2e/zbprobe.exe";
}
std::string DecoyDll() {
    return kWin64Build + "/e2e/RICHED32.DLL";
}

bool HaveDisplay(std::string* why) {
    *why = gDisplay->missing();
    return why->empty();
}

std::vector<ParsedReport> RunResult::All(const std::string& kind) const {
    std::vector<ParsedReport> found;
    for (const ParsedReport& report : reports) {
        if (report.kind == kind) {
            found.push_back(report);
        }
    }
    return found;
}

const ParsedReport* RunResult::First(const std::string& kind) const {
    for (const ParsedReport& report : reports) {
        if (report.kind == kind) {
            return &report;
        }
    }
    return nullptr;
}

std::string RunResult::Describe() const {
    std::ostringstream text;
    text << "exit code " << exitCode << (timedOut ? " (timed out)" : "") << "\n--- stdout\n"
         << output << "--- stderr\n"
         << errors;
    return text.str();
}

WinePrefix::WinePrefix() {
    std::string made;
    std::string command = CurrentTarget().arch == "i686" ? Quote(kWine32) + " fresh-prefix"
                                                         : std::string("zb_wine_fresh_prefix");
    if (Shell(command, &made) && !made.empty() && made[0] == '/') {
        path_ = made;
    }
}

WinePrefix::~WinePrefix() {
    if (path_.empty()) {
        return;
    }
    std::string server = WineCall("\"$WINESERVER\"");
    Shell("export WINEPREFIX=" + Quote(path_) + "; " + server + " -k 2>/dev/null; " + server +
              " -w 2>/dev/null; true",
          nullptr);
    // A program that was still starting when the server ended starts a new one: whatever still
    // runs in this prefix ends here.
    std::string own = "WINEPREFIX=" + path_;
    if (DIR* proc = opendir("/proc")) {
        while (dirent* entry = readdir(proc)) {
            pid_t pid = static_cast<pid_t>(atoi(entry->d_name));
            std::string environment =
                pid > 0 ? ReadFile("/proc/" + std::string(entry->d_name) + "/environ") : "";
            size_t at = environment.find(own);
            if (at != std::string::npos && (at == 0 || environment[at - 1] == '\0') &&
                (at + own.size() == environment.size() || environment[at + own.size()] == '\0')) {
                kill(pid, SIGKILL);
            }
        }
        closedir(proc);
    }
    Shell("rm -rf " + Quote(path_), nullptr);
}

std::string WinePrefix::DriveC(const std::string& relative) const {
    return path_ + "/drive_c/" + relative;
}

bool WinePrefix::Put(const std::string& file, const std::string& folder) const {
    std::string target = DriveC(folder);
    return Shell("mkdir -p " + Quote(target) + " && cp " + Quote(file) + " " + Quote(target) + "/",
                 nullptr);
}

std::vector<std::string> WinePrefix::List(const std::string& folder) const {
    std::vector<std::string> names;
    DIR* dir = opendir(DriveC(folder).c_str());
    if (dir == nullptr) {
        return names;
    }
    while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name != "." && name != "..") {
            names.push_back(name);
        }
    }
    closedir(dir);
    return names;
}

RunResult WinePrefix::Run(const std::vector<std::string>& args, const RunOptions& options) const {
    RunResult result;
    int out[2];
    int err[2];
    if (path_.empty() || pipe(out) != 0) {
        return result;
    }
    if (pipe(err) != 0) {
        close(out[0]);
        close(out[1]);
        return result;
    }
    std::string folder = options.folder.empty() ? DriveC("") : options.folder;
    pid_t pid = fork();
    if (pid == 0) {
        setpgid(0, 0);
        dup2(out[1], 1);
        dup2(err[1], 2);
        close(out[0]);
        close(out[1]);
        close(err[0]);
        close(err[1]);
        if (chdir(folder.c_str()) != 0) {
            _exit(126);
        }
        setenv("WINEPREFIX", path_.c_str(), 1);
        // Wine takes the ANSI code page from the locale: Windows-1252, whoever runs the tests.
        setenv("LC_ALL", "C.UTF-8", 1);
        setenv("ZB_EXTRA_DLLOVERRIDES", options.dllOverrides.c_str(), 1);
        std::string call = ". \"$0\" && exec " + WineCall("\"$WINE64\"") + " \"$@\"";
        std::vector<const char*> argv = {"bash", "-c", call.c_str(), kWineEnv.c_str()};
        for (const std::string& arg : args) {
            argv.push_back(arg.c_str());
        }
        argv.push_back(nullptr);
        execv("/bin/bash", const_cast<char* const*>(argv.data()));
        _exit(127);
    }
    close(out[1]);
    close(err[1]);
    if (pid < 0) {
        close(out[0]);
        close(err[0]);
        return result;
    }
    // Wine's own processes may keep the pipes open after the program ends: read what is there
    // and stop when the program has ended, not at end of file.
    fcntl(out[0], F_SETFL, O_NONBLOCK);
    fcntl(err[0], F_SETFL, O_NONBLOCK);
    double deadline = Now() + options.timeoutSeconds * CurrentTarget().slow;
    int status = 0;
    for (;;) {
        pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
        poll(fds, 2, 50);
        ReadAvailable(out[0], &result.output);
        ReadAvailable(err[0], &result.errors);
        pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            break;
        }
        if (Now() > deadline) {
            result.timedOut = true;
            kill(-pid, SIGKILL);
            waitpid(pid, &status, 0);
            Shell("export WINEPREFIX=" + Quote(path_) + "; " + WineCall("\"$WINESERVER\"") +
                      " -k 2>/dev/null; true",
                  nullptr);
            break;
        }
    }
    ReadAvailable(out[0], &result.output);
    ReadAvailable(err[0], &result.errors);
    close(out[0]);
    close(err[0]);
    if (!result.timedOut && WIFEXITED(status)) {
        result.exitCode = WEXITSTATUS(status);
    }
    std::istringstream lines(result.output);
    std::string line;
    while (std::getline(lines, line)) {
        ParsedReport report;
        if (ParseReport(line, &report)) {
            result.reports.push_back(report);
        }
    }
    return result;
}

RunResult WinePrefix::RunDriver(const std::vector<std::string>& args,
                                const RunOptions& options) const {
    std::vector<std::string> all = {DriverExe()};
    if (CurrentTarget().slow > 1) {
        all.push_back("--slow");
        all.push_back(std::to_string(CurrentTarget().slow));
    }
    all.insert(all.end(), args.begin(), args.end());
    return Run(all, options);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool FileExists(const std::string& path) {
    return access(path.c_str(), F_OK) == 0;
}

std::string IniValue(const std::string& path, const char* section, const char* key) {
    char value[512];
    ini::Read(path.c_str(), section, key, "<missing>", value, sizeof value);
    return value;
}

}  // namespace e2e
