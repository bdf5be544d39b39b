// Paths are composed the Windows way ("%s\%s"). On Windows they are used as they are; a native
// build turns the backslashes into its own separator so that the same logic runs in tests and
// tools.
#pragma once

#include <cstddef>

// Copies path into out (size bytes, terminator included). Returns 1, or 0 when it does not fit.
int ToNativePath(const char* path, char* out, size_t size);

// The separator that ends a folder in this build's paths.
#ifdef _WIN32
constexpr char kNativeSeparator = '\\';
#else
constexpr char kNativeSeparator = '/';
#endif
