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

const char BESIDE[] = "/usr/local/bin/.zentul.zentul-tmp.Ab12Cd";

TEST(InstallSteps, MacosRunsTheInstallerThroughSudoUnlessRoot) {
    for (bool root : {false, true}) {
        InstallSteps steps = install_steps("macos", "/tmp/Zentul-4.0.0.pkg", "/tmp/d", BESIDE, root);
        EXPECT_EQ(steps.copy, std::string(root ? "" : "sudo ") + "installer -pkg \"/tmp/Zentul-4.0.0.pkg\" -target /");
        EXPECT_EQ(steps.rename, "");
    }
}

TEST(InstallSteps, LinuxUnpacksItsInputCopiesARegularProgramBesideAndRenamesItThroughSudoUnlessRoot) {
    for (bool root : {false, true}) {
        std::string sudo = root ? "" : "sudo ";
        InstallSteps steps = install_steps("linux", "/tmp/Zentul-4.0.0.tar.gz", "/tmp/d", BESIDE, root);
        EXPECT_EQ(steps.copy, "cd \"/tmp/d\" && tar -xzf - --no-same-owner && [ -f zentul ] && [ ! -L zentul ] && " +
                                  sudo + "cp zentul \"" + BESIDE + "\"");
        EXPECT_EQ(steps.rename, sudo + "mv -f -T \"" + BESIDE + "\" /usr/local/bin/zentul");
    }
}

TEST(InstallSteps, OtherPlatformsHaveNone) {
    for (const char* platform : {"windows", "unknown"}) {
        InstallSteps steps = install_steps(platform, "/tmp/Zentul-4.0.0.exe", "/tmp/d", BESIDE, false);
        EXPECT_EQ(steps.copy + steps.rename, "");
    }
}

TEST(InstallSteps, ShellCharactersInThePathsStayLiteral) {
    EXPECT_EQ(install_steps("macos", "/tmp/a\"b$c`d\\e", "/tmp/d", BESIDE, false).copy,
              "sudo installer -pkg \"/tmp/a\\\"b\\$c\\`d\\\\e\" -target /");
    EXPECT_TRUE(install_steps("linux", "/tmp/x", "/tmp/$d", BESIDE, false).copy.starts_with("cd \"/tmp/\\$d\" && "));
}

TEST(InstallSteps, AreCutTo1023Characters) {
    std::string path = "/tmp/" + std::string(2000, 'x');
    std::string command = install_steps("macos", path.c_str(), "/tmp/d", BESIDE, false).copy;
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
    for (const char* text : {"4.0 1", "4.0/1", "4.zentul-tmp.abcdef", "4.0\n", "4.0\r", "4\"0", "4$0", "4`0", "4\\0", "4;0", "4(0)", "4,0",
                             "4@0", "4:0", "4[0", "4{0", "4~0", "4=0"}) {
        EXPECT_FALSE(is_valid_version_text(text)) << text;
    }
}

TEST(VersionText, RefusesBytesBeyondAscii) {
    EXPECT_FALSE(is_valid_version_text("4.0\xc3\xa4"));
    EXPECT_FALSE(is_valid_version_text("\xff"));
}
