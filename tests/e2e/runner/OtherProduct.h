// Another product on the machine that shares MFC71.dll with ZarBelPC: its newer copy (a real
// version resource, 7.10.6030.0) in the Windows directory and its count under SharedDLLs, put
// there before the whole-product scenario installs, so that the scenario sees whether the setup
// keeps the copy and the uninstaller leaves it with its count.
#pragma once

#include <string>

#include "runner/WineSession.h"

namespace e2e {
namespace other {

inline constexpr const char* kSharedDllsKey =
    "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
inline constexpr const char* kFontsKey =
    "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
// As the other product named it; value names compare without regard to case.
inline constexpr const char* kLibrary = "C:\\windows\\MFC71.dll";

// The other product's DLL as built (mingw64 build, e2e/other/MFC71.dll).
std::string LibraryBytes();

// Copies the DLL into the prefix's Windows directory and sets its count to 1 in the registry
// view of the target's setup. Returns false (and says why on stderr) when either fails.
bool Plant(const WinePrefix& prefix);

// The data of a REG_DWORD value as reg query prints it in the target's view ("0x2"), or
// "<missing>".
std::string Count(const WinePrefix& prefix, const std::string& key, const std::string& value);

// The full name the font file's name table gives, as the registry's font list must show it.
std::string FontFullName(const std::string& unixPath);

}  // namespace other
}  // namespace e2e
