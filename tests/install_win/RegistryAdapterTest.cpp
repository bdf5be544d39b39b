// The registry adapter against the real registry: every value read comes back terminated inside
// the buffer, whatever its type and length; and the setup's reads of Wine's own values.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <cstring>
#include <string>

#include "doubles/Doubles.h"
#include "install/InstallLocation.h"
#include "install/Shortcuts.h"
#include "platform/Platform.h"
#include "platform/Registry.h"
#include "platform/SystemPaths_win.h"
#include "platform/Win32Adapters.h"
#include "WinTestSupport.h"

namespace {

constexpr const char* kTestKey = "Software\\ZarBelPC-Tests\\Registry";

class RegistryAdapterTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0,
                                                 KEY_ALL_ACCESS, nullptr, &key_, nullptr));
    }
    void TearDown() override {
        RegCloseKey(key_);
        RegDeleteKeyA(HKEY_CURRENT_USER, kTestKey);
    }
    void Set(const char* name, DWORD type, const std::string& bytes) {
        ASSERT_EQ(ERROR_SUCCESS,
                  RegSetValueExA(key_, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                                 static_cast<DWORD>(bytes.size())));
    }

    HKEY key_ = nullptr;
};

TEST_F(RegistryAdapterTest, ValuesAreAlwaysTerminatedInsideTheBuffer) {
    Set("Text", REG_SZ, std::string("C:\\Program Files") + '\0');
    Set("NoTerminator", REG_SZ, "abcde");
    Set("Binary250", REG_BINARY, std::string(250, 'b'));
    Set("Binary256", REG_BINARY, std::string(256, 'b'));
    Set("Text255", REG_SZ, std::string(255, 't') + '\0');
    Set("Text256", REG_SZ, std::string(256, 't') + '\0');
    Set("Number", REG_DWORD, "DCBA");
    struct Row {
        const char* name;
        int expectedResult;
        std::string expectedText;
        uint32_t expectedError;
    };
    const Row rows[] = {
        {"Text", 1, "C:\\Program Files", 0},
        {"NoTerminator", 1, "abcde", 0},
        {"Binary250", 1, std::string(250, 'b'), 0},
        {"Binary256", 0, "", ERROR_MORE_DATA},
        {"Text255", 1, std::string(255, 't'), 0},
        {"Text256", 0, "", ERROR_MORE_DATA},
        {"Number", 1, "DCBA", 0},
        {"Missing", 0, "", ERROR_FILE_NOT_FOUND},
    };
    Registry& registry = Win32Registry();
    RegistryKey key = nullptr;
    uint32_t error = 0;
    ASSERT_EQ(1, registry.OpenKey(RegistryRoot::kCurrentUser, kTestKey, &key, &error));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        // The buffer is the first 256 bytes of a larger block; nothing past it may change.
        char block[300];
        memset(block, '#', sizeof block);
        error = 0;
        EXPECT_EQ(row.expectedResult, registry.QueryValue(key, row.name, block, 256, &error));
        EXPECT_EQ(row.expectedText, std::string(block));
        EXPECT_EQ(row.expectedError, error);
        EXPECT_EQ(std::string(44, '#'), std::string(block + 256, 44));
    }
    registry.CloseKey(key);

    EXPECT_EQ(0, registry.OpenKey(RegistryRoot::kCurrentUser, "Software\\ZarBelPC-Tests\\Missing",
                                  &key, &error));
    EXPECT_EQ(static_cast<uint32_t>(ERROR_FILE_NOT_FOUND), error);

    // Each root is its own: CLSID is under HKEY_CLASSES_ROOT and not under HKEY_CURRENT_USER.
    ASSERT_EQ(1, registry.OpenKey(RegistryRoot::kClassesRoot, "CLSID", &key, &error));
    registry.CloseKey(key);
    EXPECT_EQ(0, registry.OpenKey(RegistryRoot::kCurrentUser, "CLSID", &key, &error));
}

// The adapters hand a buffer's size to Win32 as a DWORD: one too large for it is offered as the
// most a DWORD counts, never as the small number a plain cast leaves (4 GiB + 5 would be 5).
TEST(Win32BufferSizeTest, ALargerSizeIsCappedNotWrapped) {
    EXPECT_EQ(260u, Win32BufferSize(260));
    EXPECT_EQ(MAXDWORD, Win32BufferSize(MAXDWORD));
    if (sizeof(size_t) > sizeof(DWORD)) {
        const uint64_t large = (uint64_t{1} << 32) + 5;
        EXPECT_EQ(MAXDWORD, Win32BufferSize(static_cast<size_t>(large)));
    }
}

TEST(RegistryErrorTextTest, SystemTextOrTheNumber) {
    char text[512];
    Win32Registry().ErrorText(ERROR_FILE_NOT_FOUND, text, sizeof text);
    EXPECT_GT(strlen(text), 5u) << text;
    EXPECT_STRNE("2", text);
    // A code the system has no text for.
    Win32Registry().ErrorText(0x2000ABCD, text, sizeof text);
    EXPECT_STREQ("536914893", text);
    // A small buffer is filled and terminated, never overrun.
    char small[8];
    memset(small, '#', sizeof small);
    Win32Registry().ErrorText(ERROR_FILE_NOT_FOUND, small, 6);
    EXPECT_EQ(5u, strlen(small));
    EXPECT_EQ('#', small[6]);
}

// The setup's own reads, against the values Wine keeps.
TEST(WineRegistryTest, ProgramFilesAndShellFolders) {
    RecordingMessageBoxes messages;
    Platform platform;
    platform.system = &Win32System();
    platform.registry = &Win32Registry();
    platform.messages = &messages;

    char programFiles[256];
    ASSERT_EQ(1, ReadProgramFilesDir(platform, programFiles, sizeof programFiles));
    char expected[MAX_PATH];
    ASSERT_TRUE(SUCCEEDED(
        SHGetFolderPathA(nullptr, 0x0026 /* CSIDL_PROGRAM_FILES */, nullptr, 0, expected)));
    EXPECT_EQ(Lower(expected), Lower(programFiles));
    char folder[1024];
    MakeDefaultInstallFolder(platform, folder, sizeof folder);
    EXPECT_EQ(std::string(programFiles) + "\\ZarbelPC", folder);

    HKEY shellFolders;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_CURRENT_USER,
                            "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                            0, KEY_QUERY_VALUE, &shellFolders));
    for (const char* name : {"Desktop", "SendTo", "Start Menu", "Programs"}) {
        char direct[MAX_PATH] = "";
        DWORD size = sizeof direct;
        ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExA(shellFolders, name, nullptr, nullptr,
                                                  reinterpret_cast<BYTE*>(direct), &size))
            << name;
        char read[kShellFolderSize];
        EXPECT_EQ(1, GetShellFolder(platform, read, sizeof read, name)) << name;
        EXPECT_STREQ(direct, read) << name;
        EXPECT_EQ(0, strncmp(read, "C:\\", 3)) << read;
    }
    RegCloseKey(shellFolders);
    EXPECT_TRUE(messages.shown.empty());

    // A value Wine does not have: the system's text first, then the fixed message.
    char read[kShellFolderSize];
    EXPECT_EQ(0, GetShellFolder(platform, read, sizeof read, "No Such Folder"));
    EXPECT_STREQ("C:\\", read);
    ASSERT_EQ(2u, messages.shown.size());
    char systemText[512];
    Win32Registry().ErrorText(ERROR_FILE_NOT_FOUND, systemText, sizeof systemText);
    EXPECT_EQ(systemText, messages.shown[0].text);
    EXPECT_EQ("Can't find registry key:\\HKEY_CURRENT_USER", messages.shown[1].text);
}

// Writing: the key is made with its missing parents, strings are stored as REG_SZ with their
// terminator and numbers as REG_DWORD, as the system's list of programs reads them.
TEST_F(RegistryAdapterTest, CreatesKeysAndSetsStringsAndNumbers) {
    const std::string sub = std::string(kTestKey) + "\\Made\\Deeper";
    Registry& registry = Win32Registry();
    RegistryKey key = nullptr;
    uint32_t error = 0;
    ASSERT_EQ(1, registry.CreateKey(RegistryRoot::kCurrentUser, sub.c_str(), &key, &error))
        << error;
    EXPECT_EQ(1, registry.SetString(key, "Text", "\"C:\\windows\\x.exe\" /quiet", &error));
    EXPECT_EQ(1, registry.SetNumber(key, "Size", 0x12345, &error));
    registry.CloseKey(key);

    HKEY read = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_CURRENT_USER, sub.c_str(), 0, KEY_QUERY_VALUE, &read));
    char text[64] = {};
    DWORD type = 0;
    DWORD size = sizeof text;
    EXPECT_EQ(ERROR_SUCCESS,
              RegQueryValueExA(read, "Text", nullptr, &type, reinterpret_cast<BYTE*>(text), &size));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_EQ(strlen("\"C:\\windows\\x.exe\" /quiet") + 1, size);
    EXPECT_STREQ("\"C:\\windows\\x.exe\" /quiet", text);
    DWORD number = 0;
    size = sizeof number;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(read, "Size", nullptr, &type,
                                              reinterpret_cast<BYTE*>(&number), &size));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
    EXPECT_EQ(0x12345u, number);
    RegCloseKey(read);
    RegDeleteKeyA(HKEY_CURRENT_USER, sub.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, (std::string(kTestKey) + "\\Made").c_str());
}

}  // namespace
