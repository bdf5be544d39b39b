// The end-to-end test driver: starts a program in the same Wine prefix, follows a script of steps
// against its windows and prints what it sees, one observation a line (driver/Report.h).
// Windows are found by polling for a condition, never by sleeping for a fixed time.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "driver/Bitmap.h"
#include "driver/Recognise.h"
#include "driver/Report.h"
#include "driver/Script.h"
#include "ui/DialogLayout.h"

namespace {

using namespace e2e;

constexpr DWORD kPollMs = 25;
constexpr UINT kSendTimeoutMs = 3000;

void Print(const ReportLine& line) {
    fputs(line.Text().c_str(), stdout);
    fputc('\n', stdout);
    fflush(stdout);
}

std::string ClassOf(HWND window) {
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

// The caption of a top-level window (kept by the system, readable across processes).
std::string TitleOf(HWND window) {
    char title[1024] = "";
    GetWindowTextA(window, title, sizeof title);
    return title;
}

// The text of a control of another process: only WM_GETTEXT reaches it.
std::string ControlText(HWND control) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(control, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                             &length)) {
        return std::string();
    }
    std::vector<char> buffer(length + 2, '\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutA(control, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                        SMTO_ABORTIFHUNG, kSendTimeoutMs, &copied);
    return std::string(buffer.data(), strnlen(buffer.data(), buffer.size()));
}

BOOL CALLBACK CollectChild(HWND child, LPARAM param) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(child);
    return TRUE;
}

std::vector<HWND> ChildWindows(HWND window) {
    std::vector<HWND> children;
    EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&children));
    return children;
}

std::vector<ChildControl> ChildControls(HWND window) {
    std::vector<ChildControl> controls;
    for (HWND child : ChildWindows(window)) {
        ChildControl control;
        control.className = ClassOf(child);
        control.id = GetDlgCtrlID(child);
        control.visible = IsWindowVisible(child) != FALSE;
        controls.push_back(control);
    }
    return controls;
}

bool IsMessageBoxWindow(HWND window) {
    return LooksLikeMessageBox(ClassOf(window), ChildControls(window));
}

struct WindowSearch {
    DWORD processId;  // 0: every process
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM param) {
    WindowSearch* search = reinterpret_cast<WindowSearch*>(param);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if ((search->processId == 0 || processId == search->processId) && IsWindowVisible(window)) {
        search->found.push_back(window);
    }
    return TRUE;
}

RECT ScreenRectOf(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

// A 32-bit top-down bitmap selected into a memory DC: what the driver draws and copies into.
class Canvas {
public:
    Canvas(int width, int height) : width_(width), height_(height) {
        screen_ = GetDC(nullptr);
        memory_ = CreateCompatibleDC(screen_);
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;  // top-down
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        bitmap_ = CreateDIBSection(memory_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
        if (bitmap_ != nullptr) {
            old_ = SelectObject(memory_, bitmap_);
        }
    }
    ~Canvas() {
        if (bitmap_ != nullptr) {
            SelectObject(memory_, old_);
            DeleteObject(bitmap_);
        }
        DeleteDC(memory_);
        ReleaseDC(nullptr, screen_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    bool ok() const { return bitmap_ != nullptr; }
    HDC dc() const { return memory_; }
    HDC screen() const { return screen_; }
    Pixels Take() const {
        GdiFlush();
        Pixels pixels;
        pixels.width = width_;
        pixels.height = height_;
        const uint32_t* source = static_cast<const uint32_t*>(bits_);
        pixels.data.assign(source, source + static_cast<size_t>(width_) * height_);
        for (uint32_t& pixel : pixels.data) {
            pixel &= 0xFFFFFF;
        }
        return pixels;
    }

private:
    int width_;
    int height_;
    HDC screen_ = nullptr;
    HDC memory_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    void* bits_ = nullptr;
};

// Copies a rectangle of the screen (clipped to it). Returns false when nothing is left of it.
bool CaptureScreen(RECT rect, Pixels* pixels) {
    rect.left = rect.left < 0 ? 0 : rect.left;
    rect.top = rect.top < 0 ? 0 : rect.top;
    LONG screenWidth = GetSystemMetrics(SM_CXSCREEN);
    LONG screenHeight = GetSystemMetrics(SM_CYSCREEN);
    rect.right = rect.right > screenWidth ? screenWidth : rect.right;
    rect.bottom = rect.bottom > screenHeight ? screenHeight : rect.bottom;
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) {
        return false;
    }
    Canvas canvas(width, height);
    if (!canvas.ok() || !BitBlt(canvas.dc(), 0, 0, width, height, canvas.screen(), rect.left,
                                rect.top, SRCCOPY | CAPTUREBLT)) {
        return false;
    }
    *pixels = canvas.Take();
    return true;
}

// The system's standard icon drawn at the given size over black and over white.
IconSample RenderIcon(const char* name, LPCSTR iconId, int width, int height) {
    IconSample sample;
    sample.name = name;
    HICON icon = LoadIconA(nullptr, iconId);
    for (int pass = 0; pass < 2; ++pass) {
        Canvas canvas(width, height);
        if (!canvas.ok()) {
            continue;
        }
        RECT all = {0, 0, width, height};
        FillRect(canvas.dc(), &all,
                 static_cast<HBRUSH>(GetStockObject(pass == 0 ? BLACK_BRUSH : WHITE_BRUSH)));
        if (icon != nullptr) {
            DrawIconEx(canvas.dc(), 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
        }
        (pass == 0 ? sample.overBlack : sample.overWhite) = canvas.Take();
    }
    return sample;
}

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    return CloseHandle(file) && ok && written == bytes.size();
}

bool ReadWholeFile(const std::string& path, std::string* bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    bytes->clear();
    char buffer[4096];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(file, buffer, sizeof buffer, &got, nullptr) != FALSE) && got > 0) {
        bytes->append(buffer, got);
    }
    CloseHandle(file);
    return ok;
}

// Creates every missing level of a folder path.
void MakeFolders(const std::string& folder) {
    for (size_t i = 0; i <= folder.size(); ++i) {
        if (i == folder.size() || folder[i] == '\\' || folder[i] == '/') {
            std::string level = folder.substr(0, i);
            if (!level.empty() && level.back() != ':') {
                CreateDirectoryA(level.c_str(), nullptr);
            }
        }
    }
}

class Driver {
public:
    explicit Driver(const DriverOptions& options) : options_(options) {}

    bool Start();
    // Runs the steps in order; stops at the first that fails.
    bool Run(const std::vector<Step>& steps);
    // Ends a program that is still running after a failure.
    void Abandon();

private:
    enum class Outcome { kReady, kTimeout, kExited, kMessageBox };

    bool RunStep(const Step& step);
    bool Fail(const std::string& why);
    int TimeoutOf(const Step& step) const {
        return (step.timeoutMs >= 0 ? step.timeoutMs : options_.timeoutMs) * options_.slow;
    }
    bool Running() const { return WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT; }
    std::vector<HWND> ProgramWindows() const;
    HWND FindMessageBox() const;
    // Polls until ready() holds. A message box that the step does not wait for ends the wait.
    Outcome PollFor(int timeoutMs, bool messageBoxEndsWait, const std::function<bool()>& ready);
    bool FailWait(Outcome outcome, const std::string& what);
    bool NeedCurrent();
    HWND Control(int id, bool mayBeMissing);
    bool Matches(HWND window, const Step& step) const;

    bool WaitWindow(const Step& step);
    bool WaitGone(const Step& step);
    bool Click(const Step& step);
    bool SetCheck(const Step& step);
    bool Mouse(const Step& step);
    bool PaintedPoint(const Step& step, int* x, int* y);
    bool WaitMessageBox(const Step& step);
    bool AnswerMessageBox(const Step& step);
    bool Screenshot(const Step& step);
    bool WaitExit(const Step& step);

    void ReportMessageBox(HWND box, const char* answer, const std::string& icon);
    std::string RecogniseBoxIcon(HWND box);
    bool CaptureSettled(HWND window, Pixels* pixels);
    bool SaveShot(HWND window, const std::string& path);
    void AutoShot(HWND window);
    void ReportExit();

    DriverOptions options_;
    PROCESS_INFORMATION process_ = {};
    HWND current_ = nullptr;
    bool buttonDown_ = false;
    bool exitReported_ = false;
    int shotCount_ = 0;
    std::vector<HWND> shot_;
    size_t stepNumber_ = 0;
    const Step* step_ = nullptr;
};

bool Driver::Start() {
    std::string commandLine = "\"" + options_.program + "\"";
    if (!options_.programArgs.empty()) {
        commandLine += " " + options_.programArgs;
    }
    std::vector<char> mutableLine(commandLine.begin(), commandLine.end());
    mutableLine.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    const char* folder = options_.currentFolder.empty() ? nullptr : options_.currentFolder.c_str();
    if (!CreateProcessA(options_.program.c_str(), mutableLine.data(), nullptr, nullptr, FALSE, 0,
                        nullptr, folder, &startup, &process_)) {
        Print(ReportLine("FAIL")
                  .Add("reason", "cannot start " + options_.program)
                  .Add("error", static_cast<long long>(GetLastError())));
        return false;
    }
    Print(ReportLine("START")
              .Add("program", options_.program)
              .Add("pid", static_cast<long long>(process_.dwProcessId)));
    return true;
}

bool Driver::Run(const std::vector<Step>& steps) {
    for (stepNumber_ = 1; stepNumber_ <= steps.size(); ++stepNumber_) {
        step_ = &steps[stepNumber_ - 1];
        if (!RunStep(*step_)) {
            return false;
        }
    }
    step_ = nullptr;
    if (Running()) {
        return Fail("the program is still running after the last step");
    }
    ReportExit();
    Print(ReportLine("DONE").Add("steps", static_cast<long long>(steps.size())));
    return true;
}

void Driver::Abandon() {
    if (process_.hProcess == nullptr || !Running()) {
        return;
    }
    for (HWND window : ProgramWindows()) {
        Print(ReportLine("OPEN").Add("class", ClassOf(window)).Add("title", TitleOf(window)));
    }
    TerminateProcess(process_.hProcess, 255);
    WaitForSingleObject(process_.hProcess, 5000);
    Print(ReportLine("TERMINATED").Add("pid", static_cast<long long>(process_.dwProcessId)));
}

bool Driver::Fail(const std::string& why) {
    ReportLine line("FAIL");
    if (step_ != nullptr) {
        line.Add("step", static_cast<long long>(stepNumber_)).Add("source", step_->source);
    }
    Print(line.Add("reason", why));
    return false;
}

std::vector<HWND> Driver::ProgramWindows() const {
    WindowSearch search = {options_.anyProcess ? 0 : process_.dwProcessId, {}};
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND Driver::FindMessageBox() const {
    for (HWND window : ProgramWindows()) {
        if (IsMessageBoxWindow(window)) {
            return window;
        }
    }
    return nullptr;
}

Driver::Outcome Driver::PollFor(int timeoutMs, bool messageBoxEndsWait,
                                const std::function<bool()>& ready) {
    DWORD start = GetTickCount();
    for (;;) {
        if (ready()) {
            return Outcome::kReady;
        }
        if (messageBoxEndsWait && FindMessageBox() != nullptr) {
            return Outcome::kMessageBox;
        }
        if (!Running()) {
            return ready() ? Outcome::kReady : Outcome::kExited;
        }
        if (GetTickCount() - start >= static_cast<DWORD>(timeoutMs)) {
            return Outcome::kTimeout;
        }
        Sleep(kPollMs);
    }
}

bool Driver::FailWait(Outcome outcome, const std::string& what) {
    switch (outcome) {
        case Outcome::kMessageBox: {
            HWND box = FindMessageBox();
            if (box != nullptr) {
                ReportMessageBox(box, "", RecogniseBoxIcon(box));
            }
            return Fail("a message box showed up while waiting for " + what);
        }
        case Outcome::kExited:
            ReportExit();
            return Fail("the program ended while waiting for " + what);
        default:
            return Fail("timed out waiting for " + what);
    }
}

bool Driver::NeedCurrent() {
    if (current_ == nullptr || !IsWindow(current_)) {
        return Fail("no current window: a wait-window step must find one first");
    }
    return true;
}

HWND Driver::Control(int id, bool mayBeMissing) {
    HWND control = GetDlgItem(current_, id);
    if (control == nullptr && !mayBeMissing) {
        Fail("the current window has no control " + std::to_string(id));
    }
    return control;
}

bool Driver::Matches(HWND window, const Step& step) const {
    if (IsMessageBoxWindow(window)) {
        return false;  // answer-msgbox handles those
    }
    if (!step.windowClass.empty() && ClassOf(window) != step.windowClass) {
        return false;
    }
    std::string title = TitleOf(window);
    if (!step.title.empty() && title != step.title) {
        return false;
    }
    if (!step.titlePart.empty() && title.find(step.titlePart) == std::string::npos) {
        return false;
    }
    for (int id : step.controls) {
        if (GetDlgItem(window, id) == nullptr) {
            return false;
        }
    }
    return true;
}

bool Driver::RunStep(const Step& step) {
    switch (step.kind) {
        case StepKind::kWaitWindow:
            return WaitWindow(step);
        case StepKind::kWaitGone:
            return WaitGone(step);
        case StepKind::kClick:
            return Click(step);
        case StepKind::kSetCheck:
            return SetCheck(step);
        case StepKind::kSetText: {
            if (!NeedCurrent()) {
                return false;
            }
            HWND control = Control(step.id, false);
            DWORD_PTR result = 0;
            if (control == nullptr ||
                !SendMessageTimeoutA(control, WM_SETTEXT, 0,
                                     reinterpret_cast<LPARAM>(step.text.c_str()), SMTO_ABORTIFHUNG,
                                     kSendTimeoutMs, &result)) {
                return control == nullptr ? false : Fail("the control did not take the text");
            }
            Print(ReportLine("SET-TEXT").Add("id", step.id).Add("text", ControlText(control)));
            return true;
        }
        case StepKind::kReadText: {
            HWND control = NeedCurrent() ? Control(step.id, false) : nullptr;
            if (control == nullptr) {
                return false;
            }
            Print(ReportLine("TEXT").Add("id", step.id).Add("text", ControlText(control)));
            return true;
        }
        case StepKind::kReadCheck:
        case StepKind::kReadProgress: {
            HWND control = NeedCurrent() ? Control(step.id, false) : nullptr;
            if (control == nullptr) {
                return false;
            }
            bool check = step.kind == StepKind::kReadCheck;
            DWORD_PTR value = 0;
            if (!SendMessageTimeoutA(control, check ? BM_GETCHECK : PBM_GETPOS, 0, 0,
                                     SMTO_ABORTIFHUNG, kSendTimeoutMs, &value)) {
                return Fail("the control did not answer");
            }
            Print(ReportLine(check ? "CHECK" : "PROGRESS")
                      .Add("id", step.id)
                      .Add(check ? "state" : "pos", static_cast<long long>(value)));
            return true;
        }
        case StepKind::kReadEnabled: {
            HWND control = NeedCurrent() ? Control(step.id, false) : nullptr;
            if (control == nullptr) {
                return false;
            }
            Print(ReportLine("ENABLED")
                      .Add("id", step.id)
                      .Add("state", IsWindowEnabled(control) ? 1 : 0));
            return true;
        }
        case StepKind::kMouseDown:
        case StepKind::kMouseUp:
        case StepKind::kMouseMove:
            return Mouse(step);
        case StepKind::kWaitMsgBox:
            return WaitMessageBox(step);
        case StepKind::kAnswerMsgBox:
            return AnswerMessageBox(step);
        case StepKind::kScreenshot:
            return Screenshot(step);
        case StepKind::kWaitExit:
            return WaitExit(step);
    }
    return Fail("unknown step");
}

bool Driver::WaitWindow(const Step& step) {
    HWND found = nullptr;
    Outcome outcome = PollFor(TimeoutOf(step), true, [&] {
        for (HWND window : ProgramWindows()) {
            if (Matches(window, step)) {
                found = window;
                return true;
            }
        }
        return false;
    });
    if (outcome != Outcome::kReady) {
        return FailWait(outcome, "the window");
    }
    current_ = found;
    RECT rect = ScreenRectOf(found);
    Print(ReportLine("WINDOW")
              .Add("class", ClassOf(found))
              .Add("title", TitleOf(found))
              .Add("x", rect.left)
              .Add("y", rect.top)
              .Add("width", rect.right - rect.left)
              .Add("height", rect.bottom - rect.top));
    AutoShot(found);
    return true;
}

bool Driver::WaitGone(const Step& step) {
    if (!NeedCurrent()) {
        return false;
    }
    std::string title = TitleOf(current_);
    HWND window = current_;
    Outcome outcome = PollFor(TimeoutOf(step), true,
                              [&] { return !IsWindow(window) || !IsWindowVisible(window); });
    if (outcome != Outcome::kReady) {
        return FailWait(outcome, "the window to close");
    }
    current_ = nullptr;
    Print(ReportLine("GONE").Add("title", title));
    return true;
}

bool Driver::Click(const Step& step) {
    if (!NeedCurrent()) {
        return false;
    }
    // OK and Cancel reach a dialog without a button too (Enter, Escape, the close box).
    HWND control = Control(step.id, step.id == IDOK || step.id == IDCANCEL);
    if (control == nullptr && step.id != IDOK && step.id != IDCANCEL) {
        return false;
    }
    if (control != nullptr && !IsWindowEnabled(control)) {
        return Fail("control " + std::to_string(step.id) + " is disabled");
    }
    // Posted: the command may open a modal loop (Install, Change) that would hold a sent message.
    if (!PostMessageA(current_, WM_COMMAND, MAKEWPARAM(step.id, BN_CLICKED),
                      reinterpret_cast<LPARAM>(control))) {
        return Fail("cannot post the command");
    }
    Print(ReportLine("CLICK").Add("id", step.id).Add("control", control != nullptr ? 1 : 0));
    return true;
}

bool Driver::SetCheck(const Step& step) {
    if (!NeedCurrent()) {
        return false;
    }
    HWND control = Control(step.id, false);
    if (control == nullptr) {
        return false;
    }
    auto state = [&]() -> int {
        DWORD_PTR value = 0;
        SendMessageTimeoutA(control, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &value);
        return value == BST_CHECKED ? 1 : 0;
    };
    if (state() != step.state) {
        // A click, as the user makes it: an automatic radio button unchecks its group and the
        // dialog hears BN_CLICKED.
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(control, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &ignored);
    }
    if (state() != step.state) {
        // Not an automatic button: set the state and tell the dialog.
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(control, BM_SETCHECK, step.state ? BST_CHECKED : BST_UNCHECKED, 0,
                            SMTO_ABORTIFHUNG, kSendTimeoutMs, &ignored);
        PostMessageA(current_, WM_COMMAND, MAKEWPARAM(step.id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(control));
    }
    int now = state();
    Print(ReportLine("CHECK").Add("id", step.id).Add("state", now));
    return now == step.state ? true : Fail("the control keeps its state");
}

bool Driver::Mouse(const Step& step) {
    if (!NeedCurrent()) {
        return false;
    }
    UINT message = WM_MOUSEMOVE;
    const char* action = "move";
    if (step.kind == StepKind::kMouseDown) {
        message = WM_LBUTTONDOWN;
        action = "down";
        buttonDown_ = true;
    } else if (step.kind == StepKind::kMouseUp) {
        message = WM_LBUTTONUP;
        action = "up";
        buttonDown_ = false;
    }
    int x = step.x;
    int y = step.y;
    if (step.painted != 0 && !PaintedPoint(step, &x, &y)) {
        return false;
    }
    WPARAM keys = buttonDown_ ? MK_LBUTTON : 0;
    LPARAM where = MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y));
    if (!PostMessageA(current_, message, keys, where)) {
        return Fail("cannot post the mouse message");
    }
    Print(ReportLine("MOUSE").Add("action", action).Add("x", x).Add("y", y));
    return true;
}

// The license dialog paints its buttons where its hidden buttons lie, in client coordinates
// computed from the outer window rectangles (ui/DialogLayout.h); the point is found the same way.
bool Driver::PaintedPoint(const Step& step, int* x, int* y) {
    HWND button = Control(step.painted, false);
    if (button == nullptr) {
        return false;
    }
    RECT dialog = ScreenRectOf(current_);
    RECT hidden = ScreenRectOf(button);
    PixelRect painted = PaintedButtonRect({dialog.left, dialog.top, dialog.right, dialog.bottom},
                                          {hidden.left, hidden.top, hidden.right, hidden.bottom});
    int baseX = painted.left;
    int baseY = painted.top;
    if (step.anchor == "right-bottom") {
        baseX = painted.right;
        baseY = painted.bottom;
    } else if (step.anchor == "center") {
        baseX = (painted.left + painted.right) / 2;
        baseY = (painted.top + painted.bottom) / 2;
    }
    *x = baseX + step.x;
    *y = baseY + step.y;
    Print(ReportLine("PAINTED")
              .Add("id", step.painted)
              .Add("left", painted.left)
              .Add("top", painted.top)
              .Add("right", painted.right)
              .Add("bottom", painted.bottom));
    return true;
}

bool Driver::WaitMessageBox(const Step& step) {
    HWND box = nullptr;
    Outcome outcome =
        PollFor(TimeoutOf(step), false, [&] { return (box = FindMessageBox()) != nullptr; });
    if (outcome != Outcome::kReady) {
        return FailWait(outcome, "a message box");
    }
    Print(ReportLine("BOXUP").Add("caption", TitleOf(box)));
    return true;
}

std::string Driver::RecogniseBoxIcon(HWND box) {
    HWND iconControl = nullptr;
    for (HWND child : ChildWindows(box)) {
        LONG style = GetWindowLongA(child, GWL_STYLE);
        if (ClassOf(child) == "Static" && (style & SS_TYPEMASK) == SS_ICON &&
            IsWindowVisible(child)) {
            iconControl = child;
        }
    }
    DWORD_PTR icon = 0;
    if (iconControl != nullptr) {
        // The handle means nothing in this process, but a box without an icon has none at all.
        SendMessageTimeoutA(iconControl, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                            &icon);
    }
    if (icon == 0) {
        return "none";
    }
    RECT client = {};
    GetClientRect(iconControl, &client);
    MapWindowPoints(iconControl, nullptr, reinterpret_cast<POINT*>(&client), 2);
    int width = client.right - client.left;
    int height = client.bottom - client.top;
    if (width <= 0 || height <= 0) {
        return "none";
    }
    std::vector<IconSample> samples = {
        RenderIcon("error", IDI_HAND, width, height),
        RenderIcon("question", IDI_QUESTION, width, height),
        RenderIcon("warning", IDI_EXCLAMATION, width, height),
        RenderIcon("information", IDI_ASTERISK, width, height),
    };
    // The box may not be painted yet: look again until the icon is seen (or give up).
    std::string name = "unknown";
    DWORD start = GetTickCount();
    do {
        Pixels captured;
        if (CaptureScreen(client, &captured)) {
            name = RecogniseIcon(captured, samples);
        }
        if (name != "unknown") {
            break;
        }
        Sleep(kPollMs);
    } while (GetTickCount() - start < static_cast<DWORD>(3000 * options_.slow));
    return name;
}

void Driver::ReportMessageBox(HWND box, const char* answer, const std::string& icon) {
    HWND textControl = GetDlgItem(box, kMessageTextId);
    std::vector<std::pair<LONG, int>> buttons;
    for (HWND child : ChildWindows(box)) {
        int id = GetDlgCtrlID(child);
        if (ClassOf(child) == "Button" && IsWindowVisible(child) && ButtonName(id) != nullptr) {
            buttons.emplace_back(ScreenRectOf(child).left, id);
        }
    }
    std::sort(buttons.begin(), buttons.end());
    std::string names;
    for (const auto& button : buttons) {
        names += (names.empty() ? "" : ",") + std::string(ButtonName(button.second));
    }
    ReportLine line("MSGBOX");
    line.Add("caption", TitleOf(box))
        .Add("text", textControl != nullptr ? ControlText(textControl) : std::string())
        .Add("icon", icon)
        .Add("buttons", names);
    if (answer[0] != '\0') {
        line.Add("answer", answer);
    }
    Print(line);
}

bool Driver::AnswerMessageBox(const Step& step) {
    HWND box = nullptr;
    Outcome outcome =
        PollFor(TimeoutOf(step), false, [&] { return (box = FindMessageBox()) != nullptr; });
    if (outcome != Outcome::kReady) {
        return FailWait(outcome, "a message box");
    }
    // The icon is looked for until the box has been painted: only then its picture.
    std::string icon = RecogniseBoxIcon(box);
    AutoShot(box);
    HWND button = GetDlgItem(box, step.id);
    bool present = button != nullptr && IsWindowVisible(button);
    ReportMessageBox(box, present ? ButtonName(step.id) : "", icon);
    if (!present) {
        return Fail(std::string("the message box has no button ") + ButtonName(step.id));
    }
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(step.id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
    if (PollFor(TimeoutOf(step), false, [&] { return !IsWindow(box) || !IsWindowVisible(box); }) ==
        Outcome::kTimeout) {
        return Fail("the message box stays after the answer");
    }
    return true;
}

bool Driver::CaptureSettled(HWND window, Pixels* pixels) {
    // Let the program work through its queue, then take the picture once it stops changing.
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &ignored);
    Pixels previous;
    if (!CaptureScreen(ScreenRectOf(window), &previous)) {
        return false;
    }
    for (int tries = 0; tries < 40; ++tries) {
        Sleep(50);
        if (!CaptureScreen(ScreenRectOf(window), pixels)) {
            return false;
        }
        if (pixels->width == previous.width && pixels->height == previous.height &&
            pixels->data == previous.data) {
            return true;
        }
        previous = *pixels;
    }
    return true;  // still changing (an animation): the latest picture
}

bool Driver::SaveShot(HWND window, const std::string& path) {
    Pixels pixels;
    if (!CaptureSettled(window, &pixels)) {
        return Fail("cannot capture the window");
    }
    std::string bmp = EncodeBmp24(pixels);
    if (bmp.empty() || !WriteWholeFile(path, bmp)) {
        return Fail("cannot write " + path);
    }
    Print(ReportLine("SCREENSHOT")
              .Add("file", path)
              .Add("width", pixels.width)
              .Add("height", pixels.height));
    return true;
}

void Driver::AutoShot(HWND window) {
    if (options_.shotsFolder.empty()) {
        return;
    }
    for (HWND seen : shot_) {
        if (seen == window) {
            return;
        }
    }
    shot_.push_back(window);
    MakeFolders(options_.shotsFolder);
    SaveShot(window, options_.shotsFolder + "\\" + ShotFileName(++shotCount_, TitleOf(window)));
}

bool Driver::Screenshot(const Step& step) {
    if (!NeedCurrent()) {
        return false;
    }
    std::string path = step.text;
    bool relative = path.find(':') == std::string::npos && path[0] != '\\' && path[0] != '/';
    if (relative && !options_.shotsFolder.empty()) {
        MakeFolders(options_.shotsFolder);
        path = options_.shotsFolder + "\\" + path;
    }
    return SaveShot(current_, path);
}

void Driver::ReportExit() {
    if (exitReported_) {
        return;
    }
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    Print(ReportLine("EXIT").Add("code", static_cast<long long>(code)));
    exitReported_ = true;
}

bool Driver::WaitExit(const Step& step) {
    Outcome outcome = PollFor(TimeoutOf(step), true, [&] { return !Running(); });
    if (outcome != Outcome::kReady) {
        return FailWait(outcome, "the program to end");
    }
    ReportExit();
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    DriverOptions options;
    std::string error;
    if (!ParseDriverArgs(args, &options, &error)) {
        Print(ReportLine("FAIL").Add("reason", error));
        fprintf(stderr,
                "usage: zbdriver.exe [--timeout MS] [--slow N] [--cwd DIR] [--args TEXT]\n"
                "                    [--shots DIR] [--script FILE] [--windows program|any]\n"
                "                    PROGRAM [STEP ...]\n");
        return 2;
    }
    std::vector<Step> steps;
    if (!options.scriptFile.empty()) {
        std::string script;
        if (!ReadWholeFile(options.scriptFile, &script)) {
            Print(ReportLine("FAIL").Add("reason", "cannot read " + options.scriptFile));
            return 2;
        }
        if (!ParseScript(script, &steps, &error)) {
            Print(ReportLine("FAIL").Add("reason", options.scriptFile + ": " + error));
            return 2;
        }
    }
    for (size_t i = 0; i < options.steps.size(); ++i) {
        Step step;
        if (!ParseStep(options.steps[i], &step, &error)) {
            Print(ReportLine("FAIL").Add("reason",
                                         "step argument " + std::to_string(i + 1) + ": " + error));
            return 2;
        }
        steps.push_back(step);
    }
    Driver driver(options);
    if (!driver.Start()) {
        return 1;
    }
    bool ok = driver.Run(steps);
    if (!ok) {
        driver.Abandon();
    }
    return ok ? 0 : 1;
}
