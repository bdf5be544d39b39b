#include "payload/uninstall/UninstallPlan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

using uninstall::ActionKind;
using uninstall::FolderCheck;

const uninstall::SystemFolders kFolders = {
    "C:\\windows",
    "C:\\windows\\system32",
    "C:\\users\\anna\\Desktop",
    "C:\\users\\anna\\AppData\\Roaming\\Microsoft\\Windows\\SendTo",
    "C:\\users\\anna\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu",
    "C:\\users\\anna\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs",
};

// The disk of the rows below: a junction, a folder whose handle resolves elsewhere, a folder on
// another volume.
class FakeProbe : public uninstall::FolderProbe {
public:
    int IsReparsePoint(const char* path) override {
        return std::string(path) == "C:\\Junction" || std::string(path) == "D:\\Songs\\Linked";
    }
    int FinalFolderPath(const char* folder, char* out, size_t outSize) override {
        const std::string name = folder;
        const std::string final = name == "C:\\Moved"       ? "\\\\?\\C:\\Windows\\SysWOW64"
                                  : name == "C:\\Elsewhere" ? "\\\\?\\C:\\Other"
                                  : name == "C:\\OnAShare"  ? "\\\\?\\UNC\\server\\share"
                                  : name == "C:\\ZarbelPC"  ? "\\\\?\\C:\\ZARBELPC"
                                                            : "";
        snprintf(out, outSize, "%s", final.c_str());
        return !final.empty();
    }
};

// The text check, then the disk check on what it accepted, as the uninstaller runs them.
FolderCheck Check(const char* value, std::string* normal = nullptr) {
    uninstall::SystemFolders folders = {};
    folders.windows = "C:\\WINDOWS\\";
    folders.system = "C:\\Windows\\System32";
    folders.programFiles[0] = "C:\\Program Files";
    folders.programFiles[1] = "C:\\Program Files (x86)";
    char out[uninstall::kPathSize];
    FolderCheck check = uninstall::CheckInstallFolder(value, folders, out, sizeof out);
    FakeProbe probe;
    if (check == FolderCheck::kOk) {
        check = uninstall::CheckFolderOnDisk(out, folders, probe);
    }
    if (normal != nullptr) {
        *normal = check == FolderCheck::kOk ? out : "";
    }
    return check;
}

TEST(InstallFolderCheck, AcceptsOrdinaryFoldersInNormalForm) {
    struct Row {
        const char* value;
        const char* normal;
    };
    const Row rows[] = {
        {"C:\\ZarbelPC", "C:\\ZarbelPC"},
        {"  c:\\Programmi\\ZarbelPC\\  ", "c:\\Programmi\\ZarbelPC"},
        {"D:/Karaoke//ZarbelPC/", "D:\\Karaoke\\ZarbelPC"},
        {"C:\\Win", "C:\\Win"},
        {"C:\\Windows2", "C:\\Windows2"},
        {"C:\\Program Files\\Zarbel PC 1.0", "C:\\Program Files\\Zarbel PC 1.0"},
        {"C:\\Program Files (x86)\\ZarbelPC", "C:\\Program Files (x86)\\ZarbelPC"},
        {"C:\\ZarbelPC", "C:\\ZarbelPC"},  // resolves to itself in another case
        {"D:\\Songs\\ZarbelPC", "D:\\Songs\\ZarbelPC"},
    };
    for (const Row& row : rows) {
        std::string normal;
        EXPECT_EQ(FolderCheck::kOk, Check(row.value, &normal)) << row.value;
        EXPECT_EQ(row.normal, normal) << row.value;
    }
}

TEST(InstallFolderCheck, RefusesFoldersItMustNotEmpty) {
    struct Row {
        const char* value;
        FolderCheck check;
    };
    const Row rows[] = {
        {"", FolderCheck::kEmpty},
        {"   ", FolderCheck::kEmpty},
        {"ZarbelPC", FolderCheck::kNotAbsolute},
        {"\\ZarbelPC", FolderCheck::kNotAbsolute},
        {"\\\\server\\share\\ZarbelPC", FolderCheck::kNotAbsolute},
        {"C:ZarbelPC", FolderCheck::kNotAbsolute},
        {"1:\\ZarbelPC", FolderCheck::kNotAbsolute},
        {"C:", FolderCheck::kNotAbsolute},
        {"C:\\", FolderCheck::kDriveRoot},
        {"d:\\\\\\", FolderCheck::kDriveRoot},
        {"C:/", FolderCheck::kDriveRoot},
        {"C:\\Windows", FolderCheck::kSystemFolder},
        {"c:\\WINDOWS\\", FolderCheck::kSystemFolder},
        {"C:\\Windows\\System32", FolderCheck::kSystemFolder},
        {"C:/windows/system32/", FolderCheck::kSystemFolder},
        {"C:\\Windows\\.", FolderCheck::kBadName},
        {"C:\\Windows.", FolderCheck::kBadName},
        {"C:\\Windows ", FolderCheck::kSystemFolder},
        {"C:\\ZarbelPC\\..\\Windows", FolderCheck::kBadName},
        {"C:\\ZarbelPC\\..", FolderCheck::kBadName},
        {"C:\\Zarbel*", FolderCheck::kBadName},
        {"C:\\Zarbel?PC", FolderCheck::kBadName},
        {"C:\\a:b", FolderCheck::kBadName},
        {"C:\\Songs\\nul.txt", FolderCheck::kBadName},
        // Below the Windows directory: the system's own controls and libraries live there.
        {"C:\\Windows\\ZarbelPC", FolderCheck::kSystemFolder},
        {"C:\\Windows\\SysWOW64", FolderCheck::kSystemFolder},
        {"c:\\windows\\sysnative\\", FolderCheck::kSystemFolder},
        {"C:\\Windows\\Fonts", FolderCheck::kSystemFolder},
        {"C:\\Windows\\System32\\drivers", FolderCheck::kSystemFolder},
        {"C:\\Program Files", FolderCheck::kProgramFiles},
        {"c:/program files (x86)/", FolderCheck::kProgramFiles},
        // What the disk says: a junction on the way, or a handle that resolves elsewhere.
        {"C:\\Junction", FolderCheck::kReparsePoint},
        {"C:\\Junction\\ZarbelPC", FolderCheck::kReparsePoint},
        {"D:\\Songs\\Linked\\ZarbelPC", FolderCheck::kReparsePoint},
        {"C:\\Moved", FolderCheck::kSystemFolder},
        {"C:\\Elsewhere", FolderCheck::kReparsePoint},
        {"C:\\OnAShare", FolderCheck::kNotAbsolute},
    };
    for (const Row& row : rows) {
        std::string normal = "untouched";
        EXPECT_EQ(row.check, Check(row.value, &normal)) << "'" << row.value << "'";
        EXPECT_EQ("", normal) << row.value;
    }
}

TEST(InstallFolderCheck, RefusesAFolderWhosePathsWouldNotFit) {
    // The longest name the plan puts in the folder is "ZarBelPC_UNINSTALL.exe", 22 characters:
    // folder + backslash + 22 must stay below 260.
    const std::string fits = "C:\\" + std::string(236 - 3, 'z');
    ASSERT_EQ(236u, fits.size());
    EXPECT_EQ(FolderCheck::kOk, Check(fits.c_str()));
    const std::string tooLong = fits + "z";
    EXPECT_EQ(FolderCheck::kTooLong, Check(tooLong.c_str()));
    const std::string huge = "C:\\" + std::string(2000, 'z');
    EXPECT_EQ(FolderCheck::kTooLong, Check(huge.c_str()));
}

struct PlanHolder {
    std::unique_ptr<uninstall::Plan> plan = std::make_unique<uninstall::Plan>();
    std::vector<std::string> Paths(ActionKind kind) const {
        std::vector<std::string> paths;
        for (int i = 0; i < plan->count; ++i) {
            if (plan->actions[i].kind == kind) {
                paths.push_back(plan->actions[i].path);
            }
        }
        return paths;
    }
    int IndexOf(const std::string& path) const {
        for (int i = 0; i < plan->count; ++i) {
            if (path == plan->actions[i].path) {
                return i;
            }
        }
        return -1;
    }
};

TEST(UninstallPlan, UnregistersTheControlsThenRemovesTheAssociations) {
    PlanHolder holder;
    ASSERT_EQ(FolderCheck::kOk,
              uninstall::BuildPlan("C:\\Zarbel PC", kFolders, "", holder.plan.get()));
    const char* const controls[] = {"COMDLG32.OCX",    "MSCOMCTL.OCX", "MSCOMCT2.OCX",
                                    "TuneChooser.ocx", "TABCTL32.ocx", "MSINET.ocx"};
    for (int i = 0; i < 6; ++i) {
        const uninstall::Action& action = holder.plan->actions[i];
        ASSERT_EQ(ActionKind::kRunAndWait, action.kind);
        EXPECT_STREQ("C:\\windows\\system32\\regsvr32.exe", action.path);
        const std::string file = std::string("C:\\Zarbel PC\\") + controls[i];
        EXPECT_EQ("\"C:\\windows\\system32\\regsvr32.exe\" /u /s \"" + file + "\"",
                  action.commandLine);
        EXPECT_EQ(file, action.subject);
    }
    const uninstall::Action& companion = holder.plan->actions[6];
    ASSERT_EQ(ActionKind::kRunAndWait, companion.kind);
    EXPECT_STREQ("\"C:\\Zarbel PC\\assocset.exe\" /u", companion.commandLine);
    EXPECT_EQ(7u, holder.Paths(ActionKind::kRunAndWait).size());
}

TEST(UninstallPlan, DeletesExactlyThePayloadAndThePlaylistInTheInstallFolder) {
    PlanHolder holder;
    ASSERT_EQ(FolderCheck::kOk,
              uninstall::BuildPlan("C:\\ZarbelPC", kFolders, "", holder.plan.get()));
    std::vector<std::string> inFolder;
    for (const std::string& file : holder.Paths(ActionKind::kDeleteFile)) {
        if (file.rfind("C:\\ZarbelPC\\", 0) == 0) {
            inFolder.push_back(file.substr(strlen("C:\\ZarbelPC\\")));
        }
    }
    std::vector<std::string> expected;
    for (const char* entry : uninstall::kPayloadEntries) {
        if (std::string(entry) != "movefile.bat") {
            expected.push_back(entry);
        }
    }
    expected.push_back("DefaultPlaylist.pls");
    std::sort(inFolder.begin(), inFolder.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, inFolder);
    EXPECT_EQ(26u, expected.size());
    for (const std::string& name : inFolder) {
        EXPECT_EQ(std::string::npos, name.find('\\')) << "nothing below the folder: " << name;
    }
    EXPECT_EQ(0, holder.plan->tooLong);
}

TEST(UninstallPlan, RemovesWindowsCopiesLinksAndFoldersInOrderWithTheSettingsLast) {
    PlanHolder holder;
    ASSERT_EQ(FolderCheck::kOk,
              uninstall::BuildPlan("C:\\ZarbelPC", kFolders, "", holder.plan.get()));
    const std::string group =
        "C:\\users\\anna\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\ZarbelPC";
    // The shared libraries are released (they go with their last count), the font is taken off
    // the system's list before its file is deleted.
    const std::vector<std::pair<std::string, ActionKind>> outside = {
        {"C:\\windows\\ZarBelPC_uninstall.exe", ActionKind::kDeleteFile},
        {"C:\\windows\\mfc71.dll", ActionKind::kReleaseSharedFile},
        {"C:\\windows\\msvcr71.dll", ActionKind::kReleaseSharedFile},
        {"C:\\windows\\FONTS\\EUROSTIB.TTF", ActionKind::kUnregisterFont},
        {"C:\\users\\anna\\Desktop\\ZarbelPC.lnk", ActionKind::kDeleteFile},
        {"C:\\users\\anna\\AppData\\Roaming\\Microsoft\\Windows\\SendTo\\ZarbelPC.lnk",
         ActionKind::kDeleteFile},
        {"C:\\users\\anna\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\ZarbelPC.lnk",
         ActionKind::kDeleteFile},
        {group + "\\ZarbelPC.lnk", ActionKind::kDeleteFile},
        {group + "\\Uninstall ZarbelPC.lnk", ActionKind::kDeleteFile},
    };
    int last = -1;
    for (const auto& [file, kind] : outside) {
        int at = holder.IndexOf(file);
        ASSERT_GE(at, 0) << file;
        EXPECT_GT(at, last) << file;
        EXPECT_EQ(kind, holder.plan->actions[at].kind) << file;
        last = at;
    }
    EXPECT_EQ(ActionKind::kDeleteFile,
              holder.plan->actions[holder.IndexOf("C:\\windows\\FONTS\\EUROSTIB.TTF") + 1].kind);
    EXPECT_EQ((std::vector<std::string>{group, "C:\\ZarbelPC"}),
              holder.Paths(ActionKind::kRemoveEmptyFolder));
    EXPECT_GT(holder.IndexOf(group), last);
    const uninstall::Action& final = holder.plan->actions[holder.plan->count - 1];
    EXPECT_STREQ("C:\\windows\\ZarBelPC.INI", final.path);
    EXPECT_EQ(ActionKind::kDeleteFile, final.kind);
    EXPECT_GT(holder.plan->count - 1, holder.IndexOf("C:\\ZarbelPC"));
}

TEST(UninstallPlan, TheRunningUninstallerGoesAtTheNextRestart) {
    PlanHolder holder;
    ASSERT_EQ(FolderCheck::kOk,
              uninstall::BuildPlan("C:\\ZarbelPC", kFolders, "C:\\WINDOWS\\ZARBELPC_UNINSTALL.EXE",
                                   holder.plan.get()));
    EXPECT_EQ((std::vector<std::string>{"C:\\windows\\ZarBelPC_uninstall.exe"}),
              holder.Paths(ActionKind::kDeleteAtRestart));

    // Started from the install folder, that copy is the one that waits.
    ASSERT_EQ(FolderCheck::kOk,
              uninstall::BuildPlan("C:\\ZarbelPC", kFolders, "C:\\ZarbelPC\\ZarBelPC_UNINSTALL.exe",
                                   holder.plan.get()));
    EXPECT_EQ((std::vector<std::string>{"C:\\ZarbelPC\\ZarBelPC_UNINSTALL.exe"}),
              holder.Paths(ActionKind::kDeleteAtRestart));
}

TEST(UninstallPlan, UnreadableShellFoldersStandForTheDriveRootAsInSetup) {
    PlanHolder holder;
    uninstall::SystemFolders folders = kFolders;
    folders.desktop = "";
    folders.programs = nullptr;
    ASSERT_EQ(FolderCheck::kOk,
              uninstall::BuildPlan("D:\\ZarbelPC", folders, "", holder.plan.get()));
    EXPECT_GE(holder.IndexOf("C:\\ZarbelPC.lnk"), 0);
    EXPECT_GE(holder.IndexOf("C:\\ZarbelPC\\Uninstall ZarbelPC.lnk"), 0);
    EXPECT_EQ((std::vector<std::string>{"C:\\ZarbelPC", "D:\\ZarbelPC"}),
              holder.Paths(ActionKind::kRemoveEmptyFolder));
}

TEST(UninstallPlan, LeavesOutLinksWhosePathsDoNotFitAndCountsThem) {
    PlanHolder holder;
    uninstall::SystemFolders folders = kFolders;
    const std::string deepDesktop = "C:\\" + std::string(250, 'd');  // + "\ZarbelPC.lnk" > 259
    const std::string deepPrograms = "C:\\" + std::string(255, 'p');
    folders.desktop = deepDesktop.c_str();
    folders.programs = deepPrograms.c_str();
    ASSERT_EQ(FolderCheck::kOk,
              uninstall::BuildPlan("C:\\ZarbelPC", folders, "", holder.plan.get()));
    EXPECT_EQ(3, holder.plan->tooLong);
    for (int i = 0; i < holder.plan->count; ++i) {
        const std::string path = holder.plan->actions[i].path;
        EXPECT_LT(path.size(), uninstall::kPathSize);
        EXPECT_EQ(std::string::npos, path.find(deepDesktop)) << path;
        EXPECT_EQ(std::string::npos, path.find(deepPrograms)) << path;
    }
    EXPECT_GE(holder.IndexOf("C:\\windows\\ZarBelPC.INI"), 0);
}

TEST(UninstallPlan, RefusedFolderGivesAnEmptyPlan) {
    PlanHolder holder;
    EXPECT_EQ(FolderCheck::kDriveRoot,
              uninstall::BuildPlan("C:\\", kFolders, "", holder.plan.get()));
    EXPECT_EQ(0, holder.plan->count);
    EXPECT_EQ(FolderCheck::kSystemFolder,
              uninstall::BuildPlan("c:\\windows\\SYSTEM32\\", kFolders, "", holder.plan.get()));
    EXPECT_EQ(0, holder.plan->count);
}

}  // namespace
