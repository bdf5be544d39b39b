#include "tools/DictionaryCheck.h"

#include <algorithm>
#include <map>

#include "package/LocalizedTexts.h"
#include "platform/IniFile.h"
#include "platform/Text.h"

namespace {

constexpr size_t kKeyChars = kStringKeySize - 2;    // 62
constexpr size_t kTextChars = kStringTextSize - 2;  // 510
// Large enough that the lint sees every value whole, to tell what the setup would cut.
constexpr unsigned kWholeValue = 1 << 16;
// A default that no dictionary text holds: it tells a missing key from an empty one.
constexpr const char* kAbsent = "\x01";

// Where each section and entry stands in the text; the values come from the INI reader itself.
struct Entry {
    int line;
    std::string name;  // upper case
};

struct Layout {
    std::map<std::string, int> sections;                // upper-case name -> first line
    std::map<std::string, std::vector<Entry>> entries;  // upper-case section -> its entries
    std::vector<int> utf8Lines;
    std::vector<DictionaryProblem> repeats;  // sections given again, keys given again
};

// A well-formed UTF-8 sequence of two to four bytes at s[i]; plain Windows-1252 text almost
// never holds one.
bool Utf8SequenceAt(const std::string& s, size_t i) {
    unsigned char lead = static_cast<unsigned char>(s[i]);
    size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                    : lead >= 0xE0 && lead <= 0xEF ? 3
                    : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                   : 0;
    if (length == 0 || i + length > s.size()) {
        return false;
    }
    for (size_t k = 1; k < length; ++k) {
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) {
            return false;
        }
    }
    return true;
}

Layout ReadLayout(const std::string& text) {
    Layout layout;
    std::string section;
    bool inSection = false;  // keys before the first header are in no section a lookup names
    std::vector<ini::Line> lines = ini::ParseLines(text);
    for (size_t i = 0; i < lines.size(); ++i) {
        const ini::Line& line = lines[i];
        int number = static_cast<int>(i) + 1;
        for (size_t k = 0; k < line.raw.size(); ++k) {
            if (Utf8SequenceAt(line.raw, k)) {
                layout.utf8Lines.push_back(number);
                break;
            }
        }
        if (line.kind == ini::Line::kSection) {
            section = text::Upper(line.name);
            auto first = layout.sections.emplace(section, number);
            // Only the first section of a name is ever read; what a repeat holds is lost.
            inSection = first.second;
            if (!inSection) {
                layout.repeats.push_back(
                    {number, "[" + section +
                                 "] is given again; the setup reads only the one at line " +
                                 std::to_string(first.first->second)});
            }
        } else if (line.kind == ini::Line::kEntry && inSection) {
            std::string name = text::Upper(line.name);
            std::vector<Entry>& entries = layout.entries[section];
            auto earlier = std::find_if(entries.begin(), entries.end(),
                                        [&name](const Entry& entry) { return entry.name == name; });
            if (earlier != entries.end()) {
                layout.repeats.push_back({number, name + " is given again in [" + section +
                                                      "]; the setup reads only line " +
                                                      std::to_string(earlier->line)});
                continue;
            }
            entries.push_back({number, name});
        }
    }
    return layout;
}

std::string Value(const std::string& text, const char* section, const std::string& key,
                  const char* defaultValue) {
    std::vector<char> out(kWholeValue);
    ini::ReadText(text, section, key.c_str(), defaultValue, out.data(), kWholeValue);
    return out.data();
}

// The first line of the section holding the entry, or 0.
int LineOf(const Layout& layout, const std::string& section, const std::string& name) {
    auto found = layout.entries.find(section);
    if (found == layout.entries.end()) {
        return 0;
    }
    for (const Entry& entry : found->second) {
        if (entry.name == name) {
            return entry.line;
        }
    }
    return 0;
}

// n when name is "K" followed by n in decimal without leading zeros, else -1.
long ListIndex(const std::string& name) {
    if (name.size() < 2 || name.size() > 10 || name[0] != 'K' ||
        (name[1] == '0' && name.size() > 2)) {
        return -1;
    }
    long n = 0;
    for (size_t i = 1; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9') {
            return -1;
        }
        n = n * 10 + (name[i] - '0');
    }
    return n;
}

std::string Quote(const std::string& s) {
    return "\"" + (s.size() > 70 ? s.substr(0, 67) + "..." : s) + "\"";
}

// The [ENUMKEYS] list as the setup reads it: K0, K1, ... up to the first value starting with '-'.
struct KeyList {
    std::vector<std::string> keys;                    // stored keys, upper case, cut to 62
    std::map<std::string, std::string> firstListing;  // key -> the entry that lists it first
    long end = kStringTableRows;                      // the row of the end marker
};

using Problems = std::vector<DictionaryProblem>;

KeyList ReadKeyList(const std::string& text, const Layout& layout, Problems& problems) {
    KeyList list;
    for (long n = 0; n < kStringTableRows; ++n) {
        std::string name = "K" + std::to_string(n);
        std::string value = Value(text, "ENUMKEYS", name, "-");
        if (value[0] == '-') {
            list.end = n;
            break;
        }
        int line = LineOf(layout, "ENUMKEYS", name);
        if (value.size() > kKeyChars) {
            problems.push_back({line, name + ": the key " + Quote(value) + " has " +
                                          std::to_string(value.size()) +
                                          " characters; the setup cuts it to 62"});
        }
        std::string key = text::Upper(value.substr(0, kKeyChars));
        if (key.empty()) {
            problems.push_back({line, name + " is empty"});
        }
        auto seen = list.firstListing.find(key);
        if (seen != list.firstListing.end()) {
            problems.push_back({line, name + ": " + key + " is listed twice (first as " +
                                          seen->second + "); the first row wins"});
        } else {
            list.firstListing.emplace(key, name);
        }
        list.keys.push_back(key);
    }
    return list;
}

// Entries of the list that the setup never reads.
void CheckUnreadEntries(const std::string& text, const Layout& layout, long end,
                        Problems& problems) {
    auto found = layout.entries.find("ENUMKEYS");
    if (found == layout.entries.end()) {
        return;
    }
    for (const Entry& entry : found->second) {
        long n = ListIndex(entry.name);
        if (n < 0) {
            problems.push_back({entry.line, entry.name +
                                                " is not a name of the list (K0 to K299, no "
                                                "leading zeros); the setup never reads it"});
        } else if (n >= kStringTableRows) {
            problems.push_back(
                {entry.line, entry.name + " is past K299; the setup never reads it"});
        } else if (n > end && Value(text, "ENUMKEYS", entry.name, "")[0] != '-') {
            // A second end marker loses nothing; a key there is never read.
            problems.push_back({entry.line, entry.name + " comes after the end of the list at K" +
                                                std::to_string(end) +
                                                "; the setup never reads it"});
        }
    }
}

void CheckSetupKeysListed(const KeyList& list, Problems& problems) {
    for (int i = 0; i < kSetupStringKeyCount; ++i) {
        if (std::find(list.keys.begin(), list.keys.end(), kSetupStringKeys[i]) == list.keys.end()) {
            problems.push_back(
                {0, std::string(kSetupStringKeys[i]) + " is not in the [ENUMKEYS] list"});
        }
    }
}

// Every listed key has a text in every language the setup can select, and the setup reads it
// whole.
void CheckLanguageTexts(const std::string& text, const Layout& layout, const KeyList& list,
                        Problems& problems) {
    for (int l = 0; l < kSetupLanguageCount; ++l) {
        const char* language = kSetupLanguages[l];
        if (layout.sections.count(language) == 0) {
            problems.push_back({0, std::string("no [") + language +
                                       "] section: every text in that language would be \"String "
                                       "Error!\""});
            continue;
        }
        for (size_t row = 0; row < list.keys.size(); ++row) {
            const std::string& key = list.keys[row];
            if (list.firstListing.at(key) != "K" + std::to_string(row)) {
                continue;  // a repeated key: reported once above
            }
            std::string value = Value(text, language, key, kAbsent);
            int listLine = LineOf(layout, "ENUMKEYS", "K" + std::to_string(row));
            int textLine = LineOf(layout, language, key);
            if (value == kAbsent) {
                problems.push_back({listLine, key + " has no text in [" + language + "]"});
            } else if (value.empty()) {
                problems.push_back({textLine, key + " has an empty text in [" + language + "]"});
            } else if (value.size() > kTextChars) {
                problems.push_back({textLine, key + " in [" + language + "] has " +
                                                  std::to_string(value.size()) +
                                                  " characters; the setup cuts it to 510"});
            }
        }
    }
}

}  // namespace

std::vector<DictionaryProblem> CheckDictionaryText(const std::string& text) {
    Layout layout = ReadLayout(text);
    Problems problems = layout.repeats;
    for (int line : layout.utf8Lines) {
        problems.push_back(
            {line, "looks like UTF-8; the setup reads the dictionary as Windows-1252"});
    }
    if (layout.sections.count("ENUMKEYS") == 0) {
        problems.push_back({0, "no [ENUMKEYS] section: the setup would load no texts at all"});
    } else {
        KeyList list = ReadKeyList(text, layout, problems);
        CheckUnreadEntries(text, layout, list.end, problems);
        CheckSetupKeysListed(list, problems);
        CheckLanguageTexts(text, layout, list, problems);
    }
    std::stable_sort(
        problems.begin(), problems.end(),
        [](const DictionaryProblem& a, const DictionaryProblem& b) { return a.line < b.line; });
    return problems;
}
