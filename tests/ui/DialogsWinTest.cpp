// The dialogs on the real platform, under wine64: the templates and pictures as the setup
// carries them (read from the built setup executable), and the dialog procedures driven through
// the messages a user's mouse and keyboard produce.
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "DialogTemplateReader.h"
#include "doubles/Doubles.h"
#include "doubles/InstallDoubles.h"
#include "doubles/Scratch.h"
#include "platform/Platform.h"
#include "platform/System.h"
#include "platform/Win32Adapters.h"
#include "resources/ResourceIds.h"
#include "platform/Scoped_win.h"
#include "records/SetupState.h"
#include "ui/DialogLayout.h"
#include "ui/DialogUtilities_win.h"
#include "ui/FlatButton.h"
#include "ui/InstallCommands.h"
#include "ui/InstallDialog_win.h"
#include "ui/LanguageDialog_win.h"
#include "ui/LicenseDialog_win.h"

namespace {

constexpr WORD kItalian = MAKELANGID(LANG_ITALIAN, SUBLANG_ITALIAN);

// The setup executable beside the tests' folder, loaded for its resources only.
HMODULE SetupModule() {
    static HMODULE module = [] {
        char path[MAX_PATH];
        DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
        std::string folder(path, length);
        folder = folder.substr(0, folder.find_last_of('\\'));
        folder = folder.substr(0, folder.find_last_of('\\'));
        std::string exe = folder + "\\" ZB_SETUP_EXE;
        HMODULE loaded = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        if (loaded == nullptr) {
            fprintf(stderr, "cannot load %s: error %lu\n", exe.c_str(), GetLastError());
        }
        return loaded;
    }();
    return module;
}

// A resource of the setup, found under the Italian language as all of them are stored.
std::string SetupResource(const char* type, const char* name) {
    HRSRC found = FindResourceExA(SetupModule(), type, name, kItalian);
    if (found == nullptr) {
        return std::string();
    }
    HGLOBAL loaded = LoadResource(SetupModule(), found);
    const char* bytes = static_cast<const char*>(LockResource(loaded));
    return std::string(bytes, SizeofResource(SetupModule(), found));
}

DialogTemplate ReadTemplate(const char* name) {
    std::string bytes = SetupResource(MAKEINTRESOURCEA(5), name);
    DialogTemplate t;
    EXPECT_TRUE(
        ReadDialogTemplate(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), &t))
        << name;
    return t;
}

std::string IdText(const TemplateId& id) {
    return id.ordinal != 0 ? "#" + std::to_string(id.ordinal) : id.text;
}

struct ExpectedControl {
    int id;
    const char* windowClass;  // "#128" for an ordinal
    const char* text;
    int x, y, cx, cy;
    uint32_t style;
};

void ExpectControls(const DialogTemplate& t, const std::vector<ExpectedControl>& expected) {
    ASSERT_EQ(expected.size(), t.controls.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const ExpectedControl& e = expected[i];
        const TemplateControl& c = t.controls[i];
        SCOPED_TRACE("control " + std::to_string(i));
        EXPECT_EQ(e.id, c.id);
        EXPECT_EQ(e.windowClass, IdText(c.windowClass));
        EXPECT_EQ(e.text, IdText(c.text));
        EXPECT_EQ(e.x, c.x);
        EXPECT_EQ(e.y, c.y);
        EXPECT_EQ(e.cx, c.cx);
        EXPECT_EQ(e.cy, c.cy);
        EXPECT_EQ(e.style, c.style) << std::hex << c.style;
        EXPECT_EQ(0u, c.exStyle);
    }
}

}  // namespace

TEST(SetupResources, LanguageDialogTemplate) {
    ASSERT_NE(nullptr, SetupModule());
    EXPECT_EQ(226u, SetupResource(MAKEINTRESOURCEA(5), "CHOOSELANGUAGEDLG").size());
    DialogTemplate t = ReadTemplate("CHOOSELANGUAGEDLG");
    EXPECT_TRUE(t.extended);
    // Pop-up, caption, system menu, modal frame and the shell font.
    EXPECT_EQ(
        static_cast<uint32_t>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SHELLFONT),
        t.style);
    EXPECT_EQ(166, t.cx);
    EXPECT_EQ(73, t.cy);
    EXPECT_EQ("Choose Language", t.caption);
    EXPECT_EQ(8, t.pointSize);
    EXPECT_EQ("MS Shell Dlg", t.font);
    ExpectControls(t, {
                          {1, "#128", "OK", 108, 48, 50, 14, 0x50010001},
                          // Automatic radio buttons: no tab stop, no group start.
                          {1006, "#128", "ITALIANO", 12, 12, 150, 10, 0x50000009},
                          {1007, "#128", "ENGLISH", 12, 24, 150, 10, 0x50000009},
                      });
}

TEST(SetupResources, LicenseDialogTemplateHidesItsButtons) {
    ASSERT_NE(nullptr, SetupModule());
    EXPECT_EQ(252u, SetupResource(MAKEINTRESOURCEA(5), "LICENSEAGREEMENT").size());
    DialogTemplate t = ReadTemplate("LICENSEAGREEMENT");
    EXPECT_FALSE(t.extended);
    EXPECT_EQ(0x80C800C0u, t.style);
    EXPECT_EQ(430, t.cx);
    EXPECT_EQ(249, t.cy);
    EXPECT_EQ("Dialog", t.caption);
    EXPECT_EQ(8, t.pointSize);
    EXPECT_EQ("MS Sans Serif", t.font);
    ExpectControls(t, {
                          {-1, "#130", "#102", 386, 7, 37, 37, 0x5000000E},
                          {1000, "RICHEDIT", "", 7, 57, 416, 151, 0x50B10844},
                          {-1, "#130", "#103", 7, 7, 129, 37, 0x5000000E},
                          {1, "#128", "ACCETTO", 344, 222, 79, 16, 0x40010000},
                          {2, "#128", "NON ACCETTO", 7, 220, 91, 18, 0x40010000},
                      });
}

TEST(SetupResources, InstallDialogTemplate) {
    ASSERT_NE(nullptr, SetupModule());
    EXPECT_EQ(440u, SetupResource(MAKEINTRESOURCEA(5), "INSTALLDLG").size());
    DialogTemplate t = ReadTemplate("INSTALLDLG");
    EXPECT_FALSE(t.extended);
    EXPECT_EQ(0x80C800C0u, t.style);
    EXPECT_EQ(358, t.cx);
    EXPECT_EQ(193, t.cy);
    EXPECT_EQ("Installazione di Zarbel PC, veriosne 1.0", t.caption);
    EXPECT_EQ(8, t.pointSize);
    EXPECT_EQ("MS Sans Serif", t.font);
    // The resource compiler upper-cases class names; window classes compare without regard
    // to case.
    ExpectControls(t, {
                          {1, "#128", "Installa", 2, 172, 50, 14, 0x50010001},
                          {2, "#128", "Annulla", 68, 172, 50, 14, 0x50010000},
                          // Not read-only: multi-line, vertical scrolling, border, scroll bars.
                          {1000, "RICHEDIT", "", 32, 7, 318, 126, 0x50B10044},
                          // Read-only, border, horizontal scrolling, tab stop.
                          {1003, "#129", "", 67, 148, 283, 12, 0x50810880},
                          {3, "#128", "Cambia", 2, 148, 50, 14, 0x50010000},
                          {-1, "#130", "setup", 2, 7, 21, 20, 0x50000003},
                          {1005, "MSCTLS_PROGRESS32", "Progress1", 130, 175, 220, 11, 0x50800001},
                      });
}

TEST(SetupResources, PicturesAndIconUnderItalian) {
    ASSERT_NE(nullptr, SetupModule());
    struct Picture {
        int id;
        int width;
    };
    for (Picture p : {Picture{102, 56}, Picture{103, 194}}) {
        std::string dib = SetupResource(MAKEINTRESOURCEA(2), MAKEINTRESOURCEA(p.id));
        ASSERT_GE(dib.size(), sizeof(BITMAPINFOHEADER)) << p.id;
        BITMAPINFOHEADER header;
        memcpy(&header, dib.data(), sizeof header);
        EXPECT_EQ(p.width, header.biWidth);
        EXPECT_EQ(60, header.biHeight);
        EXPECT_EQ(24, header.biBitCount);
        // Rows padded to four bytes, no palette.
        EXPECT_EQ(sizeof header + (p.width * 3 + 3) / 4 * 4 * 60, dib.size());
    }
    EXPECT_EQ(20u, SetupResource(MAKEINTRESOURCEA(14), "SETUP").size());
    std::string icon = SetupResource(MAKEINTRESOURCEA(3), MAKEINTRESOURCEA(1));
    ASSERT_EQ(744u, icon.size());
    BITMAPINFOHEADER header;
    memcpy(&header, icon.data(), sizeof header);
    EXPECT_EQ(32, header.biWidth);
    EXPECT_EQ(64, header.biHeight);  // the colour image and its mask
    EXPECT_EQ(4, header.biBitCount);
}

BOOL CALLBACK CollectName(HMODULE, LPCSTR, LPSTR name, LONG_PTR names) {
    reinterpret_cast<std::vector<std::string>*>(names)->push_back(
        IS_INTRESOURCE(name) ? "#" + std::to_string(reinterpret_cast<uintptr_t>(name)) : name);
    return TRUE;
}

TEST(SetupResources, TwoDocumentsForEachLanguageAndNoOthers) {
    ASSERT_NE(nullptr, SetupModule());
    std::vector<std::string> names;
    EnumResourceNamesA(SetupModule(), "RTF", CollectName, reinterpret_cast<LONG_PTR>(&names));
    std::sort(names.begin(), names.end());
    EXPECT_EQ((std::vector<std::string>{"INSTALL_FR.RTF", "INSTALL_IT.RTF", "INSTALL_SP.RTF",
                                        "INSTALL_UK.RTF", "LICENSE_FR.RTF", "LICENSE_IT.RTF",
                                        "LICENSE_SP.RTF", "LICENSE_UK.RTF"}),
              names);
    for (const std::string& name : names) {
        std::string document = SetupResource("RTF", name.c_str());
        EXPECT_EQ(0u, document.rfind("{\\rtf1\\ansi\\ansicpg1252", 0)) << name;
        EXPECT_GT(document.size(), 2000u) << name;
    }
}

namespace {

INT_PTR CALLBACK InertDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

PixelRect PaintedRect(HWND dialog, int buttonId) {
    return PaintedButtonRect(OuterRect(dialog), OuterRect(GetDlgItem(dialog, buttonId)));
}

COLORREF PixelAt(HWND window, int x, int y) {
    return GetPixel(ScopedGetDC(window), x, y);
}

std::string TextOf(HWND window) {
    std::string text(GetWindowTextLengthA(window) + 1, '\0');
    text.resize(GetWindowTextA(window, &text[0], static_cast<int>(text.size())));
    return text;
}

void Mouse(HWND dialog, UINT message, int x, int y) {
    SendMessageA(dialog, message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(x, y));
}

HWND FindThreadDialog(DWORD thread) {
    HWND found = nullptr;
    EnumThreadWindows(
        thread,
        [](HWND window, LPARAM param) -> BOOL {
            char name[16];
            GetClassNameA(window, name, sizeof name);
            if (strcmp(name, "#32770") == 0 && IsWindowVisible(window)) {
                *reinterpret_cast<HWND*>(param) = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// Shows a modal dialog on this thread and plays `user` against it from a second thread, as a
// user would. A dialog that the steps leave open is cancelled, so a failing test cannot hang.
INT_PTR RunModal(const std::function<INT_PTR()>& show, const std::function<void(HWND)>& user) {
    DWORD thread = GetCurrentThreadId();
    std::atomic<bool> returned(false);
    std::thread player([&] {
        HWND dialog = nullptr;
        for (int i = 0; i < 1000 && !returned && dialog == nullptr; ++i) {
            dialog = FindThreadDialog(thread);
            if (dialog == nullptr) {
                Sleep(10);
            }
        }
        if (dialog == nullptr) {
            return;
        }
        UpdateWindow(dialog);  // painted, and the modal loop is running
        user(dialog);
        if (!returned && IsWindow(dialog)) {
            PostMessageA(dialog, WM_COMMAND, kIdcCancel, 0);
        }
    });
    INT_PTR result = show();
    returned = true;
    player.join();
    return result;
}

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Wine passes the X display on; without one no window can be made.
        char display[64];
        if (GetEnvironmentVariableA("DISPLAY", display, sizeof display) == 0) {
            GTEST_SKIP() << "no X display (DISPLAY is not set): the dialogs cannot be shown";
        }
        ASSERT_NE(nullptr, SetupModule());
        ASSERT_EQ(1, Win32System().LoadSystemLibrary("RICHED32.DLL"));
        RegisterDialogControls();
        profile_ = MakeTestProfileStore(scratch_.path());
        platform_.system = &Win32System();
        platform_.messages = &messages_;
        platform_.profile = profile_.get();
        platform_.resources = &resources_;
        state_.reset(new SetupState);
        InitSetupState(*state_);
        state_->instance = SetupModule();
        state_->owner = GetDesktopWindow();
        AddString("SETUP_CAPTION", "ZarBel PC Setup");
        AddString("SETUP_LICENSE_AGREEMENT_ACCEPT", "Accetto");
        AddString("SETUP_LICENSE_AGREEMENT_DONT_ACCEPT", "Non accetto");
        context_ = {state_.get(), &platform_};
    }
    void AddString(const char* key, const char* text) {
        StringEntry& row = state_->strings.rows[state_->strings.count++];
        strcpy(row.key, key);
        strcpy(row.text, text);
    }
    std::string Setting() {
        char out[64];
        profile_->ReadString("SETTINGS", "CURRLANGUAGE", "<missing>", out, sizeof out,
                             "ZarBelPC.INI");
        return out;
    }
    INT_PTR RunLanguageDialog(const std::function<void(HWND)>& user) {
        return RunModal([this] { return ShowLanguageDialog(context_); }, user);
    }
    INT_PTR ShowLicense(const std::function<void(HWND)>& user) {
        return RunModal([this] { return ShowLicenseDialog(context_); }, user);
    }

    ScratchFolder scratch_;
    RecordingMessageBoxes messages_;
    std::unique_ptr<ProfileStore> profile_;
    Win32ResourceStore resources_{SetupModule()};
    Platform platform_;
    std::unique_ptr<SetupState> state_;
    DialogContext context_;
};

}  // namespace

TEST_F(DialogTest, TemplatesCreateWithTheirControlsAndHiddenButtonsStayHidden) {
    HWND license =
        CreateDialogParamA(SetupModule(), "LICENSEAGREEMENT", nullptr, InertDialogProc, 0);
    ASSERT_NE(nullptr, license);
    for (int id : {kIdcAccept, kIdcDecline}) {
        HWND button = GetDlgItem(license, id);
        ASSERT_NE(nullptr, button);
        EXPECT_FALSE(GetWindowLongA(button, GWL_STYLE) & WS_VISIBLE) << id;
    }
    EXPECT_NE(nullptr, GetDlgItem(license, kIdcDocument));
    DestroyWindow(license);

    HWND install = CreateDialogParamA(SetupModule(), "INSTALLDLG", nullptr, InertDialogProc, 0);
    ASSERT_NE(nullptr, install) << "the progress bar's class must be registered";
    char name[64];
    GetClassNameA(GetDlgItem(install, kIdcProgress), name, sizeof name);
    EXPECT_TRUE(lstrcmpiA(name, PROGRESS_CLASSA) == 0) << name;
    // The icon control found the setup's icon group under its lower-case name.
    HWND icon = nullptr;
    for (HWND child = GetWindow(install, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
            icon = child;
        }
    }
    ASSERT_NE(nullptr, icon);
    EXPECT_NE(0, SendMessageA(icon, STM_GETICON, 0, 0));
    DestroyWindow(install);
}

TEST_F(DialogTest, CentringPutsAPopupInTheMiddleOfItsOwner) {
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 100, 50, 600, 400, nullptr,
                                 nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, owner);
    HWND popup = CreateWindowExA(0, "STATIC", "popup", WS_POPUP, 0, 0, 205, 101, owner, nullptr,
                                 nullptr, nullptr);
    ASSERT_NE(nullptr, popup);
    CenterOverParent(popup);
    RECT r;
    GetWindowRect(popup, &r);
    EXPECT_EQ(100 + (600 - 205) / 2, r.left);  // 297: 395 / 2 truncated
    EXPECT_EQ(50 + (400 - 101) / 2, r.top);    // 199
    EXPECT_EQ(205, r.right - r.left);
    EXPECT_EQ(101, r.bottom - r.top);
    DestroyWindow(popup);

    // Without an owner the desktop window is the parent.
    HWND alone = CreateWindowExA(0, "STATIC", "alone", WS_POPUP, 3, 4, 300, 200, nullptr, nullptr,
                                 nullptr, nullptr);
    CenterOverParent(alone);
    GetWindowRect(alone, &r);
    PixelPoint expected = CenterPosition({0, 0, 300, 200}, OuterRect(GetDesktopWindow()));
    EXPECT_EQ(expected.x, r.left);
    EXPECT_EQ(expected.y, r.top);
    DestroyWindow(alone);
    DestroyWindow(owner);
}

TEST_F(DialogTest, RtfStreamsReplaceTheWholeContent) {
    HWND dialog =
        CreateDialogParamA(SetupModule(), "LICENSEAGREEMENT", nullptr, InertDialogProc, 0);
    ASSERT_NE(nullptr, dialog);
    HWND document = GetDlgItem(dialog, kIdcDocument);
    const char small[] = "{\\rtf1\\ansi\\ansicpg1252 Ciao \\'e8 mondo}";
    StreamRtfIntoControl(dialog, kIdcDocument, reinterpret_cast<const unsigned char*>(small),
                         static_cast<int32_t>(strlen(small)));
    EXPECT_EQ("Ciao \xE8 mondo", TextOf(document));

    // Several chunks: the control asks in pieces smaller than the document.
    std::string big = "{\\rtf1\\ansi ";
    for (int i = 0; i < 1000; ++i) {
        big += "abcdefghi ";
    }
    big += "end}";
    StreamRtfIntoControl(dialog, kIdcDocument, reinterpret_cast<const unsigned char*>(big.data()),
                         static_cast<int32_t>(big.size()));
    EXPECT_EQ(10003, GetWindowTextLengthA(document));

    // A language without a document leaves the control as it is.
    strcpy(state_->language, "DEUTSCH");
    ShowLanguageDocument(dialog, DocumentKind::kLicenseAgreement, context_);
    EXPECT_EQ(10003, GetWindowTextLengthA(document));
    strcpy(state_->language, "italiano");
    ShowLanguageDocument(dialog, DocumentKind::kInstallationNotes, context_);
    EXPECT_EQ(10003, GetWindowTextLengthA(document));
    DestroyWindow(dialog);
}

TEST_F(DialogTest, EachLanguageShowsItsOwnDocuments) {
    HWND dialog = CreateDialogParamA(SetupModule(), "INSTALLDLG", nullptr, InertDialogProc, 0);
    ASSERT_NE(nullptr, dialog);
    HWND document = GetDlgItem(dialog, kIdcDocument);
    // A heading of each document, with its accents as the control shows them (Windows-1252).
    struct Expected {
        const char* language;
        const char* license;
        const char* notes;
    };
    const Expected expected[] = {
        {"ITALIANO", "CONTRATTO DI LICENZA", "NOTE DI INSTALLAZIONE"},
        {"ENGLISH", "END-USER LICENCE AGREEMENT", "INSTALLATION NOTES"},
        {"FRENCH",
         "DROITS D\x92"
         "AUTEUR ET PROPRI\xC9T\xC9",
         "NOTES D\x92INSTALLATION"},
        {"ESPANOL", "CONCESI\xD3N DE LA LICENCIA", "NOTAS DE INSTALACI\xD3N"},
    };
    std::vector<std::string> seen;
    for (const Expected& language : expected) {
        strcpy(state_->language, language.language);
        for (DocumentKind kind :
             {DocumentKind::kLicenseAgreement, DocumentKind::kInstallationNotes}) {
            SetWindowTextA(document, "");
            ShowLanguageDocument(dialog, kind, context_);
            std::string text = TextOf(document);
            const char* heading =
                kind == DocumentKind::kLicenseAgreement ? language.license : language.notes;
            EXPECT_NE(std::string::npos, text.find(heading)) << language.language << ": " << text;
            // Real documents, parsed as RTF: no control words left in the text.
            EXPECT_GT(text.size(), 1000u) << language.language;
            EXPECT_EQ(std::string::npos, text.find("\\par")) << language.language;
            EXPECT_EQ(std::string::npos, text.find("\\'")) << language.language;
            EXPECT_EQ(seen.end(), std::find(seen.begin(), seen.end(), text)) << language.language;
            seen.push_back(text);
        }
    }
    DestroyWindow(dialog);
}

TEST_F(DialogTest, LanguageDialogAlwaysOpensOnItalianoAndStoresTheChoice) {
    strcpy(state_->language, "ENGLISH");
    INT_PTR result = RunLanguageDialog([](HWND dialog) {
        EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dialog, kIdcLanguageItaliano));
        EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(dialog, kIdcLanguageEnglish));
        EXPECT_EQ("Choose Language", TextOf(dialog));
        PixelPoint centre = CenterPosition(OuterRect(dialog), OuterRect(GetDesktopWindow()));
        EXPECT_EQ(centre.x, OuterRect(dialog).left);
        EXPECT_EQ(centre.y, OuterRect(dialog).top);
        SendMessageA(dialog, WM_COMMAND, kIdcOk, 0);
    });
    EXPECT_EQ(0, result);
    EXPECT_STREQ("ITALIANO", state_->language);
    EXPECT_EQ("ITALIANO", Setting());

    result = RunLanguageDialog([](HWND dialog) {
        SendDlgItemMessageA(dialog, kIdcLanguageEnglish, BM_CLICK, 0, 0);
        // One group: checking ENGLISH unchecks ITALIANO.
        EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(dialog, kIdcLanguageItaliano));
        SendMessageA(dialog, WM_COMMAND, kIdcOk, 0);
    });
    EXPECT_EQ(0, result);
    EXPECT_STREQ("ENGLISH", state_->language);
    EXPECT_EQ("ENGLISH", Setting());
}

TEST_F(DialogTest, LanguageDialogCancelTouchesNothing) {
    INT_PTR result = RunLanguageDialog([](HWND dialog) {
        SendDlgItemMessageA(dialog, kIdcLanguageEnglish, BM_CLICK, 0, 0);
        // The close box and Escape arrive as command 2.
        SendMessageA(dialog, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(-1, result);
    EXPECT_STREQ("ITALIANO", state_->language);
    EXPECT_EQ("<missing>", Setting());
}

TEST_F(DialogTest, LicenseDialogPaintsItsButtonsWhereItHitTestsThem) {
    INT_PTR result = ShowLicense([this](HWND dialog) {
        EXPECT_EQ("ZarBel PC Setup", TextOf(dialog));
        EXPECT_EQ("Accetto", TextOf(GetDlgItem(dialog, kIdcAccept)));
        EXPECT_EQ("Non accetto", TextOf(GetDlgItem(dialog, kIdcDecline)));
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, kIdcAccept)));
        PixelRect accept = PaintedRect(dialog, kIdcAccept);
        PixelRect decline = PaintedRect(dialog, kIdcDecline);
        RECT client;
        GetClientRect(dialog, &client);

        // Raised: white at the top left corner, black at the bottom right one; the face and the
        // background between the buttons in the license colour.
        EXPECT_EQ(kEdgeWhite, PixelAt(dialog, accept.left, accept.top));
        EXPECT_EQ(kEdgeWhite, PixelAt(dialog, accept.right, accept.top));
        EXPECT_EQ(kEdgeBlack, PixelAt(dialog, accept.right, accept.bottom));
        EXPECT_EQ(kLicenseBackground, PixelAt(dialog, accept.left + 3, accept.bottom - 3));
        EXPECT_EQ(kEdgeWhite, PixelAt(dialog, decline.left, decline.top));
        int between = (decline.right + accept.left) / 2;
        EXPECT_EQ(kLicenseBackground, PixelAt(dialog, between, accept.top + 2));
        EXPECT_EQ(kLicenseBackground, PixelAt(dialog, between, client.bottom - 2));

        // Press inside, move out, release: still open and drawn pressed.
        int cx = (accept.left + accept.right) / 2;
        int cy = (accept.top + accept.bottom) / 2;
        Mouse(dialog, WM_LBUTTONDOWN, cx, cy);
        EXPECT_EQ(kEdgeBlack, PixelAt(dialog, accept.left, accept.top));
        EXPECT_EQ(kEdgeBlack, PixelAt(dialog, accept.right, accept.top));
        Mouse(dialog, WM_LBUTTONUP, accept.right + 1, cy);
        EXPECT_TRUE(IsWindowVisible(dialog));
        EXPECT_EQ(kEdgeBlack, PixelAt(dialog, accept.left, accept.top));
        EXPECT_EQ(kEdgeWhite, PixelAt(dialog, decline.left, decline.top));

        // A command with a notification part is not the accept command.
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(kIdcAccept, 1), 0);
        EXPECT_TRUE(IsWindowVisible(dialog));

        // Press outside both, release exactly on the bottom right corner: accepted.
        Mouse(dialog, WM_LBUTTONDOWN, between, client.bottom - 2);
        EXPECT_EQ(1, HitFlatButton(dialog, kIdcAccept, accept.right, accept.bottom));
        EXPECT_EQ(0, HitFlatButton(dialog, kIdcAccept, accept.right + 1, accept.bottom));
        Mouse(dialog, WM_LBUTTONUP, accept.right, accept.bottom);
    });
    EXPECT_EQ(1, result);
}

TEST_F(DialogTest, LicenseDialogDeclinesAndIgnoresAReleaseWithoutAPress) {
    INT_PTR result = ShowLicense([](HWND dialog) {
        PixelRect accept = PaintedRect(dialog, kIdcAccept);
        PixelRect decline = PaintedRect(dialog, kIdcDecline);
        // A press outside and a release inside only redraw.
        Mouse(dialog, WM_LBUTTONDOWN, accept.left - 20, accept.top);
        Mouse(dialog, WM_LBUTTONUP, accept.left, accept.top);
        EXPECT_TRUE(IsWindowVisible(dialog));
        EXPECT_EQ(kEdgeWhite, PixelAt(dialog, accept.left, accept.top));
        Mouse(dialog, WM_LBUTTONDOWN, decline.left, decline.bottom);
        EXPECT_EQ(kEdgeBlack, PixelAt(dialog, decline.left, decline.top));
        Mouse(dialog, WM_LBUTTONUP, decline.right, decline.top);
    });
    EXPECT_EQ(0, result);
}

TEST_F(DialogTest, LicenseDialogWithoutADocumentStillAccepts) {
    strcpy(state_->language, "DEUTSCH");
    INT_PTR result = ShowLicense([](HWND dialog) {
        EXPECT_EQ(0, GetWindowTextLengthA(GetDlgItem(dialog, kIdcDocument)));
        PixelRect accept = PaintedRect(dialog, kIdcAccept);
        Mouse(dialog, WM_LBUTTONDOWN, accept.left, accept.top);
        Mouse(dialog, WM_LBUTTONUP, accept.left, accept.top);
    });
    EXPECT_EQ(1, result);
}

TEST_F(DialogTest, ALicenseDialogThatCannotBeCreatedReportsMinusOne) {
    // A module without the template: the dialog cannot be created.
    state_->instance = GetModuleHandleA("kernel32.dll");
    EXPECT_EQ(-1, ShowLicenseDialog(context_));
}

namespace {

// What a handler run through RunModalDialog saw, in the order it saw it.
std::vector<UINT> gHandledMessages;
std::vector<DialogContext*> gHandledContexts;

INT_PTR RecordingHandler(HWND dialog, UINT message, WPARAM wParam, LPARAM, DialogContext& context) {
    gHandledMessages.push_back(message);
    gHandledContexts.push_back(&context);
    if (message == WM_COMMAND && LOWORD(wParam) == kIdcOk) {
        EndDialog(dialog, 42);
        return TRUE;
    }
    return message == WM_INITDIALOG;
}

}  // namespace

TEST_F(DialogTest, ModalDialogsHandTheirContextToEveryMessageFromTheInitialisationOn) {
    gHandledMessages.clear();
    gHandledContexts.clear();
    INT_PTR result =
        RunModal([this] { return RunModalDialog("CHOOSELANGUAGEDLG", RecordingHandler, context_); },
                 [](HWND dialog) { SendMessageA(dialog, WM_COMMAND, kIdcOk, 0); });
    EXPECT_EQ(42, result);
    // The template sets a font, so WM_SETFONT comes first; it must not reach the handler.
    ASSERT_FALSE(gHandledMessages.empty());
    EXPECT_EQ(static_cast<UINT>(WM_INITDIALOG), gHandledMessages.front());
    EXPECT_NE(gHandledMessages.end(),
              std::find(gHandledMessages.begin(), gHandledMessages.end(), WM_COMMAND));
    for (DialogContext* seen : gHandledContexts) {
        EXPECT_EQ(&context_, seen);
    }

    // The template comes from the module that the state names.
    state_->instance = GetModuleHandleA("kernel32.dll");
    gHandledMessages.clear();
    EXPECT_EQ(-1, RunModalDialog("CHOOSELANGUAGEDLG", RecordingHandler, context_));
    EXPECT_TRUE(gHandledMessages.empty());
}

namespace {

// Message boxes that look at the install dialog while they are "up": the installation shows
// them from inside the Install command, with the dialog still open underneath.
class ProbingMessageBoxes : public RecordingMessageBoxes {
public:
    int Show(WindowHandle owner, const char* text, const char* caption, unsigned type) override {
        HWND dialog = FindThreadDialog(GetCurrentThreadId());
        std::string state;
        for (int id : {kIdcInstall, kIdcCancel, kIdcChangeFolder}) {
            state += IsWindowEnabled(GetDlgItem(dialog, id)) ? "on " : "off ";
        }
        enabledDuring.push_back(state);
        // What a user could press while the box is up: none of it may do anything.
        for (int id : {kIdcInstall, kIdcCancel, kIdcChangeFolder}) {
            SendMessageA(dialog, WM_COMMAND, id, 0);
        }
        return RecordingMessageBoxes::Show(owner, text, caption, type);
    }
    std::vector<std::string> enabledDuring;
};

class InstallDialogTest : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        registry_.SetValue(RegistryRoot::kLocalMachine,
                           "Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir",
                           std::string("C:\\Program Files") + '\0');
        platform_.registry = &registry_;
        platform_.shell = &shell_;
        platform_.browser = &browser_;
        platform_.fonts = &fonts_;
        platform_.versions = &versions_;
        platform_.files = &Win32Files();
        platform_.progress = &Win32ProgressBar();
        platform_.messages = &probe_;
        AddString("SETUP_INSTALL", "Installa");
        AddString("GLOBAL_CANCEL", "Annulla");
        AddString("SETUP_CHANGE_DIR", "Cambia...");
        AddString("GLOBAL_WARNING", "Attenzione");
        AddString("SETUP_ABORTED", "Installazione interrotta.");
    }
    INT_PTR ShowInstall(const std::function<void(HWND)>& user) {
        return RunModal([this] { return ShowInstallDialog(context_); }, user);
    }

    RecordingRegistry registry_;
    RecordingShell shell_;
    ScriptedFolderBrowser browser_;
    RecordingFonts fonts_;
    ScriptedFileVersions versions_;
    ProbingMessageBoxes probe_;
};

}  // namespace

TEST_F(InstallDialogTest, OpensWithTheDefaultFolderLocalizedTextsAndAnEmptyBar) {
    INT_PTR result = ShowInstall([](HWND dialog) {
        EXPECT_EQ("ZarBel PC Setup", TextOf(dialog));
        EXPECT_EQ("Installa", TextOf(GetDlgItem(dialog, kIdcInstall)));
        EXPECT_EQ("Annulla", TextOf(GetDlgItem(dialog, kIdcCancel)));
        EXPECT_EQ("Cambia...", TextOf(GetDlgItem(dialog, kIdcChangeFolder)));
        // The default keeps the case in which the registry stores it.
        EXPECT_EQ("C:\\Program Files\\ZarbelPC", TextOf(GetDlgItem(dialog, kIdcInstallFolder)));
        HWND bar = GetDlgItem(dialog, kIdcProgress);
        EXPECT_EQ(0, SendMessageA(bar, PBM_GETRANGE, TRUE, 0));
        EXPECT_EQ(100, SendMessageA(bar, PBM_GETRANGE, FALSE, 0));
        EXPECT_EQ(0, SendMessageA(bar, PBM_GETPOS, 0, 0));
        // The focus is on the first control that takes it, the Install button.
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
        EXPECT_EQ(GetDlgItem(dialog, kIdcInstall), info.hwndFocus);
        PixelPoint centre = CenterPosition(OuterRect(dialog), OuterRect(GetDesktopWindow()));
        EXPECT_EQ(centre.x, OuterRect(dialog).left);
        SendMessageA(dialog, WM_COMMAND, kIdcCancel, 0);
    });
    EXPECT_EQ(1, result);
    EXPECT_FALSE(state_->installCompleted);
    EXPECT_TRUE(probe_.shown.empty());
}

TEST_F(InstallDialogTest, ChangeThenCancelShowsTheUpperCasedDefault) {
    browser_.confirm = false;
    browser_.events = {{BrowseEvent::Initialized, ""}};
    HWND shown = nullptr;
    INT_PTR result = ShowInstall([&shown](HWND dialog) {
        shown = dialog;
        SendMessageA(dialog, WM_COMMAND, kIdcChangeFolder, 0);
        EXPECT_EQ("C:\\PROGRAM FILES\\ZARBELPC", TextOf(GetDlgItem(dialog, kIdcInstallFolder)));
        EXPECT_TRUE(IsWindowVisible(dialog)) << "Change keeps the dialog open";
        SendMessageA(dialog, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(1, result);
    EXPECT_EQ(1, browser_.browses);
    EXPECT_EQ(shown, browser_.owner);
    EXPECT_EQ("C:\\Program Files\\ZarbelPC", browser_.initialPath);
    EXPECT_FALSE(state_->installCompleted);
}

TEST_F(InstallDialogTest, AFailedInstallationEndsTheDialogWithItsButtonsOffMeanwhile) {
    INT_PTR result = ShowInstall([](HWND dialog) {
        // Too long for the installation, which refuses it before writing anything; the box is
        // read with a limit of 254 characters.
        std::string folder = "C:\\" + std::string(297, 'x');
        SetDlgItemTextA(dialog, kIdcInstallFolder, folder.c_str());
        PostMessageA(dialog, WM_COMMAND, kIdcInstall, 0);
    });
    EXPECT_EQ(1, result);
    EXPECT_EQ(254u, strlen(state_->installFolder));
    EXPECT_FALSE(state_->installCompleted);
    // The installation's own refusal, then the dialog's one message.
    ASSERT_EQ(2u, probe_.shown.size());
    EXPECT_EQ("Installazione interrotta.", probe_.shown[1].text);
    EXPECT_EQ("Attenzione", probe_.shown[1].caption);
    EXPECT_EQ(static_cast<unsigned>(MB_OK | MB_ICONERROR), probe_.shown[1].type);
    EXPECT_EQ(GetDesktopWindow(), probe_.shown[1].owner);
    // While the boxes were up the buttons were off and pressing them did nothing: no second
    // installation (that would have shown two more boxes) and no early end.
    ASSERT_EQ(2u, probe_.enabledDuring.size());
    EXPECT_EQ("off off off ", probe_.enabledDuring[0]);
    EXPECT_EQ("off off off ", probe_.enabledDuring[1]);
    EXPECT_EQ(0, browser_.browses);
}
