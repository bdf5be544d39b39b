// Quiet platform doubles and scratch folders for the fuzz targets: no GoogleTest, no output, and a
// way to see every file a run left behind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/MessageBoxes.h"
#include "platform/ProgressBar.h"

// Stops the run with a message on stderr: libFuzzer keeps the input that got here.
[[noreturn]] void FuzzFail(const char* what, const std::string& detail = std::string());
#define FUZZ_CHECK(condition, detail) \
    ((condition) ? (void)0 : FuzzFail("check failed: " #condition, (detail)))

class CountingMessageBoxes : public MessageBoxes {
public:
    int Show(WindowHandle owner, const char* text, const char* caption, unsigned type) override;
    int count = 0;
    std::string lastText;
};

class IgnoredProgressBar : public ProgressBar {
public:
    void SetPosition(WindowHandle, int position) override { last = position; }
    int last = -1;
};

// A folder made once per process under TMPDIR (or /tmp): jail/ holds work/, the folder a target
// may write into. Everything else appearing in jail/ is a write outside that folder.
struct FuzzJail {
    std::string jail;  // native paths
    std::string work;
};
const FuzzJail& Jail();
// The names in a native folder, sorted; "." and ".." left out. Sub-folders end with '/'.
std::vector<std::string> ListFolder(const std::string& folder);
// Removes every file in the work folder (the targets never create sub-folders there).
void ClearWorkFolder();
// Fails the run when jail/ holds anything but work/ or work/ holds a sub-folder.
void CheckNothingOutsideWork();

// Splits fuzz input into fields at a separator byte; the last field takes the rest.
std::vector<std::string> SplitFields(const uint8_t* data, size_t size, char separator,
                                     size_t fields);
