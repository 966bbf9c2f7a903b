#include <sys/wait.h>

#include "adn/journal.h"
#include "folder_test.h"
#include "system/file_beside.h"
#include "system/leftovers.h"

namespace fs = std::filesystem;

namespace {

const std::string OLD_TABLE = "p|1.0|r|t\n";
const std::string NEW_TABLE = "p|2.0|r|t\n";

// A package change cut short at every step of its files, each in a child
// process that ends there as a kill would, then recovered: the record and
// the package file must agree, wholly old or wholly new.
class Journal : public FolderTest {
protected:
    void SetUp() override {
        FolderTest::SetUp();
        ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
        ASSERT_EQ(chdir(folder.c_str()), 0);
    }
    void TearDown() override {
        before_file_step = nullptr;
        EXPECT_EQ(chdir(previous), 0);
        FolderTest::TearDown();
    }

    void start(bool with_file) {
        fs::remove_all(".adn");
        fs::create_directory(".adn");
        write(".adn/packages.txt", OLD_TABLE);
        if (with_file) write(".adn/p.zep", "old\n");
    }

    // Runs the change in a child that ends before its `step`th file step.
    static void change_until(int step, bool install) {
        pid_t child = fork();
        if (child == 0) {
            static int steps_left;
            steps_left = step;
            before_file_step = [](FileStep, const std::string&) {
                if (--steps_left == 0) _exit(0);
            };
            FileBeside file(".adn/p.zep");
            write(file.path(), "new\n");
            commit_package_change(PackageChange{"p", install ? &file : nullptr, NEW_TABLE});
            _exit(0);
        }
        int status = 0;
        waitpid(child, &status, 0);
    }

    char previous[4096];
};

TEST_F(Journal, EveryStepOfAnInstallUpdateOrRemovalEndsOldOrNewWhole) {
    for (auto [install, had_file] : {std::pair{true, true}, {true, false}, {false, true}}) {
        std::string old_file = had_file ? "old\n" : "(none)", new_file = install ? "new\n" : "(none)";
        for (int step = 1; step <= 20; step++) {
            start(had_file);
            change_until(step, install);
            ASSERT_TRUE(recover_package_change());
            sweep_leftovers(".adn");
            std::string state = read(".adn/packages.txt") + read(".adn/p.zep");
            EXPECT_TRUE(state == OLD_TABLE + old_file || state == NEW_TABLE + new_file)
                << (install ? "install" : "remove") << " step " << step << ": " << state;
            EXPECT_EQ(std::distance(fs::directory_iterator(".adn"), {}), 1 + (state.ends_with("(none)") ? 0 : 1));
        }
    }
}

TEST_F(Journal, AReaderWithoutTheLockSeesTheLastFinishedTable) {
    start(true);
    change_until(4, true);
    std::optional<FileText> table = read_committed_table();
    ASSERT_TRUE(table);
    EXPECT_EQ(table->outcome, ReadOutcome::READ);
    EXPECT_EQ(table->text, OLD_TABLE);
}

TEST_F(Journal, AReaderTakesTheJournalOfACommitBegunWhileItReadTheTable) {
    start(true);
    before_file_step = [](FileStep step, const std::string&) {
        if (step != FileStep::READ) return;
        write(".adn/journal", "zentul journal 1\npackage p\nfile kept\ntable 10\n" + OLD_TABLE + "end\n");
        write(".adn/packages.txt", NEW_TABLE);
    };
    EXPECT_EQ(read_committed_table()->text, OLD_TABLE);
}

// A cut or changed journal, a name that leads out of .adn, a link: refused,
// and nothing is touched.
TEST_F(Journal, AJournalNotWordForWordAsACommitWritesItStopsEveryChange) {
    const std::string head = "zentul journal 1\npackage ", none = "\nfile none\ntable none\nend\n";
    for (const std::string& text : {head + "p\n", head + "../victim" + none, head + std::string("p\0/x", 4) + none,
                                    head + "p\nfile kepT\ntable none\nend\n", head + "p\nfile kept\ntable +0\nend\n",
                                    head + "p\nfile kept\ntable  0\nend\n", head + "p\nfile kept\ntable 0abc\nend\n",
                                    std::string("a link")}) {
        start(true);
        write("victim.zep", "mine\n");
        write("valid", head + "p" + none);
        if (text == "a link") fs::create_symlink("../valid", ".adn/journal");
        if (text != "a link") write(".adn/journal", text);
        EXPECT_FALSE(recover_package_change()) << text;
        EXPECT_EQ(read(".adn/packages.txt") + read(".adn/p.zep") + read("victim.zep"), OLD_TABLE + "old\nmine\n") << text;
    }
}

}  // namespace
