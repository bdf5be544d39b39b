// What a release may change in a stub besides the payload and the dictionary: the eight RTF
// documents, the two pictures of the license dialog and the setup's icon. Portable checks and
// conversions between the files a release engineer edits and the resources the setup carries.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace release {

// The documents the dialogs look for, one license and one set of notes per language.
constexpr const char* kDocumentNames[] = {
    "LICENSE_IT.RTF", "LICENSE_UK.RTF", "LICENSE_FR.RTF", "LICENSE_SP.RTF",
    "INSTALL_IT.RTF", "INSTALL_UK.RTF", "INSTALL_FR.RTF", "INSTALL_SP.RTF",
};
constexpr const char* kDocumentType = "RTF";
// The dialogs' rich edit control keeps its default limit of 32,767 characters and drops what
// comes after it; a document no longer than that in bytes never loses its end.
constexpr uint32_t kMaxDocumentSize = 32767;

// The pictures and the icon, by the file names of the art folder.
constexpr const char* kMicrophoneFile = "banner_mic.bmp";  // bitmap 102, top right
constexpr const char* kTitleFile = "title.bmp";            // bitmap 103, top left
constexpr const char* kIconFile = "setup.ico";             // icon group "SETUP"
constexpr uint16_t kMicrophoneBitmap = 102;
constexpr uint16_t kTitleBitmap = 103;
constexpr const char* kIconGroup = "SETUP";
constexpr uint16_t kBitmapType = 2;
constexpr uint16_t kIconType = 3;
constexpr uint16_t kGroupIconType = 14;
constexpr uint16_t kVersionType = 16;
constexpr uint16_t kManifestType = 24;

// "" when bytes are an RTF document the setup shows whole: "{\rtf" first, braces balanced
// (escaped ones not counted), at most kMaxDocumentSize bytes; otherwise why not.
std::string CheckDocument(const std::string& bytes);

// The stored form of a .bmp file: the file without its 14-byte file header. "" and the DIB in
// *dib when file is a Windows bitmap whose pixels follow its header and palette, of the width,
// height and colour depth of stubDib (the stub's own picture); otherwise why not.
std::string BitmapToDib(const std::string& file, const std::string& stubDib, std::string* dib);
// The .bmp file of a stored bitmap, or "" when the DIB header is damaged.
std::string DibToBitmap(const std::string& dib);

// One image of an icon: its directory entry and its bytes (a DIB with its mask, or a PNG).
struct IconImage {
    uint8_t width;
    uint8_t height;
    uint8_t colors;
    uint16_t planes;
    uint16_t bits;
    std::string bytes;
};

// "" and the images when file is a valid .ico (every image within the file, each a DIB header
// or a PNG); otherwise why not. Planes and bits of 0 are given as the resource compiler gives
// them: 1 plane, the bits the colour count needs.
std::string ParseIcon(const std::string& file, std::vector<IconImage>* images);
// The icon group directory of images, their icons numbered from firstId.
std::string EncodeIconGroup(const std::vector<IconImage>& images, uint16_t firstId);
// The entries of an icon group directory: (image fields, icon id) each; false when damaged.
bool ParseIconGroup(const std::string& group, std::vector<IconImage>* entries,
                    std::vector<uint16_t>* ids);
// The .ico file of images.
std::string EncodeIconFile(const std::vector<IconImage>& images);

}  // namespace release
