// The step language of the end-to-end test driver: one step a line in a script file, or one step
// an argument. Portable, so that parsing is tested natively.
//
//   wait-window [class=C] [title=T] [title-has=T] [controls=ID,ID,...] [timeout=MS]
//   wait-gone [timeout=MS]             the current window is closed or hidden
//   click ID                           posts WM_COMMAND/BN_CLICKED to the current window
//   set-check ID [0|1]                 clicks a check box or radio button until it has the state
//   set-text ID TEXT                   replaces the text of a control (an edit field)
//   read-text ID | read-check ID | read-progress ID | read-enabled ID
//   mouse-down X Y | mouse-up X Y | mouse-move X Y    client coordinates of the current window
//       [painted=ID] [anchor=left-top|right-bottom|center]
//                                      with painted=ID, X and Y are offsets from that corner
//                                      (or the middle) of the rectangle the license dialog
//                                      paints for its hidden button ID
//   wait-msgbox [timeout=MS]           waits until a message box is up, without answering it
//                                      (reports BOXUP with its caption)
//   answer-msgbox BUTTON [timeout=MS]  ok, cancel, yes, no, abort, retry or ignore
//   screenshot FILE                    a 24-bit BMP of the current window
//   wait-exit [MS]                     waits for the program to end and reports its exit code
//
// Every wait polls for its condition (25 ms apart) until its timeout. A message box that no
// answer-msgbox step waits for fails the wait at once, and so does the program's end. A script
// ends with wait-exit: a program still running after the last step is a failure and is ended.
//
// Words are separated by blanks; "double quotes" keep blanks inside a word (also after "key=").
// Backslashes are literal, so Windows paths need no escaping. '#' starts a comment line.
#pragma once

#include <string>
#include <vector>

namespace e2e {

enum class StepKind {
    kWaitWindow,
    kWaitGone,
    kClick,
    kSetCheck,
    kSetText,
    kReadText,
    kReadCheck,
    kReadProgress,
    kReadEnabled,
    kMouseDown,
    kMouseUp,
    kMouseMove,
    kWaitMsgBox,
    kAnswerMsgBox,
    kScreenshot,
    kWaitExit,
};

struct Step {
    StepKind kind = StepKind::kWaitExit;
    std::string source;  // the step as written, for reports
    // wait-window: every criterion given must hold; none given matches any window.
    std::string windowClass;
    std::string title;
    std::string titlePart;
    std::vector<int> controls;
    int id = 0;  // control id, or the button id of answer-msgbox
    int x = 0;
    int y = 0;
    int painted = 0;  // mouse steps: the hidden button whose painted rectangle X Y are in
    std::string anchor = "left-top";
    int state = 1;       // set-check
    std::string text;    // set-text's text, screenshot's file
    int timeoutMs = -1;  // -1: the driver's default
};

// Splits a line into words: blanks separate, double quotes group (and are dropped).
// Returns false for an unterminated quote.
bool SplitWords(const std::string& line, std::vector<std::string>* words);

// Parses one step. On failure returns false and says why in *error.
bool ParseStep(const std::string& line, Step* step, std::string* error);

// Parses a script text: one step a line, blank lines and '#' comments skipped, CRLF or LF.
// On failure *error names the line ("line 3: ...").
bool ParseScript(const std::string& text, std::vector<Step>* steps, std::string* error);

// Decimal or 0x hexadecimal, with an optional minus sign; the whole word must be a number.
bool ParseNumber(const std::string& word, int* value);

// The driver's command line: options, the program to start, then steps (one an argument).
//   zbdriver.exe [--timeout MS] [--slow N] [--cwd DIR] [--args TEXT] [--shots DIR]
//                [--script FILE] [--windows program|any] PROGRAM [STEP ...]
// --timeout: default per-step timeout; --slow: every wait may take N times longer (a program
// run under emulation); --cwd: the program's current folder; --args: its command line after its
// name; --shots: save a screenshot of every window a step finds there; --windows any: the steps
// look at the windows of every process, not only the program's (for a program that starts
// another and waits for it).
struct DriverOptions {
    int timeoutMs = 10000;
    int slow = 1;
    std::string currentFolder;
    std::string programArgs;
    std::string shotsFolder;
    std::string scriptFile;
    bool anyProcess = false;
    std::string program;
    std::vector<std::string> steps;
};

// Parses the arguments after the driver's own name. On failure returns false with *error.
bool ParseDriverArgs(const std::vector<std::string>& args, DriverOptions* options,
                     std::string* error);

// Message box buttons by name ("yes" -> 6); 0 for an unknown name. ButtonName(6) -> "yes",
// nullptr for an id that is no message box button.
int ButtonId(const std::string& name);
const char* ButtonName(int id);

}  // namespace e2e
