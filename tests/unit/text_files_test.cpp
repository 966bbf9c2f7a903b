#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include <stdlib.h>
#include <unistd.h>

#include "adn/text_files.h"

TEST(ReplaceFile, AFailedWriteLeavesTheOldFile) {
    char folder[] = "/tmp/zentul_replace_XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    std::string path = std::string(folder) + "/packages.txt";
    std::string temporary = path + ".tmp";
    ASSERT_TRUE(replace_file(path, "old\n"));
    EXPECT_NE(access(temporary.c_str(), F_OK), 0);

    // /dev/full takes a short text into the stream's buffer; writing it out
    // on closing fails.
    ASSERT_EQ(symlink("/dev/full", temporary.c_str()), 0);
    EXPECT_FALSE(replace_file(path, "new\n"));
    std::string contents;
    EXPECT_TRUE(read_whole_file(path, contents));
    EXPECT_EQ(contents, "old\n");

    std::remove(temporary.c_str());
    std::remove(path.c_str());
    rmdir(folder);
}
