#include "install/InstallLocation.h"
#include "install/InstallTexts.h"

#include <cstdint>
#include <cstring>

#include "platform/FolderBrowser.h"
#include "platform/MessageBoxes.h"
#include "platform/Platform.h"
#include "platform/Registry.h"
#include "platform/System.h"
#include "platform/Text.h"
#include "records/InstallEntries.h"
#include "records/SetupConfiguration.h"

namespace {

// The Program Files value and the default folder made from it are held in 256 bytes (the install
// dialog's folder text is larger: it also takes a browse result and the product suffix).
constexpr size_t kProgramFilesSize = 256;

}  // namespace

int ReadProgramFilesDir(Platform& platform, char* out, size_t size) {
    if (size == 0) {
        return 0;
    }
    out[0] = '\0';
    size_t limit = size < kProgramFilesSize ? size : kProgramFilesSize;
    OpenRegistryKey key(*platform.registry);
    uint32_t error = 0;
    if (!key.Open(RegistryRoot::kLocalMachine, entries::kCurrentVersionKey, &error)) {
        platform.messages->Show(platform.system->FocusWindow(), kProgramFilesCannotOpen,
                                kRegistryCaption, kMbIconError);
        return 0;
    }
    if (key.Query(entries::kProgramFilesValue, out, limit, &error)) {
        return 1;
    }
    char errorText[512];
    platform.registry->ErrorText(error, errorText, sizeof errorText);
    platform.messages->Show(nullptr, errorText, kErrorCaption, kMbIconInformation);
    platform.messages->Show(platform.system->FocusWindow(), kProgramFilesCannotRead,
                            kRegistryCaption, kMbIconError);
    return 0;
}

void MakeDefaultInstallFolder(Platform& platform, char* out, size_t size) {
    char programFiles[kProgramFilesSize];
    char folder[kProgramFilesSize];
    // The value is used as stored: a trailing backslash gives two in a row. A value so long
    // that the product folder would not fit falls back like an unreadable one.
    if (!ReadProgramFilesDir(platform, programFiles, sizeof programFiles) ||
        !path::Join(folder, sizeof folder, programFiles, kSetupConfiguration.productFolderName)) {
        text::Copy(folder, sizeof folder, kSetupConfiguration.defaultInstallFolder);
    }
    text::Copy(out, size, folder);
}

int BrowseForInstallFolder(Platform& platform, WindowHandle owner, char* folder, size_t size,
                           const char* title) {
    BrowseSelection selection;
    selection.Start(folder);
    if (!platform.browser->Browse(owner, title, selection)) {
        return 0;
    }
    text::Copy(folder, size, selection.path());
    return 1;
}

namespace {

bool ContainsNoCase(const char* haystack, const char* needle) {
    size_t length = strlen(needle);
    for (; *haystack != '\0'; ++haystack) {
        size_t i = 0;
        while (i < length && haystack[i] != '\0' &&
               text::Upper(haystack[i]) == text::Upper(needle[i])) {
            ++i;
        }
        if (i == length) {
            return true;
        }
    }
    return length == 0;
}

}  // namespace

void NormaliseInstallFolder(char* folder, size_t size) {
    if (size == 0) {
        return;
    }
    // A text that does not end inside the buffer is cut to it, so that the suffix is never
    // appended past the buffer's end.
    size_t length = strnlen(folder, size);
    if (length == size) {
        folder[--length] = '\0';
    }
    text::UpperInPlace(folder);
    if (length > 0 && folder[length - 1] == '\\') {
        folder[--length] = '\0';
    }
    const char* product = kSetupConfiguration.productFolderName;
    if (!ContainsNoCase(folder, product)) {
        // Appended after the upper-casing, so the suffix keeps its mixed case. A text too long
        // for it is cut; the installation refuses a folder that long anyway.
        char suffix[kFolderTextSize];
        path::Join(suffix, sizeof suffix, "", product);
        text::Copy(folder + length, size - length, suffix);
    }
}
