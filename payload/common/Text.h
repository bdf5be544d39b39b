// Bounded text and path helpers shared by the payload programs. Every function takes the size
// of its output buffer and never writes past it.
#pragma once

#include <cstddef>

namespace text {

// Copies src into out. Returns 1 when all of it fits; otherwise out holds as much as fits,
// terminated, and 0 is returned.
int Copy(char* out, size_t outSize, const char* src);

// Appends src to the text in out. Returns 1 when it fits; otherwise out is left unchanged and
// 0 is returned.
int Append(char* out, size_t outSize, const char* src);

// ASCII comparison without regard to letter case, as the file system compares names.
int EqualNoCase(const char* a, const char* b);

// Whether text begins with prefix, without regard to letter case.
int StartsWithNoCase(const char* text, const char* prefix);

}  // namespace text

namespace path {

// The platform's path limit, terminator included.
constexpr size_t kPathSize = 260;

// Builds folder, one backslash and name. A folder that already ends in a backslash (a drive
// root such as "C:\") gets no second one. Returns 1 when the result fits; otherwise out is
// empty and 0 is returned.
int Join(char* out, size_t outSize, const char* folder, const char* name);

// The folder part of a file path: everything before the last backslash. A path without a
// backslash yields an empty folder. Returns 1 when it fits, 0 otherwise (out empty).
int FolderOf(char* out, size_t outSize, const char* filePath);

}  // namespace path
