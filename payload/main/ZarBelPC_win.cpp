// ZarBelPC: the product's main program. It shows the settings that the setup left in
// ZarBelPC.INI and the songs it finds; "/dump FILE" writes those settings to FILE instead.
#include <windows.h>

#include <cstdio>

#include "payload/common/CommandLine.h"
#include "payload/main/SettingsView.h"
#include "payload/songcheck/SongFolder.h"
#include "records/SettingsFile.h"

namespace {

constexpr const char* kWindowClass = "ZarBelPCMain";
constexpr const char* kWindowTitle = "ZarBelPC";
constexpr int kIdcSettingsText = 1001;

settings::Values gValues;
char gViewText[4096];

void ReadValues(settings::Values* values) {
    for (int i = 0; i < settings::kItemCount; ++i) {
        GetPrivateProfileStringA(settings::kItems[i].section, settings::kItems[i].key, "",
                                 values->value[i], sizeof values->value[i], settings::kFileName);
    }
}

int WriteDump(const char* file) {
    char dump[settings::kItemCount * (settings::kValueSize + 32)];
    if (!settings::FormatDump(gValues, dump, sizeof dump)) {
        return 0;
    }
    FILE* out = fopen(file, "w");
    if (out == nullptr) {
        return 0;
    }
    int ok = fputs(dump, out) >= 0;
    return (fclose(out) == 0) && ok;
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: {
            HWND edit = CreateWindowExA(
                WS_EX_CLIENTEDGE, "EDIT", gViewText,
                WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 0,
                0, 0, 0, window, reinterpret_cast<HMENU>(kIdcSettingsText), nullptr, nullptr);
            SendMessageA(edit, WM_SETFONT,
                         reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
            return 0;
        }
        case WM_SIZE:
            MoveWindow(GetDlgItem(window, kIdcSettingsText), 8, 8, LOWORD(lParam) - 16,
                       HIWORD(lParam) - 16, TRUE);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    settings::Options options;
    if (!settings::ParseOptions(cmdline::SkipProgramName(GetCommandLineA()), &options)) {
        MessageBoxA(nullptr, "Usage: ZarBelPC.EXE [song file] | /dump FILE", kWindowTitle,
                    MB_OK | MB_ICONERROR);
        return 2;
    }
    ReadValues(&gValues);
    if (options.dump) {
        return WriteDump(options.dumpFile) ? 0 : 1;
    }

    int songCount = songs::ForEachSong(gValues.value[settings::kSongFolderItem], nullptr, nullptr);
    settings::FormatView(gValues, songCount, options.songFile, gViewText, sizeof gViewText);

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWindowClass;
    if (!RegisterClassA(&windowClass)) {
        return 1;
    }
    HWND window = CreateWindowExA(0, kWindowClass, kWindowTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 560, 320, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        return 1;
    }
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
