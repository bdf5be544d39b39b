// The setup under Wine with an archive whose entries carry names that Windows does not store as
// given (devices, a trailing dot that names the archive itself, a character Windows refuses)
// among the product's files: each is reported and skipped, everything else is installed.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "package/ArchiveFormat.h"
#include "platform/ByteOrder.h"
#include "runner/WineSession.h"
#include "tools/PeRead.h"
#include "tools/PeWrite.h"

namespace e2e {
namespace {

const char* const kRefused[] = {"CON", "nul.txt", "RESOURCE.DAT.", "LPT1.log", "a?b"};

std::string Record(const char* name, const std::string& content) {
    unsigned char header[archive::kHeaderLength];
    archive::EncodeRecordHeader(name, static_cast<uint32_t>(content.size()), header);
    return std::string(reinterpret_cast<char*>(header), sizeof header) + content;
}

class StringSink : public pe::Sink {
public:
    bool Write(const void* data, size_t size) override {
        bytes.append(static_cast<const char*>(data), size);
        return true;
    }
    std::string bytes;
};

// The setup with an archive that zbpack refuses to make: the setup's own archive with entries
// around it whose names Windows does not store as given. RESOURCE.DAT., before the setup's
// entries, would empty the archive being read if it were written. Returns "" on failure.
std::string OddNamesSetup(const std::string& setup, std::string* why) {
    const std::string bytes = ReadFile(setup);
    const uint8_t* image = reinterpret_cast<const uint8_t*>(bytes.data());
    pe::Image parsed;
    std::vector<pe::Resource> resources;
    if (bytes.empty() || !pe::ParseImage(image, bytes.size(), &parsed, why) ||
        !pe::CheckRewritable(parsed, bytes.size(), why) ||
        !pe::ReadResources(image, bytes.size(), parsed, &resources, why)) {
        return std::string();
    }
    std::string archive;
    for (pe::Resource& resource : resources) {
        if (resource.type == pe::ResourceKey::Name("PLAINEXTRACT") &&
            resource.name == pe::ResourceKey::Name("RESOURCE.DAT")) {
            archive = Record("AAA-FIRST.TXT", "first entry") +
                      Record("CON", "not for the console") +
                      Record("nul.txt", "not for the null device") +
                      Record("RESOURCE.DAT.", "would empty the archive") +
                      std::string(reinterpret_cast<const char*>(resource.data), resource.size) +
                      Record("LPT1.log", "not for the printer") +
                      Record("a?b", "not a Windows name") + Record("ZZZ-LAST.TXT", "last entry");
            resource.data = reinterpret_cast<const uint8_t*>(archive.data());
            resource.size = static_cast<uint32_t>(archive.size());
        }
    }
    if (archive.empty()) {
        *why = "no RESOURCE.DAT in " + setup;
        return std::string();
    }
    StringSink out;
    if (!pe::WriteWithResources(
            image, parsed, resources, out,
            [&out](uint32_t offset, uint32_t value) {
                WriteUInt32LE(reinterpret_cast<uint8_t*>(&out.bytes[offset]), value);
                return true;
            },
            why)) {
        return std::string();
    }
    return out.bytes;
}

TEST(ArchiveNames, RefusedNamesAreReportedAndEveryOtherEntryIsInstalled) {
    ZB_REQUIRE_DISPLAY();
    WinePrefix prefix;
    ASSERT_TRUE(prefix.ok()) << "cannot make a Wine prefix";
    std::string why;
    std::string odd = OddNamesSetup(SetupExe(), &why);
    ASSERT_FALSE(odd.empty()) << why;
    std::string folder = prefix.DriveC("zb");
    ASSERT_EQ(0, mkdir(folder.c_str(), 0755));
    std::ofstream(folder + "/ZarBelPC-Setup-x64.exe", std::ios::binary) << odd;

    std::vector<std::string> steps = {
        "C:\\zb\\ZarBelPC-Setup-x64.exe",
        kLanguageDialog,
        "click 1",
        "wait-gone",
        kLicenseDialog,
        kPressAccept,
        kReleaseAccept,
        "wait-gone",
        kInstallDialog,
        "click 1",
    };
    for (size_t i = 0; i < sizeof kRefused / sizeof kRefused[0]; ++i) {
        steps.push_back("answer-msgbox ok timeout=60000");
    }
    for (const char* step : {"answer-msgbox no timeout=60000", "wait-gone timeout=60000",
                             "answer-msgbox ok", "wait-exit 60000"}) {
        steps.push_back(step);
    }
    RunResult run = prefix.RunDriver(steps);
    EXPECT_FALSE(run.timedOut) << run.Describe();
    EXPECT_TRUE(run.All("FAIL").empty()) << run.Describe();
    const ParsedReport* exit = run.First("EXIT");
    EXPECT_TRUE(exit != nullptr && exit->Get("code") == "0") << run.Describe();

    // One write error per refused name, in archive order, then the question and the completion.
    std::vector<ParsedReport> boxes = run.All("MSGBOX");
    ASSERT_EQ(7u, boxes.size()) << run.Describe();
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ("ERRORE DI SCRITTURA", boxes[i].Get("caption"));
        EXPECT_EQ(std::string("C:\\Program Files\\ZarbelPC\\") + kRefused[i], boxes[i].Get("text"));
        EXPECT_EQ("error", boxes[i].Get("icon"));
    }
    EXPECT_EQ("Informazione", boxes[5].Get("caption"));
    EXPECT_EQ("Installazione di ZarBelPC", boxes[6].Get("caption"));

    // The archive was read to its end: the first and last entries, and the product's files
    // between them whole; nothing of the refused names and no archive left behind.
    std::string installed = prefix.DriveC("Program Files/ZarbelPC");
    EXPECT_EQ("first entry", ReadFile(installed + "/AAA-FIRST.TXT"));
    EXPECT_EQ("last entry", ReadFile(installed + "/ZZZ-LAST.TXT"));
    std::string staged = std::string(ZB_WIN64_BUILD) + "/payload-staging/";
    for (const char* name : {"ZarBelPC.EXE", "TuneChooser.ocx", "ZARBELPC.INI", "version.dat"}) {
        std::string file = ReadFile(installed + "/" + name);
        EXPECT_FALSE(file.empty()) << name;
        EXPECT_TRUE(file == ReadFile(staged + name)) << name << " differs from the payload";
    }
    std::vector<std::string> files = prefix.List("Program Files/ZarbelPC");
    for (const char* gone :
         {"CON", "nul.txt", "RESOURCE.DAT", "RESOURCE.DAT.", "LPT1.log", "a?b"}) {
        EXPECT_EQ(files.end(), std::find(files.begin(), files.end(), gone)) << gone;
    }
    EXPECT_EQ("C:\\Program Files\\ZarbelPC",
              IniValue(prefix.DriveC("windows/ZarBelPC.INI"), "PATH", "Installpath"));
}

}  // namespace
}  // namespace e2e
