// Shell links through the real COM object: a saved link loads back with its target and
// description; a link that cannot be saved says why.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <string>

#include "WinTestSupport.h"
#include "doubles/Scratch.h"
#include "platform/ShellLinks.h"
#include "platform/Win32Adapters.h"

namespace {

TEST(ShellLinkAdapterTest, SavedLinkLoadsBackWithTargetAndDescription) {
    ScratchFolder scratch;
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    struct Row {
        std::string target;
        std::string linkName;
        std::string description;
    };
    const Row rows[] = {
        {std::string(windows) + "\\notepad.exe", "ZarbelPC.lnk", "ZarbelPC"},
        {std::string(windows) + "\\ZarBelPC_UNINSTALL.EXE", "Uninstall ZarbelPC.lnk",
         "ZarBelPC: Software Multimediale per Karaoke"},
        {"C:\\Program Files\\Zar Bel\\ZarbelPC.EXE", "Citt\xE0.lnk", "Karaoke \xE8 musica"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.linkName);
        std::string link = scratch.Join(row.linkName);
        EXPECT_EQ(LinkResult::kSaved,
                  Win32ShellLinks().CreateShellLink(row.target.c_str(), link.c_str(),
                                                    row.description.c_str()));
        LoadedLink loaded = LoadLink(link);
        ASSERT_TRUE(loaded.loaded);
        EXPECT_EQ(Lower(row.target), Lower(loaded.target));
        EXPECT_EQ(row.description, loaded.description);
    }
    // The ANSI link path became the right UTF-16 file name.
    if (GetACP() == 1252) {
        std::wstring wide;
        for (char c : scratch.path()) {
            wide += static_cast<wchar_t>(static_cast<unsigned char>(c));
        }
        wide += L"\\Citt\u00E0.lnk";
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(wide.c_str()));
    }
}

TEST(ShellLinkAdapterTest, LinkInAMissingFolderIsNotSaved) {
    ScratchFolder scratch;
    std::string link = scratch.Join("missing") + "\\ZarbelPC.lnk";
    EXPECT_EQ(LinkResult::kCannotSave,
              Win32ShellLinks().CreateShellLink("C:\\x.exe", link.c_str(), "ZarbelPC"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(link.c_str()));
}

TEST(ShellLinkAdapterTest, ComStaysUsableForTheCaller) {
    // The caller's own COM initialisation survives a link: the adapter balances only its own.
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    ScratchFolder scratch;
    std::string link = scratch.Join("a.lnk");
    EXPECT_EQ(LinkResult::kSaved,
              Win32ShellLinks().CreateShellLink("C:\\x.exe", link.c_str(), "d"));
    EXPECT_TRUE(LoadLink(link).loaded);
    IUnknown* object = nullptr;
    HRESULT created = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                       reinterpret_cast<void**>(&object));
    EXPECT_TRUE(SUCCEEDED(created));
    if (object != nullptr) {
        object->Release();
    }
    CoUninitialize();
}

}  // namespace
