// Starting programs through the shell, as the installation starts the control registrations and
// the companion program: never awaited, in a hidden window.
#pragma once

#include "platform/Types.h"

class Shell {
public:
    virtual ~Shell() = default;
    // Starts file through the shell's "open" verb with a hidden window and no working directory,
    // so the program inherits the current directory. parameters may be null. Returns as soon as
    // the program has been started: 1, or 0 when it could not be started.
    virtual int OpenHidden(WindowHandle owner, const char* file, const char* parameters) = 0;
    // The system directory (where "regsvr32.exe" lives) without a trailing backslash; returns
    // its length, or 0 (and out empty) when it does not fit size or cannot be read.
    virtual size_t GetSystemFolder(char* out, size_t size) = 0;
};
