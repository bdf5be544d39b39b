// An in-memory registry for the tests: keys compare without regard to case, as the real one.
#pragma once

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "payload/common/RegistryAccess.h"
#include "platform/Text.h"

class FakeRegistry : public RegistryAccess {
public:
    int ReadString(RegistryRoot root, const char* key, const char* valueName, char* out,
                   size_t outSize) override {
        out[0] = '\0';
        auto found = keys_.find(Name(root, key));
        if (found == keys_.end()) {
            return 0;
        }
        auto value = found->second.find(Lower(valueName));
        if (value == found->second.end()) {
            return 0;
        }
        text::Copy(out, outSize, value->second.c_str());
        return 1;
    }

    int WriteString(RegistryRoot root, const char* key, const char* valueName,
                    const char* data) override {
        ++writes;
        if (failWrites) {
            return 0;
        }
        std::string name = Name(root, key);
        for (size_t at = name.find('\\'); at != std::string::npos; at = name.find('\\', at + 1)) {
            keys_[name.substr(0, at)];
        }
        keys_[name][Lower(valueName)] = data;
        return 1;
    }

    // Numbers are kept as "#dword:N", which no string the tests write looks like.
    int ReadNumber(RegistryRoot root, const char* key, const char* valueName,
                   uint32_t* out) override {
        char text[64];
        if (!ReadString(root, key, valueName, text, sizeof text) ||
            strncmp(text, "#dword:", 7) != 0) {
            return 0;
        }
        *out = static_cast<uint32_t>(strtoul(text + 7, nullptr, 10));
        return 1;
    }

    int WriteNumber(RegistryRoot root, const char* key, const char* valueName,
                    uint32_t value) override {
        std::string text = "#dword:" + std::to_string(value);
        return WriteString(root, key, valueName, text.c_str());
    }

    int DeleteValue(RegistryRoot root, const char* key, const char* valueName) override {
        auto found = keys_.find(Name(root, key));
        if (found != keys_.end()) {
            found->second.erase(Lower(valueName));
        }
        return 1;
    }

    int DeleteKeyIfEmpty(RegistryRoot root, const char* key) override {
        std::string name = Name(root, key);
        auto found = keys_.find(name);
        if (found == keys_.end()) {
            return 1;
        }
        if (!found->second.empty() || HasSubKeys(name)) {
            return 0;
        }
        keys_.erase(found);
        // Parents made only on the way stay, as in the real registry.
        return 1;
    }

    // Test helpers.
    int HasKey(RegistryRoot root, const std::string& key) const {
        return keys_.count(Name(root, key.c_str())) != 0;
    }
    std::string Value(RegistryRoot root, const std::string& key, const std::string& value) {
        char out[1024];
        return ReadString(root, key.c_str(), value.c_str(), out, sizeof out) ? out : "<none>";
    }
    // Every key and value as one text, to compare whole registries.
    std::string Dump() const {
        std::string all;
        for (const auto& key : keys_) {
            all += key.first + "\n";
            for (const auto& value : key.second) {
                all += "  " + value.first + "=" + value.second + "\n";
            }
        }
        return all;
    }
    // Removes keys that hold nothing at all anywhere below, as a clean-up the tests compare to.
    void DropEmptyParents(const std::string& prefix) {
        for (bool removed = true; removed;) {
            removed = false;
            for (auto it = keys_.begin(); it != keys_.end(); ++it) {
                if (it->first.rfind(Lower(prefix.c_str()), 0) == 0 && it->second.empty() &&
                    !HasSubKeys(it->first)) {
                    keys_.erase(it);
                    removed = true;
                    break;
                }
            }
        }
    }

    int writes = 0;
    int failWrites = 0;

private:
    static std::string Lower(const char* text) {
        std::string lower(text);
        for (char& c : lower) {
            c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
        }
        return lower;
    }
    static std::string Name(RegistryRoot root, const char* key) {
        const char* rootName = root == RegistryRoot::kClassesRoot    ? "hkcr\\"
                               : root == RegistryRoot::kLocalMachine ? "hklm\\"
                                                                     : "hkcu\\";
        return rootName + Lower(key);
    }
    int HasSubKeys(const std::string& name) const {
        auto next = keys_.lower_bound(name + "\\");
        return next != keys_.end() && next->first.rfind(name + "\\", 0) == 0;
    }

    std::map<std::string, std::map<std::string, std::string>> keys_;
};
