// How the driver tells message boxes from dialogs, recognises icons and names screenshots.
#include <gtest/gtest.h>

#include "driver/Recognise.h"

namespace e2e {
namespace {

std::vector<ChildControl> Controls(std::initializer_list<std::pair<const char*, int>> list) {
    std::vector<ChildControl> controls;
    for (const auto& item : list) {
        ChildControl control;
        control.className = item.first;
        control.id = item.second;
        control.visible = true;
        controls.push_back(control);
    }
    return controls;
}

TEST(DriverRecognise, MessageBoxesAreToldFromTheSetupsDialogs) {
    // A message box: icon static, text static 0xFFFF, standard buttons.
    EXPECT_TRUE(LooksLikeMessageBox(
        "#32770", Controls({{"Static", 1088}, {"Button", 6}, {"Button", 7}, {"Static", 0xFFFF}})));
    EXPECT_TRUE(LooksLikeMessageBox("#32770", Controls({{"Static", 0xFFFF}, {"Button", 1}})));
    // The language dialog: radio buttons 1006.. besides OK.
    EXPECT_FALSE(LooksLikeMessageBox(
        "#32770",
        Controls({{"Static", 0xFFFF}, {"Button", 1006}, {"Button", 1007}, {"Button", 1}})));
    // The license dialog: a rich edit control and hidden buttons 1 and 2.
    EXPECT_FALSE(LooksLikeMessageBox(
        "#32770",
        Controls({{"RICHEDIT", 1000}, {"Static", 0xFFFF}, {"Button", 1}, {"Button", 2}})));
    // The install dialog: the folder edit and the progress bar.
    EXPECT_FALSE(LooksLikeMessageBox(
        "#32770", Controls({{"Static", 0xFFFF}, {"Edit", 1003}, {"msctls_progress32", 1005}})));
    // No text, or not a dialog at all.
    EXPECT_FALSE(LooksLikeMessageBox("#32770", Controls({{"Static", 20}, {"Button", 1}})));
    EXPECT_FALSE(LooksLikeMessageBox("ZbWindow", Controls({{"Static", 0xFFFF}, {"Button", 1}})));
    EXPECT_FALSE(LooksLikeMessageBox("#32770", {}));
}

Pixels Filled(int width, int height, uint32_t colour) {
    Pixels pixels;
    pixels.width = width;
    pixels.height = height;
    pixels.data.assign(static_cast<size_t>(width) * height, colour);
    return pixels;
}

// A 4x4 icon: a 2x2 opaque square of one colour in the middle, the rest transparent.
IconSample Square(const char* name, uint32_t colour) {
    IconSample sample;
    sample.name = name;
    sample.overBlack = Filled(4, 4, 0x000000);
    sample.overWhite = Filled(4, 4, 0xFFFFFF);
    for (int i : {5, 6, 9, 10}) {
        sample.overBlack.data[i] = colour;
        sample.overWhite.data[i] = colour;
    }
    return sample;
}

TEST(DriverRecognise, IconsAreMatchedOnTheirOpaquePixelsOnly) {
    std::vector<IconSample> samples = {Square("error", 0xFF0000), Square("warning", 0xFFFF00),
                                       Square("information", 0x0000FF)};
    // Drawn over the dialog's grey: the background shows where the icon is transparent.
    Pixels captured = Filled(4, 4, 0xF0F0F0);
    for (int i : {5, 6, 9, 10}) {
        captured.data[i] = 0xFBFC02;  // the warning colour, a few steps off
    }
    EXPECT_DOUBLE_EQ(1.0, IconMatch(captured, samples[1]));
    EXPECT_DOUBLE_EQ(0.0, IconMatch(captured, samples[0]));
    EXPECT_EQ("warning", RecogniseIcon(captured, samples));

    captured.data[5] = 0x000000;  // one of four opaque pixels wrong
    EXPECT_DOUBLE_EQ(0.75, IconMatch(captured, samples[1]));
    EXPECT_EQ("unknown", RecogniseIcon(captured, samples)) << "below the default share";
    EXPECT_EQ("warning", RecogniseIcon(captured, samples, 0.7));

    EXPECT_EQ("unknown", RecogniseIcon(Filled(4, 4, 0xF0F0F0), samples)) << "no icon drawn";
    EXPECT_DOUBLE_EQ(0.0, IconMatch(Filled(5, 4, 0xFFFF00), samples[1])) << "other size";
    IconSample invisible = Square("none", 0);
    invisible.overBlack = Filled(4, 4, 0x000000);
    invisible.overWhite = Filled(4, 4, 0xFFFFFF);
    EXPECT_DOUBLE_EQ(0.0, IconMatch(captured, invisible)) << "nothing opaque matches nothing";
}

TEST(DriverRecognise, ShotNamesAreNumberedAndSafe) {
    EXPECT_EQ("01-ZarBel-PC-Setup.bmp", ShotFileName(1, "ZarBel PC Setup"));
    EXPECT_EQ("02-ZarBel-PC-Setup-Info.bmp", ShotFileName(2, "ZarBel PC Setup - Info"));
    EXPECT_EQ("12-Installazione-di-ZarBelPC.bmp", ShotFileName(12, "Installazione di ZarBelPC..."));
    EXPECT_EQ("03-Licenza-d-uso.bmp", ShotFileName(3, "  Licenza d'uso\xE8"));
    EXPECT_EQ("04-window.bmp", ShotFileName(4, ""));
    EXPECT_EQ("05-window.bmp", ShotFileName(5, "\\/:*?\"<>|"));
    EXPECT_EQ("100-A.bmp", ShotFileName(100, "A"));
    EXPECT_LE(ShotFileName(6, std::string(300, 'x')).size(), 52u);
}

}  // namespace
}  // namespace e2e
