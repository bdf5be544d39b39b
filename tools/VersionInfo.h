// The version resource as zbpack rewrites it: the block tree of VS_VERSIONINFO read whole, its
// numbers and version texts stamped, and written back as the resource compiler writes it. Every
// other string and block is kept as it was.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace version {

struct Node {
    std::u16string key;
    uint16_t type = 0;         // 1 text, 0 binary
    uint16_t valueLength = 0;  // UTF-16 units for text (with the NUL), bytes for binary
    std::string value;         // the value's bytes
    std::vector<Node> children;
};

// A version as given on the command line, "A.B[.C[.D]]", each number 0 to 65535.
struct Numbers {
    uint16_t parts[4] = {0, 0, 0, 0};
    std::string text;  // as given: the version's text in the resource
    // "A.B.C.D", the form a manifest's assemblyIdentity takes.
    std::string Dotted() const;
};

// Parses a version. False with the reason in error.
bool ParseNumbers(const std::string& text, Numbers* numbers, std::string* error);

// Reads the whole tree. False with the reason in error.
bool Parse(const uint8_t* data, size_t size, Node* root, std::string* error);

std::string Encode(const Node& root);

// Sets FILEVERSION and PRODUCTVERSION in the fixed part and the FileVersion and ProductVersion
// texts of every string table. False when the root has no fixed part.
bool Stamp(Node* root, const Numbers& numbers);

// The ProductVersion text of the first string table that has one; "" when there is none.
std::string ProductVersionText(const Node& root);

// The manifest with the version attribute of its assemblyIdentity set to dotted. False when the
// manifest has no assemblyIdentity with a version.
bool StampManifest(const std::string& manifest, const std::string& dotted, std::string* out);

}  // namespace version
