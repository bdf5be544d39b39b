#include "tools/VersionInfo.h"

#include "package/VersionResource.h"
#include "platform/ByteOrder.h"

namespace version {

namespace {

constexpr int kMaxDepth = 8;

const unsigned char* Bytes(const uint8_t* data) {
    return reinterpret_cast<const unsigned char*>(data);
}

bool ParseNode(const uint8_t* data, uint32_t limit, uint32_t at, int depth, Node* node,
               std::string* error) {
    Block block;
    if (depth > kMaxDepth || !ReadBlock(Bytes(data), limit, at, &block)) {
        *error = "the version resource is damaged";
        return false;
    }
    node->key.clear();
    for (uint32_t i = 0; i < block.keyUnits; ++i) {
        node->key.push_back(static_cast<char16_t>(ReadUInt16LE(data + block.keyAt + 2 * i)));
    }
    node->type = block.type;
    node->valueLength = block.valueLength;
    node->value.assign(reinterpret_cast<const char*>(data) + block.valueAt, block.valueSize);
    node->children.clear();
    for (uint32_t child = block.childrenAt; child < block.end;) {
        node->children.emplace_back();
        if (!ParseNode(data, block.end, child, depth + 1, &node->children.back(), error)) {
            return false;
        }
        child = (child + ReadUInt16LE(data + child) + 3) & ~3u;
    }
    return true;
}

void Pad4(std::string* out) {
    while (out->size() % 4 != 0) {
        out->push_back('\0');
    }
}

void EncodeNode(const Node& node, std::string* out) {
    size_t start = out->size();
    out->append(6, '\0');
    for (char16_t c : node.key) {
        out->push_back(static_cast<char>(c & 0xFF));
        out->push_back(static_cast<char>(c >> 8));
    }
    out->append(2, '\0');
    Pad4(out);
    out->append(node.value);
    for (const Node& child : node.children) {
        Pad4(out);
        EncodeNode(child, out);
    }
    unsigned char* header = reinterpret_cast<unsigned char*>(&(*out)[start]);
    WriteUInt16LE(header, static_cast<uint16_t>(out->size() - start));
    WriteUInt16LE(header + 2, node.valueLength);
    WriteUInt16LE(header + 4, node.type);
}

bool KeyEquals(const std::u16string& key, const char* ascii) {
    return key == std::u16string(ascii, ascii + std::char_traits<char>::length(ascii));
}

void SetText(Node* node, const std::string& text) {
    node->value.clear();
    for (char c : text) {
        node->value.push_back(c);
        node->value.push_back('\0');
    }
    node->value.append(2, '\0');
    node->valueLength = static_cast<uint16_t>(text.size() + 1);
    node->type = 1;
}

}  // namespace

std::string Numbers::Dotted() const {
    return std::to_string(parts[0]) + "." + std::to_string(parts[1]) + "." +
           std::to_string(parts[2]) + "." + std::to_string(parts[3]);
}

bool ParseNumbers(const std::string& text, Numbers* numbers, std::string* error) {
    Numbers result;
    result.text = text;
    int count = 0;
    size_t at = 0;
    while (true) {
        size_t end = text.find('.', at);
        std::string part = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
        if (part.empty() || part.size() > 5 ||
            part.find_first_not_of("0123456789") != std::string::npos) {
            *error = "'" + text + "' is not a version: two to four numbers joined by dots";
            return false;
        }
        if (part.size() > 1 && part[0] == '0') {
            *error = "'" + text + "': the number " + part + " starts with a zero";
            return false;
        }
        unsigned long value = std::stoul(part);
        if (value > 65535) {
            *error = "'" + text + "': " + part + " is over 65535";
            return false;
        }
        if (count == 4) {
            *error = "'" + text + "' has more than four numbers";
            return false;
        }
        result.parts[count++] = static_cast<uint16_t>(value);
        if (end == std::string::npos) {
            break;
        }
        at = end + 1;
    }
    if (count < 2) {
        *error = "'" + text + "' has one number; a version has two to four";
        return false;
    }
    *numbers = result;
    return true;
}

bool Parse(const uint8_t* data, size_t size, Node* root, std::string* error) {
    if (size > 0xFFFF) {
        *error = "the version resource is larger than a block can be";
        return false;
    }
    return ParseNode(data, static_cast<uint32_t>(size), 0, 0, root, error);
}

std::string Encode(const Node& root) {
    std::string out;
    EncodeNode(root, &out);
    return out;
}

bool Stamp(Node* root, const Numbers& numbers) {
    if (root->value.size() < kFixedInfoSize || ReadUInt32LE(reinterpret_cast<const unsigned char*>(
                                                   root->value.data())) != kFixedInfoSignature) {
        return false;
    }
    unsigned char* fixed = reinterpret_cast<unsigned char*>(&root->value[0]);
    uint32_t high = static_cast<uint32_t>(numbers.parts[0]) << 16 | numbers.parts[1];
    uint32_t low = static_cast<uint32_t>(numbers.parts[2]) << 16 | numbers.parts[3];
    for (uint32_t offset : {kFileVersionOffset, kProductVersionOffset}) {
        WriteUInt32LE(fixed + offset, high);
        WriteUInt32LE(fixed + offset + 4, low);
    }
    for (Node& info : root->children) {
        if (!KeyEquals(info.key, "StringFileInfo")) {
            continue;
        }
        for (Node& table : info.children) {
            for (Node& entry : table.children) {
                if (KeyEquals(entry.key, "FileVersion") || KeyEquals(entry.key, "ProductVersion")) {
                    SetText(&entry, numbers.text);
                }
            }
        }
    }
    return true;
}

std::string ProductVersionText(const Node& root) {
    for (const Node& info : root.children) {
        if (!KeyEquals(info.key, "StringFileInfo")) {
            continue;
        }
        for (const Node& table : info.children) {
            for (const Node& entry : table.children) {
                if (KeyEquals(entry.key, "ProductVersion")) {
                    std::string text;
                    for (size_t i = 0; i + 1 < entry.value.size(); i += 2) {
                        unsigned char low = static_cast<unsigned char>(entry.value[i]);
                        unsigned char high = static_cast<unsigned char>(entry.value[i + 1]);
                        if (low == 0 && high == 0) {
                            break;
                        }
                        text.push_back(high == 0 ? static_cast<char>(low) : '?');
                    }
                    return text;
                }
            }
        }
    }
    return "";
}

bool StampManifest(const std::string& manifest, const std::string& dotted, std::string* out) {
    size_t element = manifest.find("<assemblyIdentity");
    size_t close = element == std::string::npos ? element : manifest.find('>', element);
    if (close == std::string::npos) {
        return false;
    }
    // The attribute, not a "manifestVersion" or "processorArchitecture" around it.
    for (size_t at = manifest.find("version=\"", element); at != std::string::npos && at < close;
         at = manifest.find("version=\"", at + 1)) {
        char before = manifest[at - 1];
        if (before != ' ' && before != '\t' && before != '\r' && before != '\n') {
            continue;
        }
        size_t value = at + 9;
        size_t end = manifest.find('"', value);
        if (end == std::string::npos || end > close) {
            return false;
        }
        *out = manifest.substr(0, value) + dotted + manifest.substr(end);
        return true;
    }
    return false;
}

}  // namespace version
