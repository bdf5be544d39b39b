#include "platform/FolderBrowser.h"

#include "platform/Text.h"

void BrowseSelection::Start(const char* folder) {
    text::Copy(path_, sizeof path_, folder);
    initialSelectionRequested_ = false;
}

void BrowseSelection::SelectionChanged(const char* fileSystemPath) {
    if (initialSelectionRequested_) {
        text::Copy(path_, sizeof path_, fileSystemPath);
    }
}
