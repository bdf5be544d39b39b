// Which names Windows stores as given, and how it compares them. Linux stores almost any name,
// so a name that passes here on the build machine can still open a device, lose its trailing
// dots, or be refused outright when the setup writes it on Windows.
#pragma once

#include <cstddef>

namespace names {

// The longest name a folder entry may have.
constexpr size_t kMaxNameLength = 255;

// Null when Windows stores name, a single folder entry, exactly as given; otherwise a short
// English reason. Refused: an empty name, "." and "..", names over kMaxNameLength characters,
// the characters < > : " / \ | ? * and bytes 1 to 31, a trailing dot or blank (Windows drops
// them, so "RESOURCE.DAT." is the file RESOURCE.DAT), and the device names CON, PRN, AUX, NUL,
// COM0 to COM9, LPT0 to LPT9 (also with the Windows-1252 superscripts 1, 2 and 3), CONIN$ and
// CONOUT$, in any case and with or without an extension.
const char* WhyNotStored(const char* name);

// True when WhyNotStored finds nothing against name.
inline bool IsStoredAsGiven(const char* name) {
    return WhyNotStored(name) == nullptr;
}

// A byte of a name as Windows compares names: letters folded to capitals, the Windows-1252
// accented ones too.
unsigned char Fold(unsigned char c);

// True when the two paths name the same file once Windows has normalised them: letters compared
// without regard to case (the Windows-1252 accented ones too) and the trailing dots and blanks
// of the last component dropped.
bool SameFile(const char* a, const char* b);

}  // namespace names
