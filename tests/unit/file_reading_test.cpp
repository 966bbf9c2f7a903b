#include <sys/stat.h>

#include "folder_test.h"
#include "system/file_reading.h"

namespace fs = std::filesystem;

namespace {

using FileReading = FolderTest;

TEST_F(FileReading, OnlyANoSuchFileIsMissing) {
    EXPECT_EQ(read_file_text(path("none").c_str(), TABLE_READ).outcome, ReadOutcome::MISSING);
    std::ofstream(path("file")) << "x";
    EXPECT_EQ(read_file_text(path("file/below").c_str(), TABLE_READ).outcome, ReadOutcome::MISSING);
    fs::create_directory(path("folder"));
    EXPECT_EQ(read_file_text(path("folder").c_str(), TABLE_READ).outcome, ReadOutcome::NOT_ALLOWED);
}

TEST_F(FileReading, DevicesAndFifosAreRefusedAtOnceWhereOnlyFilesAreRead) {
    ASSERT_EQ(mkfifo(path("fifo").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", path("zero"));
    for (const char* name : {"fifo", "zero"}) {
        EXPECT_EQ(read_file_text(path(name).c_str(), PACKAGE_READ).outcome, ReadOutcome::NOT_ALLOWED) << name;
    }
}

TEST_F(FileReading, AFileOverItsLimitIsRefusedWhole) {
    std::ofstream(path("big")) << std::string(TABLE_READ.most_bytes + 1, 'x');
    FileText file = read_file_text(path("big").c_str(), TABLE_READ);
    EXPECT_EQ(file.outcome, ReadOutcome::TOO_LARGE);
    EXPECT_TRUE(file.text.empty());
    EXPECT_EQ(read_failure_reason(file, TABLE_READ), "larger than 1 MiB");
}

TEST_F(FileReading, AScriptEndsAtItsFirstNulAndAStreamIsRead) {
    std::ofstream(path("script"), std::ios::binary) << std::string("print(1);\0print(2);", 19);
    EXPECT_EQ(read_file_text(path("script").c_str(), SCRIPT_READ).text, "print(1);");
    FileText zeros = read_file_text("/dev/zero", SCRIPT_READ);
    EXPECT_EQ(zeros.outcome, ReadOutcome::READ);
    EXPECT_EQ(zeros.text, "");
}

}  // namespace
