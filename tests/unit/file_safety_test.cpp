#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "adn/text_files.h"
#include "adn/leftovers.h"
#include "system/file_beside.h"

namespace fs = std::filesystem;

namespace {

class Folder : public ::testing::Test {
protected:
    void SetUp() override {
        char name[] = "/tmp/zentul-unit-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        folder = name;
    }
    void TearDown() override { fs::remove_all(folder); }

    std::string path(const std::string& name) const { return (folder / name).string(); }

    static void write(const std::string& file, const std::string& text) { std::ofstream(file) << text; }

    static std::string read(const std::string& file) {
        std::ostringstream text;
        text << std::ifstream(file).rdbuf();
        return text.str();
    }

    int entries() const { return static_cast<int>(std::distance(fs::directory_iterator(folder), {})); }

    fs::path folder;
};

using ReplaceFile = Folder;

TEST_F(ReplaceFile, NeverFollowsALinkPlantedAtTheOldTemporaryName) {
    write(path("outside.txt"), "not to be touched\n");
    fs::create_symlink(path("outside.txt"), path("packages.txt.tmp"));
    ASSERT_TRUE(replace_file(path("packages.txt"), "a|1.0|r|t\n"));
    EXPECT_EQ(read(path("outside.txt")), "not to be touched\n");
    EXPECT_EQ(read(path("packages.txt")), "a|1.0|r|t\n");
    EXPECT_EQ(entries(), 3);  // the file, the link and its target: no temporary file left
}

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

using FileBesideTest = Folder;

TEST_F(FileBesideTest, AFileNotPutInPlaceGoesAndLeavesTheTargetAsItWas) {
    write(path("lib.zinc"), "old\n");
    {
        FileBeside file(path("lib.zinc"));
        ASSERT_TRUE(file.ready());
        EXPECT_EQ(fs::path(file.path()).parent_path(), folder);
        EXPECT_TRUE(fs::path(file.path()).filename().string().starts_with(".lib.zinc."));
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
        EXPECT_TRUE(file.path().starts_with(".here.txt."));
        EXPECT_TRUE(file.put_in_place());
    }
    ASSERT_EQ(chdir(previous), 0);
    EXPECT_TRUE(fs::exists(path("here.txt")));
    EXPECT_EQ(entries(), 1);
}

TEST(LeftoverNames, OnlyTheShapesThisProgramMakes) {
    for (const char* name : {".p1.zep.a1B2c3", ".my.pkg.zep.ZZZZZZ", "packages.txt.abcdef", "repositories.txt.123456"}) {
        EXPECT_TRUE(is_leftover_name(name)) << name;
    }
    for (const char* name : {"p1.zep", ".p1.zep", ".zep.abcdef", "p1.zep.abcdef", ".p1.zep.abcde", ".p1.zep.abcdefg",
                             ".p1.zep.abc-ef", ".p1.txt.abcdef", "packages.txt", "packages.txt.abcdefg",
                             "packages.txtXabcdef", ".packages.txt.abcdef", "my-packages.txt.abcdef"}) {
        EXPECT_FALSE(is_leftover_name(name)) << name;
    }
}

}  // namespace
