#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/error.h"
#include "core/variables.h"

namespace {

class Variables : public ::testing::Test {
protected:
    void SetUp() override {
        reset_variables();
    }
};

}  // namespace

TEST_F(Variables, CreatedOnceAndFoundByExactName) {
    Variable* total = find_or_create_variable("total", 1);
    total->number = 4;
    EXPECT_EQ(find_or_create_variable("total", 1), total);
    EXPECT_EQ(var_count, 1);
    EXPECT_EQ(find_variable("Total"), nullptr);
    Variable* other = find_or_create_variable("Total", 1);
    EXPECT_NE(other, total);
    EXPECT_EQ(other->number, 0);
    EXPECT_EQ(var_count, 2);
    EXPECT_EQ(find_variable("total"), total);
    EXPECT_EQ(find_variable("tota"), nullptr);
}

TEST_F(Variables, NamesAreCutAt63Characters) {
    std::string name(70, 'n');
    Variable* variable = find_or_create_variable(name.c_str(), 1);
    EXPECT_EQ(std::strlen(variable->name), 63u);
    EXPECT_EQ(find_variable(name.substr(0, 63).c_str()), variable);
}

TEST_F(Variables, StringResultKeepsTheNumber) {
    store_number_result(NameRef{"n", 1}, 3);
    EXPECT_EQ(find_variable("n")->is_string, 0);
    store_string_result(NameRef{"n", 1}, "text");
    Variable* variable = find_variable("n");
    ASSERT_NE(variable, nullptr);
    EXPECT_EQ(variable->is_string, 1);
    EXPECT_STREQ(variable->string, "text");
    EXPECT_EQ(variable->number, 3);  // a string result leaves the number alone
    EXPECT_EQ(var_count, 1);
}

TEST_F(Variables, StoredStringsAreCutAt1023Characters) {
    std::string text(1500, 'q');
    store_string_result(NameRef{"__upper_result", 1}, text.c_str());
    EXPECT_EQ(std::strlen(find_variable("__upper_result")->string), 1023u);
}

TEST_F(Variables, TableHolds256) {
    for (int i = 0; i < VARIABLE_LIMIT; i++) {
        find_or_create_variable(("v" + std::to_string(i)).c_str(), 1);
    }
    EXPECT_EQ(var_count, 256);
    // Names whose hashes collide are found past each other.
    for (int i = 0; i < VARIABLE_LIMIT; i++) {
        EXPECT_EQ(find_variable(("v" + std::to_string(i)).c_str()), &vars[i]) << i;
    }
    // Existing names are still found and reused when the table is full.
    EXPECT_EQ(find_or_create_variable("v255", 1), &vars[255]);
    try {
        find_or_create_variable("one_more", 7);
        FAIL() << "a 257th variable was created";
    } catch (const ScriptError& failure) {
        EXPECT_EQ(failure.message, "Too many variables (max 256)");
        EXPECT_EQ(failure.line, 7);
    }
    EXPECT_EQ(var_count, 256);
}
