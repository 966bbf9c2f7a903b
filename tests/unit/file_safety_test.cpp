#include <sys/stat.h>

#include "folder_test.h"
#include "system/file_beside.h"
#include "system/leftovers.h"

namespace fs = std::filesystem;

namespace {

using ReplaceFile = FolderTest;

TEST_F(ReplaceFile, GivesTheModeOfAnOrdinaryNewFile) {
    mode_t mask = umask(022);
    ASSERT_TRUE(replace_file(path("packages.txt"), "x\n"));
    umask(mask);
    EXPECT_EQ(fs::status(path("packages.txt")).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
}

TEST_F(ReplaceFile, AFailedRenameLeavesNoTemporaryFile) {
    fs::create_directories(path("packages.txt/inside"));
    EXPECT_FALSE(replace_file(path("packages.txt"), "x\n"));
    EXPECT_EQ(entries(), 1);
}

TEST_F(ReplaceFile, FailsInAMissingFolder) { EXPECT_FALSE(replace_file(path("missing/packages.txt"), "x\n")); }

using FileBesideTest = FolderTest;

TEST_F(FileBesideTest, AFileNotPutInPlaceGoesAndLeavesTheTargetAsItWas) {
    write(path("lib.zinc"), "old\n");
    {
        FileBeside file(path("lib.zinc"));
        ASSERT_TRUE(file.ready());
        EXPECT_EQ(fs::path(file.path()).parent_path(), folder);
        EXPECT_TRUE(fs::path(file.path()).filename().string().starts_with(".lib.zinc.zentul-tmp."));
        write(file.path(), "partial");
    }
    EXPECT_EQ(read(path("lib.zinc")), "old\n");
    EXPECT_EQ(entries(), 1);
}

TEST_F(FileBesideTest, PuttingInPlaceReplacesALinkInsteadOfWritingThroughIt) {
    write(path("victim.txt"), "not to be touched\n");
    fs::create_symlink(path("victim.txt"), path("p9.zep"));
    {
        FileBeside file(path("p9.zep"));
        write(file.path(), "package\n");
        ASSERT_TRUE(file.put_in_place());
    }
    EXPECT_FALSE(fs::is_symlink(path("p9.zep")));
    EXPECT_EQ(read(path("p9.zep")), "package\n");
    EXPECT_EQ(read(path("victim.txt")), "not to be touched\n");
    EXPECT_EQ(entries(), 2);
}

TEST_F(FileBesideTest, NoFileIsMadeForADirectoryOrAMissingFolder) {
    fs::create_directory(path("inc"));
    EXPECT_FALSE(FileBeside(path("inc")).ready());
    EXPECT_FALSE(FileBeside(path("missing/lib.zinc")).ready());
    EXPECT_EQ(entries(), 1);
}

TEST_F(FileBesideTest, ATargetWithoutFolderPartGetsItsFileInTheCurrentFolder) {
    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(folder.c_str()), 0);
    {
        FileBeside file("here.txt");
        EXPECT_TRUE(file.path().starts_with(".here.txt.zentul-tmp."));
        EXPECT_TRUE(file.put_in_place());
    }
    ASSERT_EQ(chdir(previous), 0);
    EXPECT_TRUE(fs::exists(path("here.txt")));
    EXPECT_EQ(entries(), 1);
}

TEST_F(ReplaceFile, KeepsTheModeOfTheFileItReplaces) {
    write(path("secret.txt"), "old\n");
    fs::permissions(path("secret.txt"), fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(replace_file(path("secret.txt"), "new\n"));
    EXPECT_EQ(fs::status(path("secret.txt")).permissions(), fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(FileBesideTest, ALongNameIsCutInTheTemporaryNameOnly) {
    std::string name(255, 'n');
    FileBeside file(path(name));
    ASSERT_TRUE(file.ready());
    EXPECT_EQ(fs::path(file.path()).filename().string().size(), 255u);
    ASSERT_TRUE(file.put_in_place());
    EXPECT_TRUE(fs::exists(path(name)));
}

TEST(TemporaryNames, OnlyTheMarkedShapeThisProgramMakes) {
    for (const char* name : {".p1.zep.zentul-tmp.a1B2c3", ".packages.txt.zentul-tmp.ZZZZZZ", ".x.zentul-tmp.backup"}) {
        EXPECT_TRUE(is_temporary_name(name)) << name;
    }
    for (const char* name : {".p1.zep.a1B2c3", "packages.txt.abcdef", ".packages.txt.backup", "p1.zep.zentul-tmp.a1B2c3",
                             ".p1.zep.zentul-tmp.abcde", ".p1.zep.zentul-tmp.abcdefg", ".p1.zep.zentul-tmp.abc-ef",
                             ".zentul-tmp.abcdef"}) {
        EXPECT_FALSE(is_temporary_name(name)) << name;
    }
}

using Sweep = FolderTest;

TEST_F(Sweep, TakesOnlyMarkedFilesThatNobodyHolds) {
    FileBeside in_use(path("lib.zinc"));
    ASSERT_TRUE(in_use.ready());
    for (const char* name : {".lib.zinc.zentul-tmp.Orphan", ".packages.txt.backup", "notes.txt"}) write(path(name), "x");
    fs::create_directory(path(".zentul-update.zentul-tmp.folder"));
    write(path(".zentul-update.zentul-tmp.folder/zentul"), "x");
    sweep_leftovers(folder.string());
    EXPECT_TRUE(fs::exists(in_use.path()));
    EXPECT_FALSE(fs::exists(path(".lib.zinc.zentul-tmp.Orphan")));
    EXPECT_FALSE(fs::exists(path(".zentul-update.zentul-tmp.folder")));
    EXPECT_TRUE(fs::exists(path(".packages.txt.backup")));
    EXPECT_TRUE(fs::exists(path("notes.txt")));
}

TEST_F(Sweep, NeverFollowsALinkWithAMarkedName) {
    write(path("victim.txt"), "kept\n");
    fs::create_symlink(path("victim.txt"), path(".victim.txt.zentul-tmp.linked"));
    sweep_leftovers(folder.string());
    EXPECT_EQ(read(path("victim.txt")), "kept\n");
}

TEST_F(Sweep, APrivateFolderInUseStaysAndGoesWithItsOwner) {
    std::string made;
    {
        PrivateFolder private_folder(folder.string(), "zentul-update");
        ASSERT_TRUE(private_folder.ready());
        made = private_folder.path();
        write(made + "/zentul", "x");
        sweep_leftovers(folder.string());
        EXPECT_TRUE(fs::exists(made + "/zentul"));
    }
    EXPECT_FALSE(fs::exists(made));
}

}  // namespace
