#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

// A test in a fresh folder of its own, removed afterwards.
class FolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        char name[] = "/tmp/zentul-unit-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        folder = name;
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::string path(const std::string& name) const { return (folder / name).string(); }
    int entries() const {
        return static_cast<int>(std::distance(std::filesystem::directory_iterator(folder), {}));
    }
    static void write(const std::string& file, const std::string& text) { std::ofstream(file) << text; }
    // The file's content, or "(none)" when there is no such file.
    static std::string read(const std::string& file) {
        if (!std::filesystem::exists(file)) return "(none)";
        std::ostringstream text;
        text << std::ifstream(file).rdbuf();
        return text.str();
    }

    std::filesystem::path folder;
};
