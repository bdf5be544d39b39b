// The native side of the end-to-end tests: a fresh Wine prefix per scenario, Windows programs run
// in it with a timeout, and the test driver's report lines parsed back.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/Report.h"

namespace e2e {

// The build whose setup the scenarios run. By default the x86_64 one under the system's wine64;
// with ZB_E2E_ARCH=i686 in the environment the shipping i686 one, under 32-bit Wine in the root
// of scripts/wine32 (emulated, so every wait may take `slow` times longer). Both run the x86_64
// driver and tools.
struct Target {
    std::string arch;              // "x86_64" or "i686"
    std::string build;             // its mingw build folder: setup, payload staging, DICT.DIC
    std::string setupName;         // the setup's file name
    std::string programFiles;      // where it installs: the Program Files of its own width
    std::string programFilesUnix;  // the same under drive C: "Program Files (x86)"
    std::string regView;           // the reg.exe option for its registry view ("" : the native one)
    int slow = 1;
};
const Target& CurrentTarget();

// Paths of the outputs that the scenarios run: the target's setup, the mingw64 build's driver,
// probe and decoy.
std::string SetupExe();
std::string DriverExe();
std::string ProbeExe();
std::string DecoyDll();

// Driver steps shared by the scenarios: each dialog found by the controls only it has, and a
// press and release in the middle of a painted license button.
inline constexpr const char* kLanguageDialog = "wait-window class=#32770 controls=1006,1007,1";
inline constexpr const char* kLicenseDialog = "wait-window class=#32770 controls=1000,1,2";
inline constexpr const char* kInstallDialog = "wait-window class=#32770 controls=1003,1005,1,2,3";
inline constexpr const char* kPressAccept = "mouse-down 0 0 painted=1 anchor=center";
inline constexpr const char* kReleaseAccept = "mouse-up 0 0 painted=1 anchor=center";

// True when windows can be shown: DISPLAY is set, or a private Xvfb was started for the tests;
// for the i686 target, also when 32-bit programs can run. Otherwise false and *why says what is
// missing.
bool HaveDisplay(std::string* why);

// Skips the test (with the reason) when no X display can be had.
#define ZB_REQUIRE_DISPLAY()                \
    do {                                    \
        std::string whyNot;                 \
        if (!::e2e::HaveDisplay(&whyNot)) { \
            GTEST_SKIP() << whyNot;         \
        }                                   \
    } while (0)

struct RunResult {
    int exitCode = -1;  // of wine64, which is that of the Windows program
    bool timedOut = false;
    std::string output;  // stdout
    std::string errors;  // stderr
    std::vector<ParsedReport> reports;

    std::vector<ParsedReport> All(const std::string& kind) const;
    // The first report of a kind, or nullptr.
    const ParsedReport* First(const std::string& kind) const;
    // Everything the run printed, for failure messages.
    std::string Describe() const;
};

struct RunOptions {
    std::string folder;        // unix current folder ("" : the prefix's drive C)
    std::string dllOverrides;  // added to WINEDLLOVERRIDES, e.g. "riched32=n,b"
    int timeoutSeconds = 120;
};

class WinePrefix {
public:
    // Copies a fresh prefix from the template (made on first use).
    WinePrefix();
    // Ends the prefix's wineserver and deletes the prefix.
    ~WinePrefix();
    WinePrefix(const WinePrefix&) = delete;
    WinePrefix& operator=(const WinePrefix&) = delete;

    bool ok() const { return !path_.empty(); }
    const std::string& path() const { return path_; }
    // The unix path of a file under drive C, given as "windows/ZarBelPC.INI".
    std::string DriveC(const std::string& relative) const;
    // Copies a file into a folder of drive C (made when missing). Returns false on failure.
    bool Put(const std::string& file, const std::string& folder) const;
    // Names of the files directly in a folder of drive C.
    std::vector<std::string> List(const std::string& folder) const;

    // wine64 with the arguments (inside the 32-bit Wine's root for the i686 target). The timeout
    // is the target's `slow` times the one given.
    RunResult Run(const std::vector<std::string>& args, const RunOptions& options = {}) const;
    // wine64 zbdriver.exe with the arguments.
    RunResult RunDriver(const std::vector<std::string>& args, const RunOptions& options = {}) const;

private:
    std::string path_;
};

// A suite whose tests share one prefix, made once and filled by Suite::Prepare(WinePrefix&).
// Its tests are skipped without a display and fail when the prefix cannot be prepared.
template <class Suite>
class SharedPrefixTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::string why;
        if (!HaveDisplay(&why)) {
            return;  // every test skips
        }
        prefix_ = new WinePrefix;
        ready_ = prefix_->ok() && Suite::Prepare(*prefix_);
    }
    static void TearDownTestSuite() {
        delete prefix_;
        prefix_ = nullptr;
    }
    void SetUp() override {
        std::string why;
        if (!HaveDisplay(&why)) {
            GTEST_SKIP() << why;
        }
        ASSERT_TRUE(ready_) << "cannot prepare the suite's Wine prefix";
    }
    static inline WinePrefix* prefix_ = nullptr;
    static inline bool ready_ = false;
};

// The text in single quotes for the shell, any quote in it escaped.
std::string Quote(const std::string& text);
// Whole-file read; "" when the file is missing.
std::string ReadFile(const std::string& path);
bool FileExists(const std::string& path);
// One value of an INI file, with the project's own reader; "<missing>" when not there.
std::string IniValue(const std::string& path, const char* section, const char* key);

}  // namespace e2e
