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

TEST(InstallCommand, EachPlatformsStepsThroughSudoUnlessRoot) {
    const char beside[] = "/usr/local/bin/.zentul.zentul-tmp.Ab12Cd";
    for (std::string sudo : {"sudo ", ""}) {
        auto steps = [&](const char* platform, const char* path) {
            InstallSteps made = install_steps(platform, path, "/tmp/d", beside, sudo.empty());
            return made.copy + " | " + made.rename;
        };
        EXPECT_EQ(steps("macos", "/tmp/Zentul-4.0.0.pkg"), sudo + "installer -pkg \"/tmp/Zentul-4.0.0.pkg\" -target / | ");
        EXPECT_EQ(steps("linux", "/tmp/Zentul-4.0.0.tar.gz"), "cd \"/tmp/d\" && tar -xzf - --no-same-owner && [ -f zentul ] && "
                  "[ ! -L zentul ] && " + sudo + "cp zentul \"" + beside + "\" | " + sudo + "mv -f -T \"" + beside +
                  "\" /usr/local/bin/zentul");
        EXPECT_EQ(steps("windows", "/tmp/Zentul-4.0.0.exe") + steps("unknown", "/tmp/Zentul-4.0.0.tar.gz"), " |  | ");
    }
}

TEST(InstallCommand, ShellCharactersInThePathStayLiteral) {
    EXPECT_EQ(install_steps("macos", "/tmp/a\"b$c`d\\e", "/tmp/d", "", false).copy, "sudo installer -pkg \"/tmp/a\\\"b\\$c\\`d\\\\e\" -target /");
    EXPECT_EQ(install_steps("linux", "/tmp/x", "/tmp/$d", "/usr/local/bin/.$b", false).rename,
              "sudo mv -f -T \"/usr/local/bin/.\\$b\" /usr/local/bin/zentul");
}

TEST(InstallCommand, IsCutTo1023Characters) {
    std::string path = "/tmp/" + std::string(2000, 'x');
    std::string command = install_steps("macos", path.c_str(), "/tmp/d", "", false).copy;
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
