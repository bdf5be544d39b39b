#include "package/ResourceExtraction.h"
#include "package/PackageTexts.h"

#include <cstdint>
#include <cstdio>
#include <memory>

#include "platform/FileSystem.h"
#include "platform/MessageBoxes.h"
#include "platform/Platform.h"
#include "platform/ProgressBar.h"
#include "platform/ResourceStore.h"

namespace {

// A message is cut to kMessageSize: a very long path loses its end, nothing overflows.
constexpr size_t kMessageSize = 256;

void ShowError(Platform& platform, const char* text) {
    platform.messages->Show(nullptr, text, kFilecopyCaption, kMbIconError);
}

}  // namespace

int ExtractResourceToFile(Platform& platform, const char* targetPath, const char* type,
                          const char* name, WindowHandle progressWindow, unsigned divisor,
                          int startPosition) {
    char message[kMessageSize];
    ResourceBlock block;
    if (!platform.resources->Find(type, name, &block)) {
        snprintf(message, sizeof message, ZB_NOT_FOUND_FORMAT, name, type);
        ShowError(platform, message);
        return 0;
    }

    // The size is cut into divisor steps; a notification follows every step-th byte counted
    // back from the last one, so the first comes after ((size - 1) mod step) + 1 bytes and the
    // last after the last byte. A resource smaller than the divisor would give a step of 0: it
    // gets a step of 1, one notification per byte. A divisor of 0 counts as 1.
    uint32_t size = block.size;
    uint32_t step = divisor > 0 ? size / divisor : size;
    if (step == 0) {
        step = 1;
    }

    std::unique_ptr<WriteStream> out = platform.files->Create(targetPath);
    if (out == nullptr) {
        snprintf(message, sizeof message, ZB_CANNOT_CREATE_FORMAT, targetPath);
        ShowError(platform, message);
        return 0;
    }

    // Block-wise: the bytes between two notifications go in one write, so the file and the
    // positions, each at its byte count, are those of a byte-by-byte copy.
    int written = 1;
    int position = startPosition;
    uint32_t done = 0;
    uint32_t chunk = size > 0 ? (size - 1) % step + 1 : 0;
    while (done < size) {
        if (out->Write(block.data + done, chunk) != chunk) {
            written = 0;
            break;
        }
        done += chunk;
        if (platform.progress != nullptr) {
            SendProgress(*platform.progress, progressWindow, position);
        }
        ++position;
        chunk = step;
    }
    if (!out->Close()) {
        written = 0;
    }
    out.reset();
    if (!written) {
        // A partial file would pass for the resource with callers that only test that it exists.
        platform.files->Delete(targetPath);
        snprintf(message, sizeof message, ZB_CANNOT_WRITE_FORMAT, targetPath);
        ShowError(platform, message);
        return 0;
    }
    return 1;
}
