// Shell links (".lnk" files) as the shortcut step makes them: a target path and a description,
// nothing else.
#pragma once

enum class LinkResult {
    kSaved,
    kCannotCreate,   // the shell link object is not available
    kNoPersistFile,  // the object cannot be saved to a file
    kPathTooLong,    // the link path does not fit the platform's path limit
    kCannotSave,     // saving failed (folder missing, not writable, ...)
};

class ShellLinks {
public:
    virtual ~ShellLinks() = default;
    // Writes the link file linkPath pointing at target with the given description, replacing an
    // existing file. The result only tells why a link is missing; callers may ignore it.
    virtual LinkResult CreateShellLink(const char* target, const char* linkPath,
                                       const char* description) = 0;
};
