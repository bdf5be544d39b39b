// The full name of a TrueType font from its own 'name' table: the name Windows lists the font
// under ("<full name> (TrueType)" in the registry's font list). The bytes come from a file
// anyone could have replaced, so every offset and length is checked before it is used.
#pragma once

#include <cstddef>
#include <cstdint>

namespace font {

// The longest full name kept; a longer one is refused rather than cut, so that the registry
// never lists the font under a name it does not have.
constexpr size_t kFullNameSize = 128;

// Writes the font's full name (name id 4) in Windows-1252 to out: the Windows record in US
// English if there is one, else any Windows Unicode record, else the Macintosh Roman one.
// Returns 1, or 0 with out empty when the bytes are not a TrueType font with such a name, the
// name holds characters outside Latin-1 or control characters, or it does not fit outSize.
int FullName(const uint8_t* data, size_t size, char* out, size_t outSize);

}  // namespace font
