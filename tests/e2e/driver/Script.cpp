#include "driver/Script.h"

#include <cstddef>

namespace e2e {
namespace {

const char* const kButtonNames[] = {nullptr, "ok", "cancel", "abort", "retry",    "ignore",
                                    "yes",   "no", "close",  "help",  "tryagain", "continue"};
constexpr int kButtonCount = sizeof kButtonNames / sizeof kButtonNames[0];

struct Verb {
    const char* name;
    StepKind kind;
    int numbers;  // positional numbers the verb takes
};

const Verb kVerbs[] = {
    {"wait-window", StepKind::kWaitWindow, 0},
    {"wait-gone", StepKind::kWaitGone, 0},
    {"click", StepKind::kClick, 1},
    {"set-check", StepKind::kSetCheck, 1},
    {"set-text", StepKind::kSetText, 1},
    {"read-text", StepKind::kReadText, 1},
    {"read-check", StepKind::kReadCheck, 1},
    {"read-progress", StepKind::kReadProgress, 1},
    {"read-enabled", StepKind::kReadEnabled, 1},
    {"mouse-down", StepKind::kMouseDown, 2},
    {"mouse-up", StepKind::kMouseUp, 2},
    {"mouse-move", StepKind::kMouseMove, 2},
    {"wait-msgbox", StepKind::kWaitMsgBox, 0},
    {"answer-msgbox", StepKind::kAnswerMsgBox, 0},
    {"screenshot", StepKind::kScreenshot, 0},
    {"wait-exit", StepKind::kWaitExit, 0},
};

bool Fail(std::string* error, const std::string& why) {
    *error = why;
    return false;
}

bool ParseIdList(const std::string& text, std::vector<int>* ids) {
    ids->clear();
    size_t start = 0;
    while (start <= text.size()) {
        size_t comma = text.find(',', start);
        if (comma == std::string::npos) {
            comma = text.size();
        }
        int id = 0;
        if (!ParseNumber(text.substr(start, comma - start), &id)) {
            return false;
        }
        ids->push_back(id);
        start = comma + 1;
    }
    return !ids->empty();
}

// key=value options after the positional words.
bool ParseOption(const std::string& word, Step* step, std::string* error) {
    size_t equals = word.find('=');
    if (equals == std::string::npos || equals == 0) {
        return Fail(error, "unexpected word '" + word + "'");
    }
    std::string key = word.substr(0, equals);
    std::string value = word.substr(equals + 1);
    bool windowStep = step->kind == StepKind::kWaitWindow;
    bool mouseStep = step->kind == StepKind::kMouseDown || step->kind == StepKind::kMouseUp ||
                     step->kind == StepKind::kMouseMove;
    if (key == "timeout") {
        if (!ParseNumber(value, &step->timeoutMs) || step->timeoutMs < 0) {
            return Fail(error, "timeout must be a number of milliseconds");
        }
        return true;
    }
    if (windowStep && key == "class") {
        step->windowClass = value;
    } else if (windowStep && key == "title") {
        step->title = value;
    } else if (windowStep && key == "title-has") {
        step->titlePart = value;
    } else if (windowStep && key == "controls") {
        if (!ParseIdList(value, &step->controls)) {
            return Fail(error, "controls must be ids separated by commas");
        }
    } else if (mouseStep && key == "painted") {
        if (!ParseNumber(value, &step->painted) || step->painted == 0) {
            return Fail(error, "painted must be the id of a hidden button");
        }
    } else if (mouseStep && key == "anchor") {
        if (value != "left-top" && value != "right-bottom" && value != "center") {
            return Fail(error, "anchor must be left-top, right-bottom or center");
        }
        step->anchor = value;
    } else {
        return Fail(error, "unknown option '" + key + "'");
    }
    return true;
}

}  // namespace

bool ParseNumber(const std::string& word, int* value) {
    size_t i = 0;
    bool negative = false;
    if (i < word.size() && word[i] == '-') {
        negative = true;
        ++i;
    }
    int base = 10;
    if (word.size() > i + 1 && word[i] == '0' && (word[i + 1] == 'x' || word[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= word.size()) {
        return false;
    }
    long long parsed = 0;
    for (; i < word.size(); ++i) {
        char c = word[i];
        int digit = -1;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        }
        if (digit < 0) {
            return false;
        }
        parsed = parsed * base + digit;
        if (parsed > 0x7FFFFFFFLL) {
            return false;
        }
    }
    *value = static_cast<int>(negative ? -parsed : parsed);
    return true;
}

int ButtonId(const std::string& name) {
    for (int id = 1; id < kButtonCount; ++id) {
        if (name == kButtonNames[id]) {
            return id;
        }
    }
    return 0;
}

const char* ButtonName(int id) {
    return (id > 0 && id < kButtonCount) ? kButtonNames[id] : nullptr;
}

bool SplitWords(const std::string& line, std::vector<std::string>* words) {
    words->clear();
    std::string word;
    bool inWord = false;
    bool quoted = false;
    for (char c : line) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;  // "" is an empty word
        } else if (!quoted && (c == ' ' || c == '\t' || c == '\r' || c == '\n')) {
            if (inWord) {
                words->push_back(word);
                word.clear();
                inWord = false;
            }
        } else {
            word += c;
            inWord = true;
        }
    }
    if (quoted) {
        return false;
    }
    if (inWord) {
        words->push_back(word);
    }
    return true;
}

bool ParseStep(const std::string& line, Step* step, std::string* error) {
    *step = Step();
    step->source = line;
    std::vector<std::string> words;
    if (!SplitWords(line, &words)) {
        return Fail(error, "unterminated quote");
    }
    if (words.empty()) {
        return Fail(error, "empty step");
    }
    const Verb* verb = nullptr;
    for (const Verb& candidate : kVerbs) {
        if (words[0] == candidate.name) {
            verb = &candidate;
        }
    }
    if (verb == nullptr) {
        return Fail(error, "unknown step '" + words[0] + "'");
    }
    step->kind = verb->kind;
    size_t next = 1;
    int numbers[2] = {0, 0};
    for (int i = 0; i < verb->numbers; ++i, ++next) {
        if (next >= words.size() || !ParseNumber(words[next], &numbers[i])) {
            return Fail(error,
                        words[0] + " needs " + (verb->numbers == 1 ? "a control id" : "X Y"));
        }
    }
    step->id = numbers[0];
    step->x = numbers[0];
    step->y = numbers[1];

    switch (step->kind) {
        case StepKind::kSetCheck:
            if (next < words.size() && words[next].find('=') == std::string::npos) {
                if (words[next] != "0" && words[next] != "1") {
                    return Fail(error, "set-check takes the state 0 or 1");
                }
                step->state = words[next] == "1";
                ++next;
            }
            break;
        case StepKind::kSetText:
            if (next >= words.size()) {
                return Fail(error, "set-text needs a text (\"\" for none)");
            }
            step->text = words[next++];
            break;
        case StepKind::kAnswerMsgBox:
            if (next >= words.size() || (step->id = ButtonId(words[next])) == 0) {
                return Fail(error, "answer-msgbox needs a button: ok, cancel, yes, no, ...");
            }
            ++next;
            break;
        case StepKind::kScreenshot:
            if (next >= words.size() || words[next].empty()) {
                return Fail(error, "screenshot needs a file name");
            }
            step->text = words[next++];
            break;
        case StepKind::kWaitExit:
            if (next < words.size() && words[next].find('=') == std::string::npos) {
                if (!ParseNumber(words[next], &step->timeoutMs) || step->timeoutMs < 0) {
                    return Fail(error, "wait-exit takes a timeout in milliseconds");
                }
                ++next;
            }
            break;
        default:
            break;
    }
    for (; next < words.size(); ++next) {
        if (!ParseOption(words[next], step, error)) {
            return false;
        }
    }
    if (step->anchor != "left-top" && step->painted == 0) {
        return Fail(error, "anchor needs painted=ID");
    }
    return true;
}

bool ParseDriverArgs(const std::vector<std::string>& args, DriverOptions* options,
                     std::string* error) {
    *options = DriverOptions();
    size_t i = 0;
    for (; i < args.size() && args[i].compare(0, 2, "--") == 0; ++i) {
        const std::string& option = args[i];
        if (i + 1 >= args.size()) {
            return Fail(error, option + " needs a value");
        }
        const std::string& value = args[++i];
        if (option == "--timeout") {
            if (!ParseNumber(value, &options->timeoutMs) || options->timeoutMs < 0) {
                return Fail(error, "--timeout must be a number of milliseconds");
            }
        } else if (option == "--slow") {
            if (!ParseNumber(value, &options->slow) || options->slow < 1 || options->slow > 100) {
                return Fail(error, "--slow must be a factor from 1 to 100");
            }
        } else if (option == "--cwd") {
            options->currentFolder = value;
        } else if (option == "--args") {
            options->programArgs = value;
        } else if (option == "--shots") {
            options->shotsFolder = value;
        } else if (option == "--script") {
            options->scriptFile = value;
        } else if (option == "--windows") {
            if (value != "program" && value != "any") {
                return Fail(error, "--windows must be program or any");
            }
            options->anyProcess = value == "any";
        } else {
            return Fail(error, "unknown option " + option);
        }
    }
    if (i >= args.size() || args[i].empty()) {
        return Fail(error, "no program to start");
    }
    options->program = args[i++];
    options->steps.assign(args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
    return true;
}

bool ParseScript(const std::string& text, std::vector<Step>* steps, std::string* error) {
    steps->clear();
    size_t start = 0;
    int lineNumber = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string line = text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') {
            continue;
        }
        Step step;
        std::string why;
        if (!ParseStep(line.substr(first), &step, &why)) {
            return Fail(error, "line " + std::to_string(lineNumber) + ": " + why);
        }
        steps->push_back(step);
    }
    return true;
}

}  // namespace e2e
