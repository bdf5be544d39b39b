// Modal message boxes: the setup's only way of telling the user about anything outside its dialogs.
#pragma once

#include "platform/Types.h"

// Button and icon flags, with the platform's own values so that adapters pass them unchanged.
constexpr unsigned kMbOk = 0x0;
constexpr unsigned kMbYesNo = 0x4;
constexpr unsigned kMbIconError = 0x10;
constexpr unsigned kMbIconQuestion = 0x20;
constexpr unsigned kMbIconWarning = 0x30;
constexpr unsigned kMbIconInformation = 0x40;

// Buttons a message box returns; 0 means the box could not be shown.
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Shows a modal box and returns the button pressed, or 0 when it could not be shown.
    virtual int Show(WindowHandle owner, const char* text, const char* caption, unsigned type) = 0;
};
