// A RICHED32.DLL planted beside the setup and in its current folder must never be loaded. Wine
// prefers its built-in DLLs, so these runs ask for native ones first (riched32=n,b): then Wine
// searches as Windows does, and the control run shows that a bare load does take the decoy.
#include <gtest/gtest.h>

#include <memory>

#include "runner/WineSession.h"

namespace e2e {
namespace {

class DllPlanting : public SharedPrefixTest<DllPlanting> {
  public:
    static bool Prepare(WinePrefix& prefix) {
        return prefix.Put(SetupExe(), "plant-exe") && prefix.Put(ProbeExe(), "plant-exe") &&
               prefix.Put(DecoyDll(), "plant-exe") && prefix.Put(DecoyDll(), "plant-cwd");
    }

  protected:
    void SetUp() override {
        SharedPrefixTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        for (const std::string& name : Markers()) {
            remove(prefix_->DriveC(name).c_str());
        }
        options_.folder = prefix_->DriveC("plant-cwd");
        options_.dllOverrides = "riched32=n,b";
    }
    // The markers the decoy left: planted-<folder>.txt in C:\.
    static std::vector<std::string> Markers() {
        std::vector<std::string> markers;
        for (const std::string& name : prefix_->List("")) {
            if (name.compare(0, 8, "planted-") == 0) {
                markers.push_back(name);
            }
        }
        return markers;
    }
    static std::string Lower(std::string text) {
        for (char& c : text) {
            c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
        }
        return text;
    }

    RunOptions options_;
};

TEST_F(DllPlanting, SetupLoadsNoPlantedRichEdit) {
    // The driver gives the program the planted folder as its current folder.
    RunResult where = prefix_->RunDriver(
        {"--cwd", "C:\\plant-cwd", "--args", "where", "C:\\plant-exe\\zbprobe.exe", "wait-exit"},
        options_);
    ASSERT_NE(nullptr, where.First("WHERE")) << where.Describe();
    EXPECT_EQ("c:\\plant-cwd", Lower(where.First("WHERE")->Get("folder")));

    RunResult run = prefix_->RunDriver(
        {"--cwd", "C:\\plant-cwd", "C:\\plant-exe\\ZarBelPC-Setup-x64.exe", "wait-exit 60000"},
        options_);
    ASSERT_EQ(0, run.exitCode) << run.Describe();
    ASSERT_NE(nullptr, run.First("EXIT")) << run.Describe();
    EXPECT_EQ("0", run.First("EXIT")->Get("code"));
    EXPECT_TRUE(Markers().empty()) << "loaded " << ReadFile(prefix_->DriveC(Markers()[0]));
}

TEST_F(DllPlanting, RestrictedSearchFindsTheSystemRichEditOnly) {
    for (const char* mode : {"load-restricted", "load-system"}) {
        RunResult run =
            prefix_->Run({"C:\\plant-exe\\zbprobe.exe", mode, "RICHED32.DLL"}, options_);
        const ParsedReport* load = run.First("LOAD");
        ASSERT_NE(nullptr, load) << run.Describe();
        EXPECT_EQ("1", load->Get("result")) << mode;
        EXPECT_EQ("c:\\windows\\system32\\riched32.dll", Lower(load->Get("module"))) << mode;
        EXPECT_EQ("1", load->Get("richedit")) << mode << ": the control cannot be created";
        EXPECT_TRUE(Markers().empty()) << mode;
    }
}

// The control: without the restriction a bare load from the same folder takes the decoy, so the
// checks above can fail.
TEST_F(DllPlanting, ControlBareLoadTakesTheDecoy) {
    RunResult run = prefix_->Run({"C:\\plant-exe\\zbprobe.exe", "load", "RICHED32.DLL"}, options_);
    const ParsedReport* load = run.First("LOAD");
    ASSERT_NE(nullptr, load) << run.Describe();
    EXPECT_EQ("1", load->Get("result"));
    EXPECT_EQ("c:\\plant-exe\\riched32.dll", Lower(load->Get("module")));
    EXPECT_EQ(std::vector<std::string>{"planted-plant-exe.txt"}, Markers());
    EXPECT_EQ("0", load->Get("richedit")) << "the decoy registers no control class";
}

}  // namespace
}  // namespace e2e
