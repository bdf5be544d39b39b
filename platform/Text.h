// Small text helpers over fixed buffers: ASCII-only case rules (every other byte stays, accented
// letters included) and bounded copies and joins that never overflow.
#pragma once

#include <cstddef>

namespace text {

inline char Upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Upper-cases a terminated text in place, ASCII letters only.
void UpperInPlace(char* s);
// Whole-text comparison without regard to ASCII case.
bool EqualsNoCase(const char* a, const char* b);
// Copies src into dst (size bytes, terminator included). Returns 1, or 0 when it had to be cut;
// dst is terminated either way when size > 0.
int Copy(char* dst, size_t size, const char* src);
// dst = folder + "\" + name. Returns 1, or 0 (and dst empty) when the result does not fit.
int JoinPath(char* dst, size_t size, const char* folder, const char* name);

}  // namespace text
