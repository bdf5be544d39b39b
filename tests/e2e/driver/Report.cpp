#include "driver/Report.h"

#include <cstdio>

namespace e2e {
namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool IsKeyChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}

}  // namespace

std::string Escape(const std::string& bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        unsigned char byte = static_cast<unsigned char>(c);
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (byte < 0x20 || byte >= 0x7F || c == '<' || c == '>') {
                    char hex[8];
                    snprintf(hex, sizeof hex, "\\x%02X", byte);
                    out += hex;
                } else {
                    out += c;
                }
        }
    }
    return out;
}

bool Unescape(const std::string& escaped, std::string* bytes) {
    bytes->clear();
    for (size_t i = 0; i < escaped.size(); ++i) {
        char c = escaped[i];
        if (c != '\\') {
            *bytes += c;
            continue;
        }
        if (++i >= escaped.size()) {
            return false;
        }
        switch (escaped[i]) {
            case '\\':
                *bytes += '\\';
                break;
            case 'n':
                *bytes += '\n';
                break;
            case 'r':
                *bytes += '\r';
                break;
            case 't':
                *bytes += '\t';
                break;
            case 'x': {
                if (i + 2 >= escaped.size()) {
                    return false;
                }
                int high = HexDigit(escaped[i + 1]);
                int low = HexDigit(escaped[i + 2]);
                if (high < 0 || low < 0) {
                    return false;
                }
                *bytes += static_cast<char>(high * 16 + low);
                i += 2;
                break;
            }
            default:
                return false;
        }
    }
    return true;
}

ReportLine& ReportLine::Add(const char* key, const std::string& value) {
    text_ += ' ';
    text_ += key;
    text_ += "=<";
    text_ += Escape(value);
    text_ += '>';
    return *this;
}

ReportLine& ReportLine::Add(const char* key, long long value) {
    return Add(key, std::to_string(value));
}

const std::string* ParsedReport::Find(const std::string& key) const {
    for (const auto& field : fields) {
        if (field.first == key) {
            return &field.second;
        }
    }
    return nullptr;
}

std::string ParsedReport::Get(const std::string& key) const {
    const std::string* value = Find(key);
    return value != nullptr ? *value : std::string();
}

bool ParseReport(const std::string& line, ParsedReport* report) {
    *report = ParsedReport();
    std::string text = line;
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) {
        text.pop_back();
    }
    size_t i = 0;
    while (i < text.size() && text[i] >= 'A' && text[i] <= 'Z') {
        report->kind += text[i++];
    }
    if (report->kind.empty()) {
        return false;
    }
    while (i < text.size()) {
        if (text[i] != ' ') {
            return false;
        }
        ++i;
        size_t keyStart = i;
        while (i < text.size() && IsKeyChar(text[i])) {
            ++i;
        }
        if (i == keyStart || text.compare(i, 2, "=<") != 0) {
            return false;
        }
        std::string key = text.substr(keyStart, i - keyStart);
        i += 2;
        size_t close = text.find('>', i);
        if (close == std::string::npos) {
            return false;
        }
        std::string value;
        if (!Unescape(text.substr(i, close - i), &value)) {
            return false;
        }
        report->fields.emplace_back(key, value);
        i = close + 1;
    }
    return true;
}

}  // namespace e2e
