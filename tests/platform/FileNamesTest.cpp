// The rule for names Windows stores as given, in one table. Under wine64 every name the rule
// accepts is also written and must then be listed under exactly that name.
#include <gtest/gtest.h>

#include <string>

#include "doubles/Scratch.h"
#include "platform/FileNames.h"
#ifdef _WIN32
#include <windows.h>
#endif

namespace {

enum Why { kStored, kNotAName, kTooLong, kCharacter, kTrailing, kDevice };

Why Classify(const char* reason) {
    if (reason == nullptr) {
        return kStored;
    }
    std::string why = reason;
    if (why.find("device") != std::string::npos) {
        return kDevice;
    }
    if (why.find("dot or a blank") != std::string::npos) {
        return kTrailing;
    }
    if (why.find("character Windows") != std::string::npos) {
        return kCharacter;
    }
    if (why.find("255") != std::string::npos) {
        return kTooLong;
    }
    return kNotAName;
}

#ifdef _WIN32
// True when the folder lists a file under exactly that name.
bool Lists(const std::string& folder, const std::string& name) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    bool listed = false;
    if (search == INVALID_HANDLE_VALUE) {
        return listed;
    }
    do {
        listed = listed || name == found.cFileName;
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return listed;
}
#endif

TEST(FileNames, WhichNamesWindowsStoresAsGiven) {
    const std::string longest(255, 'n');
    const std::string tooLong(256, 'n');
    const struct {
        std::string name;
        Why why;
    } rows[] = {
        {"A.TXT", kStored},
        {"ZarBelPC_UNINSTALL.exe", kStored},
        {".hidden", kStored},
        {"a..b", kStored},
        {"name with spaces.txt", kStored},
        {" leading blank", kStored},
        {"\xE8t\xE9.txt", kStored},
        {"x.CON", kStored},  // a device only before the first dot
        {"CONSOLE", kStored},
        {"COM10", kStored},
        {"LPT", kStored},
        {"NULL.txt", kStored},
        {"CONIN", kStored},
        {"COM4\xB9", kStored},
        {longest, kStored},
        {"", kNotAName},
        {".", kNotAName},
        {"..", kNotAName},
        {tooLong, kTooLong},
        {"a\\b", kCharacter},
        {"..\\..\\x", kCharacter},
        {"a/b", kCharacter},
        {"C:a", kCharacter},
        {"a:stream", kCharacter},
        {"a?b", kCharacter},
        {"a*b", kCharacter},
        {"a<b", kCharacter},
        {"a>b", kCharacter},
        {"a|b", kCharacter},
        {"a\"b", kCharacter},
        {"x\x01y", kCharacter},
        {"tab\there", kCharacter},
        {"x\x1F", kCharacter},
        {"RESOURCE.DAT.", kTrailing},
        {"RESOURCE.DAT ", kTrailing},
        {"name. .", kTrailing},
        {"...", kTrailing},
        {"CON", kDevice},
        {"con", kDevice},
        {"Prn.txt", kDevice},
        {"aux.tar.gz", kDevice},
        {"nul.txt", kDevice},
        {"NUL .txt", kDevice},
        {"COM0", kDevice},
        {"com9.log", kDevice},
        {"LPT1.log", kDevice},
        {"lpt1.txt", kDevice},
        {"LPT0", kDevice},
        {"COM\xB9", kDevice},
        {"lpt\xB2.txt", kDevice},
        {"COM\xB3", kDevice},
        {"CONIN$", kDevice},
        {"conout$.log", kDevice},
    };
    ScratchFolder scratch;
    for (const auto& row : rows) {
        SCOPED_TRACE("name '" + row.name + "'");
        const char* reason = names::WhyNotStored(row.name.c_str());
        EXPECT_EQ(row.why, Classify(reason)) << (reason != nullptr ? reason : "stored");
        EXPECT_EQ(row.why == kStored, names::IsStoredAsGiven(row.name.c_str()));
#ifdef _WIN32
        // The platform must agree that an accepted name is stored exactly as given.
        if (row.why == kStored) {
            ASSERT_TRUE(WriteFileText(scratch.Join(row.name), "x"));
            EXPECT_TRUE(Lists(scratch.path(), row.name));
        }
#endif
    }
}

TEST(FileNames, SameFileComparesAsWindowsNormalisesNames) {
    const struct {
        const char* a;
        const char* b;
        bool same;
    } rows[] = {
        {"C:\\App\\RESOURCE.DAT", "C:\\App\\RESOURCE.DAT", true},
        {"C:\\App\\resource.dat", "c:\\app\\RESOURCE.DAT", true},
        {"C:\\App\\RESOURCE.DAT.", "C:\\App\\RESOURCE.DAT", true},
        {"C:\\App\\RESOURCE.DAT . ", "C:\\App\\RESOURCE.DAT", true},
        {"C:\\App\\R\xC9SUM\xC9.DAT", "C:\\App\\r\xE9sum\xE9.dat", true},
        {"C:\\App\\\x8A\x8C\x8E\x9F", "C:\\App\\\x9A\x9C\x9E\xFF", true},
        {"C:\\App\\RESOURCE.DAT", "C:\\App\\RESOURCE.DA", false},
        {"C:\\App\\RESOURCE.DAT", "C:\\App\\.RESOURCE.DAT", false},
        {"C:\\App\\a\xF7", "C:\\App\\a\xD7", false},  // division and multiplication signs
        {"C:\\App\\e", "C:\\App\\\xE9", false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.same, names::SameFile(row.a, row.b)) << row.a << " | " << row.b;
        EXPECT_EQ(row.same, names::SameFile(row.b, row.a)) << row.b << " | " << row.a;
    }
}

}  // namespace
