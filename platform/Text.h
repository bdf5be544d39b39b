// Text and path helpers over fixed buffers, for the setup, the tools and the payload programs
// alike. Case rules are ASCII-only: every other byte stays, accented letters included. Every
// function takes the size of its output buffer and never writes past it.
#pragma once

#include <cstddef>
#include <string>

namespace text {

inline char Upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Upper-cases a terminated text in place.
void UpperInPlace(char* s);
// An upper-cased copy.
inline std::string Upper(std::string s) {
    for (char& c : s) {
        c = Upper(c);
    }
    return s;
}
// Whole-text comparison without regard to ASCII letter case. Windows also folds accented letters
// when it compares file names: names::SameFile (platform/FileNames.h) follows it.
bool EqualNoCase(const char* a, const char* b);
// Whether text begins with prefix, without regard to letter case.
bool StartsWithNoCase(const char* text, const char* prefix);
// Copies src into dst. Returns false when it had to be cut; dst then holds as much as fits. dst
// is terminated either way when size > 0.
bool Copy(char* dst, size_t size, const char* src);
// Appends src to the text in dst. Returns false, leaving dst unchanged, when it does not fit.
bool Append(char* dst, size_t size, const char* src);

}  // namespace text

namespace path {

// The platform's path limit, terminator included.
constexpr size_t kPathSize = 260;

// dst = folder + "\" + name, the folder taken as given: one that ends in a backslash (a drive
// root such as "C:\") gives two in a row, which Windows reads as one. Returns false, leaving dst
// empty, when the result does not fit.
bool Join(char* dst, size_t size, const char* folder, const char* name);
// The folder part of a file path: everything before the last backslash; a path without one
// gives an empty folder. Returns false, leaving dst empty, when it does not fit.
bool FolderOf(char* dst, size_t size, const char* filePath);

}  // namespace path
