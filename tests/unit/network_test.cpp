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
    EXPECT_EQ(install_command("macos", "/tmp/Zentul-4.0.0.pkg", false),
              "sudo installer -pkg \"/tmp/Zentul-4.0.0.pkg\" -target /");
    EXPECT_EQ(install_command("macos", "/tmp/Zentul-4.0.0.pkg", true),
              "installer -pkg \"/tmp/Zentul-4.0.0.pkg\" -target /");
}

TEST(InstallCommand, LinuxUnpacksInTmpAndCopiesTheProgramThroughSudoUnlessRoot) {
    EXPECT_EQ(install_command("linux", "/tmp/Zentul-4.0.0.tar.gz", false),
              "cd /tmp && tar -xzf \"/tmp/Zentul-4.0.0.tar.gz\" && sudo cp zentul /usr/local/bin/");
    EXPECT_EQ(install_command("linux", "/tmp/Zentul-4.0.0.tar.gz", true),
              "cd /tmp && tar -xzf \"/tmp/Zentul-4.0.0.tar.gz\" && cp zentul /usr/local/bin/");
}

TEST(InstallCommand, OtherPlatformsHaveNone) {
    EXPECT_EQ(install_command("windows", "/tmp/Zentul-4.0.0.exe", false), "");
    EXPECT_EQ(install_command("unknown", "/tmp/Zentul-4.0.0.tar.gz", false), "");
}

TEST(InstallCommand, ShellCharactersInThePathStayLiteral) {
    EXPECT_EQ(install_command("macos", "/tmp/a\"b$c`d\\e", false), "sudo installer -pkg \"/tmp/a\\\"b\\$c\\`d\\\\e\" -target /");
    EXPECT_EQ(install_command("linux", "/tmp/$HOME", false),
              "cd /tmp && tar -xzf \"/tmp/\\$HOME\" && sudo cp zentul /usr/local/bin/");
}

TEST(InstallCommand, IsCutTo1023Characters) {
    std::string path = "/tmp/" + std::string(2000, 'x');
    std::string command = install_command("macos", path.c_str(), false);
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
