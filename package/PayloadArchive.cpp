#include "package/PayloadArchive.h"

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "package/ArchiveFormat.h"
#include "package/PackageTexts.h"
#include "platform/FileNames.h"
#include "platform/FileSystem.h"
#include "platform/MessageBoxes.h"
#include "platform/Platform.h"
#include "platform/ProgressBar.h"
#include "platform/Text.h"

namespace {

// A target path that does not fit kExtractPathSize is still shown whole.
constexpr size_t kWriteErrorSize = kExtractPathSize + 1 + archive::kMaxNameFieldSize;

void ShowError(Platform& platform, WindowHandle owner, const char* text, const char* caption) {
    platform.messages->Show(owner, text, caption, kMbIconError);
}

void Notify(Platform& platform, WindowHandle progressWindow, int position) {
    if (platform.progress != nullptr) {
        SendProgress(*platform.progress, progressWindow, position);
    }
}

void ReportWriteError(Platform& platform, WindowHandle owner, const char* folder,
                      const char* name) {
    char text[kWriteErrorSize];
    snprintf(text, sizeof text, "%s\\%s", folder, name);
    ShowError(platform, owner, text, kWriteErrorCaption);
}

// Writes one entry into folder. A name that Windows would not store as given (one that leaves the
// folder, opens a device or loses its trailing dots), a path too long for its buffer, the
// archive's own path (it is still being read) and content that does not reach the disk in full
// are all reported as a file that cannot be created; a partly written file is removed.
void WriteEntry(Platform& platform, WindowHandle owner, const char* folder, const char* archivePath,
                const archive::Record& record, const unsigned char* data) {
    char target[kExtractPathSize];
    if (!names::IsStoredAsGiven(record.name) ||
        !path::Join(target, sizeof target, folder, record.name) ||
        names::SameFile(target, archivePath)) {
        ReportWriteError(platform, owner, folder, record.name);
        return;
    }
    std::unique_ptr<WriteStream> out = platform.files->Create(target);
    if (out == nullptr) {
        ReportWriteError(platform, owner, folder, record.name);
        return;
    }
    size_t written = out->Write(data, record.dataLength);
    int closed = out->Close();
    out.reset();
    if (written != record.dataLength || !closed) {
        platform.files->Delete(target);
        ReportWriteError(platform, owner, folder, record.name);
    }
}

}  // namespace

int UnpackPayloadArchive(Platform& platform, WindowHandle progressWindow, const char* folder,
                         const char* archivePath, int divisor, int startPosition,
                         ArchiveAfterUse after, BufferAllocator allocate) {
    std::unique_ptr<ReadStream> source = platform.files->OpenRead(archivePath);
    if (source == nullptr) {
        ShowError(platform, progressWindow, kArchiveCannotOpen, kArchiveCaption);
        return 0;
    }
    // One buffer for every record: no allocation per entry.
    unsigned char* data = static_cast<unsigned char*>(allocate(archive::kMaxDataLength));
    if (data == nullptr) {
        ShowError(platform, progressWindow, kArchiveOutOfMemory, kArchiveCaption);
        return 0;
    }

    // Positions follow content bytes only while the step comes from the whole length, headers
    // included, so the last position stays just below start + divisor. An archive shorter than
    // the divisor (step 0) moves one position per content byte; a divisor below 1 counts as 1,
    // the whole archive one step. Neither divides by zero.
    int64_t length = source->Length();
    if (length < 0) {
        length = 0;
    }
    int64_t step = divisor > 0 ? length / divisor : length;
    if (step < 1) {
        step = 1;
    }

    int result = 1;
    int64_t contentBytes = 0;
    archive::Record record;
    for (;;) {
        archive::Damage damage;
        archive::ReadResult read = archive::ReadRecord(*source, &record, data, &damage);
        if (read == archive::ReadResult::kEnd) {
            break;
        }
        if (read == archive::ReadResult::kDamaged) {
            // Nothing after this point can be trusted; stopping keeps the installation from
            // reporting success over missing files.
            ShowError(platform, progressWindow, kArchiveDamaged, kArchiveCaption);
            result = 0;
            break;
        }
        contentBytes += record.dataLength;
        int64_t position = startPosition + contentBytes / step;
        Notify(platform, progressWindow, position > INT_MAX ? INT_MAX : static_cast<int>(position));
        WriteEntry(platform, progressWindow, folder, archivePath, record, data);
    }

    source.reset();
    if (result == 1 && after == ArchiveAfterUse::kDelete) {
        platform.files->Delete(archivePath);
    }
    free(data);
    return result;
}

int ExtractPayloadArchive(Platform& platform, WindowHandle progressWindow, const char* folder,
                          const char* archiveName, int divisor, int startPosition) {
    char archivePath[kExtractPathSize];
    if (!path::Join(archivePath, sizeof archivePath, folder, archiveName)) {
        ShowError(platform, progressWindow, kArchiveCannotOpen, kArchiveCaption);
        return 0;
    }
    return UnpackPayloadArchive(platform, progressWindow, folder, archivePath, divisor,
                                startPosition, ArchiveAfterUse::kDelete, malloc);
}
