// The system's folder browser. The browser reports its initial selection and every later change;
// BrowseSelection decides which of those reports count, so that the logic runs without it.
#pragma once

#include <cstddef>

#include "platform/Text.h"
#include "platform/Types.h"

// The browser's working path holds 259 characters and the terminator.
constexpr size_t kBrowsePathSize = path::kPathSize;

// The working path of one browse: the folder to show first, then the user's selection.
class BrowseSelection {
public:
    // Starts a browse at folder (cut to 259 characters when longer) with the flag cleared.
    void Start(const char* folder);
    // The browser opened: it has been asked to select path(). From now on changes count.
    void InitialSelectionRequested() { initialSelectionRequested_ = true; }
    // The selection changed to fileSystemPath (empty for an item outside the file system).
    // Reports that come before the initial selection was requested are ignored: they would
    // replace the folder to show first before the browser has been asked to select it.
    void SelectionChanged(const char* fileSystemPath);

    const char* path() const { return path_; }
    bool initialSelectionRequested() const { return initialSelectionRequested_; }

private:
    char path_[kBrowsePathSize] = {};
    bool initialSelectionRequested_ = false;
};

class FolderBrowser {
public:
    virtual ~FolderBrowser() = default;
    // Shows the modal browser over owner with title, starting at selection.path(); its reports go
    // to selection. Returns 1 when the user confirmed an item, 0 when the user cancelled.
    virtual int Browse(WindowHandle owner, const char* title, BrowseSelection& selection) = 0;
};
