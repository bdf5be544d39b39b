// DLLs planted beside the setup and in its current folder must never be loaded, from the start
// to the end of a whole installation. Wine prefers its built-in DLLs, so these runs ask for
// native ones first (name=n,b): then Wine searches as Windows does, and the control run shows
// that a bare load does take the decoy.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>

#include "runner/WineSession.h"

namespace e2e {
namespace {

// Names a Windows loader is known to pick up from beside a program, besides RICHED32.DLL itself.
// Left out, as Wine's own doing rather than the setup's: version.dll and imm32.dll, which Wine's
// system DLLs import before any code of the setup runs (on Windows they are known DLLs), and
// msimg32.dll, which Wine's uxtheme.dll imports when its user32 draws the first dialog; Wine
// resolves that import beside the program although the setup restricted its DLL search.
const char* const kPlantedNames[] = {"uxtheme",  "dwmapi",   "cryptbase", "winmm",
                                     "comctl32", "riched20", "propsys",   "shfolder",
                                     "userenv",  "msftedit", "oleaut32",  "sspicli"};

bool CopyFile(const std::string& from, const std::string& to) {
    std::ifstream in(from, std::ios::binary);
    std::ofstream out(to, std::ios::binary);
    out << in.rdbuf();
    return in.good() && out.good();
}

class DllPlanting : public SharedPrefixTest<DllPlanting> {
public:
    static bool Prepare(WinePrefix& prefix) {
        bool ok = prefix.Put(SetupExe(), "plant-exe") && prefix.Put(ProbeExe(), "plant-exe") &&
                  prefix.Put(DecoyDll(), "plant-exe") && prefix.Put(DecoyDll(), "plant-cwd");
        // The whole installation runs from folders of its own that hold every decoy (the probe
        // of the other tests imports some of those DLLs itself).
        ok = ok && prefix.Put(SetupExe(), "plant-all-exe") &&
             prefix.Put(DecoyDll(), "plant-all-exe") && prefix.Put(DecoyDll(), "plant-all-cwd");
        for (const char* folder : {"plant-all-exe", "plant-all-cwd"}) {
            for (const char* name : kPlantedNames) {
                ok = ok &&
                     CopyFile(DecoyDll(), prefix.DriveC(std::string(folder) + "/" + name + ".dll"));
            }
        }
        return ok;
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
        for (const char* name : kPlantedNames) {
            options_.dllOverrides += std::string(";") + name + "=n,b";
        }
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

TEST_F(DllPlanting, SetupLoadsNoPlantedDllThroughAWholeInstallation) {
    // The driver gives the program the planted folder as its current folder.
    RunResult where = prefix_->RunDriver(
        {"--cwd", "C:\\plant-cwd", "--args", "where", "C:\\plant-exe\\zbprobe.exe", "wait-exit"},
        options_);
    ASSERT_NE(nullptr, where.First("WHERE")) << where.Describe();
    EXPECT_EQ("c:\\plant-cwd", Lower(where.First("WHERE")->Get("folder")));

    // Through the dialogs and a whole installation: the license and install dialogs exist only
    // when the system's rich edit control was loaded; the document shows that it works.
    options_.folder = prefix_->DriveC("plant-all-cwd");
    RunResult run = prefix_->RunDriver(
        {"--cwd", "C:\\plant-all-cwd", "C:\\plant-all-exe\\ZarBelPC-Setup-x64.exe", kLanguageDialog,
         "click 1", "wait-gone", kLicenseDialog, "read-text 1000", "click 1", "wait-gone",
         kInstallDialog, "click 1", "wait-msgbox timeout=60000", "answer-msgbox no",
         "wait-gone timeout=60000", "answer-msgbox ok", "wait-exit 60000"},
        options_);
    EXPECT_EQ(2u, run.All("MSGBOX").size()) << run.Describe();
    EXPECT_TRUE(FileExists(prefix_->DriveC("Program Files/ZarbelPC/ZarBelPC.EXE")))
        << run.Describe();
    ASSERT_EQ(0, run.exitCode) << run.Describe();
    ASSERT_NE(nullptr, run.First("TEXT")) << run.Describe();
    EXPECT_NE(std::string::npos, run.First("TEXT")->Get("text").find("ZarBelPC"));
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
