#include <gtest/gtest.h>

#include <string>

#include "cli/network.h"

TEST(UpdateDirectory, EachPlatformHasItsOwn) {
    EXPECT_STREQ(update_directory("macos"), "pkg");
    EXPECT_STREQ(update_directory("windows"), "exe");
    EXPECT_STREQ(update_directory("linux"), "deb");
}

TEST(UpdateDirectory, AnyOtherPlatformTakesTheLinuxOne) {
    EXPECT_STREQ(update_directory("unknown"), "deb");
    EXPECT_STREQ(update_directory(""), "deb");
}

TEST(InstallCommand, MacosRunsTheInstallerThroughSudoUnlessRoot) {
    EXPECT_EQ(install_command("macos", "/tmp/Zentul-4.0.0.pkg", "/tmp/d", false),
              "sudo installer -pkg \"/tmp/Zentul-4.0.0.pkg\" -target /");
    EXPECT_EQ(install_command("macos", "/tmp/Zentul-4.0.0.pkg", "/tmp/d", true),
              "installer -pkg \"/tmp/Zentul-4.0.0.pkg\" -target /");
}

TEST(InstallCommand, LinuxUnpacksInItsFolderAndCopiesARegularProgramThroughSudoUnlessRoot) {
    EXPECT_EQ(install_command("linux", "/tmp/Zentul-4.0.0.tar.gz", "/tmp/d", false),
              "cd \"/tmp/d\" && tar -xzf \"/tmp/Zentul-4.0.0.tar.gz\" --no-same-owner && [ -f zentul ] && "
              "[ ! -L zentul ] && sudo cp zentul /usr/local/bin/");
    EXPECT_EQ(install_command("linux", "/tmp/Zentul-4.0.0.tar.gz", "/tmp/d", true),
              "cd \"/tmp/d\" && tar -xzf \"/tmp/Zentul-4.0.0.tar.gz\" --no-same-owner && [ -f zentul ] && "
              "[ ! -L zentul ] && cp zentul /usr/local/bin/");
}

TEST(InstallCommand, OtherPlatformsHaveNone) {
    EXPECT_EQ(install_command("windows", "/tmp/Zentul-4.0.0.exe", "/tmp/d", false), "");
    EXPECT_EQ(install_command("unknown", "/tmp/Zentul-4.0.0.tar.gz", "/tmp/d", false), "");
}

TEST(InstallCommand, ShellCharactersInThePathStayLiteral) {
    EXPECT_EQ(install_command("macos", "/tmp/a\"b$c`d\\e", "/tmp/d", false), "sudo installer -pkg \"/tmp/a\\\"b\\$c\\`d\\\\e\" -target /");
    EXPECT_EQ(install_command("linux", "/tmp/$HOME", "/tmp/$d", false),
              "cd \"/tmp/\\$d\" && tar -xzf \"/tmp/\\$HOME\" --no-same-owner && [ -f zentul ] && [ ! -L zentul ] && "
              "sudo cp zentul /usr/local/bin/");
}

TEST(InstallCommand, IsCutTo1023Characters) {
    std::string path = "/tmp/" + std::string(2000, 'x');
    std::string command = install_command("macos", path.c_str(), "/tmp/d", false);
    EXPECT_EQ(command.size(), 1023u);
    EXPECT_EQ(command.substr(0, 25), "sudo installer -pkg \"/tmp");
}

TEST(VersionText, AcceptsLettersDigitsAndTheFourMarks) {
    EXPECT_TRUE(is_valid_version_text("4.0.1"));
    EXPECT_TRUE(is_valid_version_text("Re+4.0.1-Release_2"));
    EXPECT_TRUE(is_valid_version_text("zZ09"));
}

TEST(VersionText, RefusesEmptyText) { EXPECT_FALSE(is_valid_version_text("")); }

TEST(VersionText, RefusesEveryOtherCharacter) {
    for (const char* text : {"4.0 1", "4.0/1", "4.0\n", "4.0\r", "4\"0", "4$0", "4`0", "4\\0", "4;0", "4(0)", "4,0",
                             "4@0", "4:0", "4[0", "4{0", "4~0", "4=0"}) {
        EXPECT_FALSE(is_valid_version_text(text)) << text;
    }
}

TEST(VersionText, RefusesBytesBeyondAscii) {
    EXPECT_FALSE(is_valid_version_text("4.0\xc3\xa4"));
    EXPECT_FALSE(is_valid_version_text("\xff"));
}
