#include "drives/DriveList.h"

#include <gtest/gtest.h>

#include "FakeDriveSource.h"

namespace {

using K = TDriveKind;

std::vector<std::string> Captions(const TDriveList& list)
{
    std::vector<std::string> out;
    for (const auto& e : list.Entries())
        out.push_back(e.Caption);
    return out;
}

// Floppy A, fixed C labelled SYSTEM, CD D without a disc.
std::vector<TFakeDrive> ThreeDrives()
{
    return {{"a:\\", K::dkRemovable, "FLOPPY", std::nullopt},
            {"c:\\", K::dkFixed, "SYSTEM", std::nullopt},
            {"d:\\", K::dkCdRom, std::nullopt, std::nullopt}};
}

void Open(TDriveList& list)
{
    list.RebuildDriveList();
    list.SelectDrive(list.SelectedDrive());
}

}  // namespace

// --- Captions and images of lettered drives ---

TEST(DriveListCaptions, FloppyFixedAndEmptyCdInLetterOrder)
{
    TFakeDriveSource source(ThreeDrives());
    TDriveList list(source, "C:\\Work");
    list.RebuildDriveList();
    EXPECT_EQ(Captions(list), (std::vector<std::string>{"a:", "c: [system]", "d: []"}));
    ASSERT_EQ(list.Entries().size(), 3u);
    EXPECT_EQ(list.Entries()[0].Image, K::dkRemovable);
    EXPECT_EQ(list.Entries()[1].Image, K::dkFixed);
    EXPECT_EQ(list.Entries()[2].Image, K::dkCdRom);
}

TEST(DriveListCaptions, RemovableDriveIsNeverQueried)
{
    TFakeDriveSource source(ThreeDrives());
    TDriveList list(source, "");
    list.RebuildDriveList();
    for (const auto& q : source.LabelQueries)
        EXPECT_NE(q[0], 'a') << q;
    EXPECT_TRUE(source.ShareQueries.empty());
}

TEST(DriveListCaptions, EachKindGetsItsFormAndImage)
{
    struct Case {
        TFakeDrive Drive;
        std::string Caption;
    };
    const Case cases[] = {
        {{"c:\\", K::dkFixed, "", std::nullopt}, "c: []"},            // empty label
        {{"c:\\", K::dkFixed, std::nullopt, std::nullopt}, "c: []"},  // unreadable label
        {{"c:\\", K::dkFixed, "A&B", std::nullopt}, "c: [a&b]"},      // ampersand kept
        {{"e:\\", K::dkRamDisk, "Ram", std::nullopt}, "e: [ram]"},
        {{"f:\\", K::dkCdRom, "CD_1", std::nullopt}, "f: [cd_1]"},
        {{"n:\\", K::dkRemote, "Ignored", "\\\\Server\\Share"}, "n: \\\\server\\share"},
        {{"n:\\", K::dkRemote, "Vol", std::nullopt}, "n: [vol]"},      // share fails: label
        {{"n:\\", K::dkRemote, std::nullopt, std::nullopt}, "n: []"},  // both fail
        {{"c:\\", K::dkFixed,
          "DONN\xC3\x89"
          "ES",
          std::nullopt},
         "c: [donn\xC3\x89"
         "es]"},  // ASCII only
    };
    for (const auto& c : cases) {
        TFakeDriveSource source({c.Drive});
        TDriveList list(source, "");
        list.RebuildDriveList();
        ASSERT_EQ(list.Entries().size(), 1u) << c.Caption;
        EXPECT_EQ(list.Entries()[0].Caption, c.Caption);
        EXPECT_EQ(list.Entries()[0].Image, c.Drive.Kind);
    }
}

TEST(DriveListCaptions, UndeterminedTypesGetNoEntryAndOrderHolds)
{
    TFakeDriveSource source({{"b:\\", K::dkOther, "X", std::nullopt},
                             {"c:\\", K::dkFixed, "C", std::nullopt},
                             {"q:\\", K::dkOther, "Q", std::nullopt},
                             {"z:\\", K::dkRemovable, std::nullopt, std::nullopt}});
    TDriveList list(source, "");
    list.RebuildDriveList();
    EXPECT_EQ(Captions(list), (std::vector<std::string>{"c: [c]", "z:"}));
}

TEST(DriveListCaptions, UpperCaseChangesLettersLabelsAndNamesButNotQueries)
{
    TFakeDriveSource source(
        {{"c:\\", K::dkFixed, "System", std::nullopt}, {"n:\\", K::dkRemote, std::nullopt, "\\\\srv\\data"}});
    TDriveList list(source, "", TTextCase::tcUpperCase);
    list.RebuildDriveList();
    EXPECT_EQ(Captions(list), (std::vector<std::string>{"C: [SYSTEM]", "N: \\\\SRV\\DATA"}));
    EXPECT_EQ(source.KindQueries, (std::vector<std::string>{"c:\\", "n:\\"}));
    EXPECT_EQ(source.LabelQueries, (std::vector<std::string>{"C:\\"}));
    EXPECT_EQ(source.ShareQueries, (std::vector<std::string>{"N:"}));
}

TEST(DriveListCaptions, LowerCaseAsksShareByUpperCaseLocalName)
{
    TFakeDriveSource source({{"n:\\", K::dkRemote, std::nullopt, "\\\\srv\\data"}});
    TDriveList list(source, "");
    list.RebuildDriveList();
    EXPECT_EQ(source.ShareQueries, (std::vector<std::string>{"N:"}));
    EXPECT_EQ(source.LabelQueries, (std::vector<std::string>{}));
}

// --- Selection of lettered drives ---

TEST(DriveListSelection, InitialDriveFromCurrentDirectory)
{
    struct Case {
        const char* Cwd;
        std::string Selected;
        int Index;
    };
    const Case cases[] = {
        {"C:\\Users", "c", 1},
        {"d:\\", "d", 2},
        {"\\\\server\\share\\dir", "", -1},  // network path: nothing selected
        {"Q:\\Data", "q", -1},               // drive without an entry keeps its letter
        {"", "", -1},
    };
    for (const auto& c : cases) {
        TFakeDriveSource source(ThreeDrives());
        TDriveList list(source, c.Cwd);
        Open(list);
        EXPECT_EQ(list.SelectedDrive(), c.Selected) << c.Cwd;
        EXPECT_EQ(list.SelectedIndex(), c.Index) << c.Cwd;
    }
}

TEST(DriveListSelection, PickingTheSelectedEntryRaisesNoChange)
{
    TFakeDriveSource source(ThreeDrives());
    TDriveList list(source, "C:\\");
    Open(list);
    EXPECT_FALSE(list.PickEntry(1));
    EXPECT_FALSE(list.SelectDrive("C"));  // same drive ignoring case
    EXPECT_TRUE(list.PickEntry(0));
    EXPECT_EQ(list.SelectedDrive(), "a");
    EXPECT_EQ(list.SelectedIndex(), 0);
}

TEST(DriveListSelection, PickOutsideTheListIsIgnored)
{
    TFakeDriveSource source(ThreeDrives());
    TDriveList list(source, "C:\\");
    Open(list);
    for (int index : {-1, 3, 100}) {
        EXPECT_FALSE(list.PickEntry(index)) << index;
        EXPECT_EQ(list.SelectedIndex(), 1) << index;
    }
}

TEST(DriveListSelection, NoDriveClearsTheSelection)
{
    TFakeDriveSource source(ThreeDrives());
    TDriveList list(source, "C:\\");
    Open(list);
    EXPECT_TRUE(list.SelectDrive(""));
    EXPECT_EQ(list.SelectedDrive(), "");
    EXPECT_EQ(list.SelectedIndex(), -1);
}

TEST(DriveListSelection, DriveWithoutEntryShowsNoEntry)
{
    // The box must not go on showing C while Go would scan another drive.
    const std::pair<const char*, std::string> cases[] = {
        {"x", "x"}, {"X", "x"}, {"1", "1"}, {"@", "@"}, {"/srv", "/srv"}};
    for (auto [drive, selected] : cases) {
        TFakeDriveSource source(ThreeDrives());
        TDriveList list(source, "C:\\");
        Open(list);
        EXPECT_TRUE(list.SelectDrive(drive)) << drive;
        EXPECT_EQ(list.SelectedDrive(), selected) << drive;
        EXPECT_EQ(list.SelectedIndex(), -1) << drive;
    }
}

TEST(DriveListSelection, TextCaseChangeRebuildsAndKeepsTheDrive)
{
    TFakeDriveSource source(ThreeDrives());
    TDriveList list(source, "D:\\");
    Open(list);
    EXPECT_TRUE(list.SetTextCase(TTextCase::tcUpperCase));
    EXPECT_EQ(Captions(list), (std::vector<std::string>{"A:", "C: [SYSTEM]", "D: []"}));
    EXPECT_EQ(list.SelectedDrive(), "D");
    EXPECT_EQ(list.SelectedIndex(), 2);
    EXPECT_EQ(source.RootsCalls, 2);
    EXPECT_TRUE(list.SetTextCase(TTextCase::tcLowerCase));
    EXPECT_EQ(list.SelectedDrive(), "d");
}

// --- Mount paths ---

std::vector<TFakeDrive> Mounts()
{
    return {{"/", K::dkFixed, "Root", std::nullopt},
            {"/Home", K::dkFixed, "Users", std::nullopt},
            {"/Homework", K::dkFixed, std::nullopt, std::nullopt},
            {"/mnt/Nas", K::dkRemote, std::nullopt, "//NAS/Media"},
            {"/media/USB", K::dkRemovable, "STICK", std::nullopt},
            {"/proc", K::dkOther, std::nullopt, std::nullopt}};
}

TEST(DriveListMounts, CaptionsKeepThePathAndItsCase)
{
    for (TTextCase tc : {TTextCase::tcLowerCase, TTextCase::tcUpperCase}) {
        TFakeDriveSource source(Mounts());
        TDriveList list(source, "", tc);
        list.RebuildDriveList();
        const bool up = tc == TTextCase::tcUpperCase;
        EXPECT_EQ(
            Captions(list),
            (std::vector<std::string>{up ? "/ [ROOT]" : "/ [root]", up ? "/Home [USERS]" : "/Home [users]",
                                      "/Homework []", "/mnt/Nas //NAS/Media", "/media/USB"}));
        EXPECT_EQ(source.KindQueries.front(), "/");
        EXPECT_EQ(source.ShareQueries, (std::vector<std::string>{"/mnt/Nas"}));
    }
}

TEST(DriveListMounts, InitialDriveIsTheMountHoldingTheDirectory)
{
    struct Case {
        const char* Cwd;
        std::string Selected;
        int Index;
    };
    const Case cases[] = {
        {"/Home/ann/src", "/Home", 1},
        {"/Home", "/Home", 1},
        {"/Homework/a", "/Homework", 2},  // component-wise, not /Home
        {"/HomeX", "/", 0},
        {"/home/ann", "/", 0},  // paths are case-sensitive
        {"/", "/", 0},
        {"/proc/self", "/proc", -1},  // mount without an entry keeps its path
        {"/mnt/Nas/films", "/mnt/Nas", 3},
    };
    for (const auto& c : cases) {
        TFakeDriveSource source(Mounts());
        TDriveList list(source, c.Cwd);
        Open(list);
        EXPECT_EQ(list.SelectedDrive(), c.Selected) << c.Cwd;
        EXPECT_EQ(list.SelectedIndex(), c.Index) << c.Cwd;
    }
}

TEST(DriveListMounts, PathWithinTheSelectedMountRaisesNoChange)
{
    TFakeDriveSource source(Mounts());
    TDriveList list(source, "/Home/ann");
    Open(list);
    EXPECT_FALSE(list.SelectDrive("/Home/ann/x"));
    EXPECT_TRUE(list.PickEntry(4));
    EXPECT_EQ(list.SelectedDrive(), "/media/USB");
}

TEST(DriveListMounts, TextCaseChangeKeepsTheSelectedPath)
{
    TFakeDriveSource source(Mounts());
    TDriveList list(source, "/Home/ann");
    Open(list);
    list.SetTextCase(TTextCase::tcUpperCase);
    EXPECT_EQ(list.SelectedDrive(), "/Home");
    EXPECT_EQ(list.SelectedIndex(), 1);
}

// --- Chosen folders ---

// Folders follow the drives, newest first, at most eight, each with its
// drive's picture; the dialog entry is last and picking it changes nothing.
TEST(DriveListFolders, ListedAfterTheDrivesNewestFirst)
{
    TFakeDriveSource source(Mounts());
    TDriveList list(source, "/Home/ann");
    list.SetFolderChoice(true);
    Open(list);
    const std::size_t drives = 5;
    ASSERT_EQ(list.Entries().size(), drives + 1);
    EXPECT_TRUE(list.IsFolderDialogEntry(int(drives)));
    EXPECT_EQ(list.FolderDialogStart(), "/Home");  // no folder yet: the drive

    EXPECT_TRUE(list.AddFolder("/Home/ann/Videos/"));
    EXPECT_TRUE(list.AddFolder("/mnt/Nas/films"));
    EXPECT_TRUE(list.AddFolder("/proc/1"));  // a drive without an entry
    struct Expected {
        std::string Caption;
        K Image;
    };
    const Expected expected[] = {
        {"/proc/1", K::dkFolder}, {"/mnt/Nas/films", K::dkRemote}, {"/Home/ann/Videos", K::dkFixed}};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(list.Entries()[drives + i].Caption, expected[i].Caption);
        EXPECT_EQ(list.Entries()[drives + i].Image, expected[i].Image) << i;
    }
    EXPECT_EQ(list.SelectedDrive(), "/proc/1");
    EXPECT_EQ(list.SelectedIndex(), int(drives));
    EXPECT_EQ(list.FolderDialogStart(), "/proc/1");

    // Chosen again: selected where it stands, not listed twice; a drive's own
    // root selects the drive.
    EXPECT_TRUE(list.AddFolder("/Home/ann/Videos"));
    EXPECT_EQ(list.SelectedIndex(), int(drives + 2));
    EXPECT_FALSE(list.AddFolder("/Home/ann/Videos"));
    EXPECT_TRUE(list.AddFolder("/mnt/Nas"));
    EXPECT_EQ(list.SelectedIndex(), 3);
    EXPECT_EQ(list.Entries().size(), drives + 3 + 1);
    // A path inside a listed folder still selects the drive holding it.
    EXPECT_TRUE(list.SelectDrive("/Home/ann/Videos/2024"));
    EXPECT_EQ(list.SelectedIndex(), 1);
    EXPECT_FALSE(list.AddFolder("relative/path"));

    const int dialog = int(list.Entries().size()) - 1;
    EXPECT_FALSE(list.PickEntry(dialog));
    EXPECT_EQ(list.SelectedIndex(), 1);
    EXPECT_TRUE(list.PickEntry(int(drives)));
    EXPECT_EQ(list.SelectedDrive(), "/proc/1");

    for (int i = 0; i < 10; ++i)
        list.AddFolder("/Home/f" + std::to_string(i));
    ASSERT_EQ(list.Entries().size(), drives + TDriveList::MaxFolders + 1);
    EXPECT_EQ(list.Entries()[drives].Caption, "/Home/f9");
    EXPECT_EQ(list.Entries()[drives + 7].Caption, "/Home/f2");

    // A rebuild (the text case) keeps the folders and the chosen one.
    list.SetTextCase(TTextCase::tcUpperCase);
    EXPECT_EQ(list.Entries()[drives].Caption, "/Home/f9");
    EXPECT_EQ(list.SelectedDrive(), "/Home/f9");
    EXPECT_EQ(list.SelectedIndex(), int(drives));
}

// --- Item height ---

TEST(DriveListItemHeight, FollowsTheFontButNeverBelowSixteen)
{
    const std::pair<int, int> cases[] = {{0, 16}, {13, 16}, {15, 16}, {16, 16}, {17, 17}, {40, 40}};
    TFakeDriveSource source({});
    TDriveList list(source, "");
    for (auto [text, item] : cases) {
        list.UpdateItemHeight(text);
        EXPECT_EQ(list.ItemHeight(), item) << text;
    }
}
