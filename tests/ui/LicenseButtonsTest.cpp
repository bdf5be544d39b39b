#include <gtest/gtest.h>

#include <vector>

#include "ui/LicenseButtons.h"

namespace {

// One mouse event of a sequence and what must follow it.
struct Step {
    bool press;  // false: release
    bool inAccept;
    bool inDecline;
    int command;  // the command sent, 0 for none
    bool redraw;
    int acceptPressed;
    int declinePressed;
};

void RunSteps(const std::vector<Step>& steps) {
    LicenseButtons buttons = {};
    int index = 0;
    for (const Step& step : steps) {
        LicenseMouseAction action =
            step.press ? PressLicenseButtons(buttons, step.inAccept, step.inDecline)
                       : ReleaseLicenseButtons(buttons, step.inAccept, step.inDecline);
        SCOPED_TRACE(index++);
        EXPECT_EQ(step.command == 0 ? 0 : 1, action.commandCount);
        if (action.commandCount == 1) {
            EXPECT_EQ(step.command, action.commands[0]);
        }
        EXPECT_EQ(step.redraw, action.redraw);
        EXPECT_EQ(step.acceptPressed, buttons.acceptPressed);
        EXPECT_EQ(step.declinePressed, buttons.declinePressed);
    }
}

constexpr bool kPress = true;
constexpr bool kRelease = false;

}  // namespace

TEST(LicenseButtons, PressAndReleaseInsideSendTheButtonsCommand) {
    RunSteps({{kPress, true, false, 0, true, 1, 0}, {kRelease, true, false, 1, true, 0, 0}});
    RunSteps({{kPress, false, true, 0, true, 0, 1}, {kRelease, false, true, 2, true, 0, 0}});
}

TEST(LicenseButtons, ReleaseOutsideKeepsTheButtonPressedUntilAReleaseInside) {
    RunSteps({
        {kPress, true, false, 0, true, 1, 0},
        {kRelease, false, false, 0, true, 1, 0},  // moved out: stays pressed, redrawn
        {kPress, false, false, 0, false, 1, 0},   // a press outside both does nothing
        {kRelease, true, false, 1, true, 0, 0},   // a release inside still accepts
    });
}

TEST(LicenseButtons, PressOutsideThenReleaseInsideOnlyRedraws) {
    RunSteps({{kPress, false, false, 0, false, 0, 0}, {kRelease, true, false, 0, true, 0, 0}});
    RunSteps({{kRelease, false, true, 0, true, 0, 0}});
}

TEST(LicenseButtons, BothButtonsCanBePressedAtOnceAndAPressedButtonIgnoresPresses) {
    RunSteps({
        {kPress, true, false, 0, true, 1, 0},
        {kRelease, false, false, 0, true, 1, 0},
        {kPress, true, false, 0, false, 1, 0},  // already pressed: no redraw
        {kPress, false, true, 0, true, 1, 1},
        {kRelease, false, true, 2, true, 1, 0},
        {kRelease, true, false, 1, true, 0, 0},
    });
}

TEST(LicenseButtons, ReleaseOverBothSendsAcceptFirst) {
    LicenseButtons buttons = {1, 1};
    LicenseMouseAction action = ReleaseLicenseButtons(buttons, true, true);
    ASSERT_EQ(2, action.commandCount);
    EXPECT_EQ(1, action.commands[0]);
    EXPECT_EQ(2, action.commands[1]);
    EXPECT_EQ(0, buttons.acceptPressed);
    EXPECT_EQ(0, buttons.declinePressed);
}

TEST(LicenseButtons, OnlyTheBareCommandWordsEndTheDialog) {
    EXPECT_EQ(1, LicenseCommandResult(1));
    EXPECT_EQ(0, LicenseCommandResult(2));
    EXPECT_EQ(-1, LicenseCommandResult(0x10001));  // command 1 with notification 1
    EXPECT_EQ(-1, LicenseCommandResult(0x10002));
    EXPECT_EQ(-1, LicenseCommandResult(3));
    EXPECT_EQ(-1, LicenseCommandResult(1000));
}
