// What the test driver prints: one observation a line, "KIND key=<value> key=<value> ...".
// Values are escaped so that every line is printable ASCII whatever bytes the program showed
// (Windows-1252 texts, line feeds): the runner parses the lines back into the exact bytes.
//
// Kinds the driver prints: START program pid; WINDOW class title x y width height; GONE title;
// CLICK id control; CHECK id state; SET-TEXT id text; TEXT id text; PROGRESS id pos;
// MOUSE action x y; MSGBOX caption text icon (error, question, warning, information, none or
// unknown) buttons [answer]; SCREENSHOT file width height; EXIT code; DONE steps; and on failure
// FAIL [step source] reason, OPEN class title for each window still open, TERMINATED pid.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace e2e {

// Backslash becomes "\\", line feed "\n", carriage return "\r", tab "\t"; '<', '>' and every
// byte outside printable ASCII become "\xHH" (upper-case hex).
std::string Escape(const std::string& bytes);
// The inverse of Escape. Returns false for a malformed escape.
bool Unescape(const std::string& escaped, std::string* bytes);

// Builds one report line.
class ReportLine {
public:
    explicit ReportLine(const char* kind) : text_(kind) {}
    ReportLine& Add(const char* key, const std::string& value);
    ReportLine& Add(const char* key, long long value);
    const std::string& Text() const { return text_; }

private:
    std::string text_;
};

struct ParsedReport {
    std::string kind;
    std::vector<std::pair<std::string, std::string>> fields;  // unescaped values
    // The value of a key, or nullptr when the line has none.
    const std::string* Find(const std::string& key) const;
    // The value or "" (for assertions that compare texts).
    std::string Get(const std::string& key) const;
};

// Parses one line printed by ReportLine. Returns false when it is not of that form.
bool ParseReport(const std::string& line, ParsedReport* report);

}  // namespace e2e
