#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "cli/runner.h"
#include "stmt/statements.h"

namespace {

struct HeaderCase {
    const char* source;
    int newline;           // print_newline after parse_config
    const char* stripped;  // result of strip_config
};

std::string stripped(const char* source) {
    char* text = strip_config(source);
    std::string result = text;
    std::free(text);
    return result;
}

}  // namespace

TEST(ScriptHeader, ReadAndCutOut) {
    const HeaderCase cases[] = {
        {"print(1);\n", 1, "print(1);\n"},
        {"", 1, ""},
        {"sg<nel>\nprint(1);\n", 0, "print(1);\n"},
        {"sg<>\nx", 1, "x"},
        {"sg<nnel>\nx", 0, "x"},
        {"sg<ne>l\nx", 1, "x"},
        {"sg<x>nel\nx", 1, "x"},
        {"sg<nel>", 0, ""},
        // After comment lines and blanks; the blanks join the next line.
        {"# one\n#two\n \t\rsg<nel>\nx", 0, "# one\n#two\n \t\rx"},
        // An empty line or other text first: no header.
        {"\nsg<nel>\nx", 1, "\nsg<nel>\nx"},
        {"x\nsg<nel>\n", 1, "x\nsg<nel>\n"},
        {"sg <nel>\n", 1, "sg <nel>\n"},
        // Without '>' the search for "nel" runs on past the header line.
        {"sg<abc\nprint(\"tunnel\");", 0, "print(\"tunnel\");"},
        {"sg<abc\nprint(\"tun>nel\");", 1, "print(\"tun>nel\");"},
    };
    for (const HeaderCase& c : cases) {
        print_newline = 1 - c.newline;
        parse_config(c.source);
        EXPECT_EQ(print_newline, c.newline) << c.source;
        EXPECT_EQ(stripped(c.source), c.stripped) << c.source;
    }
}

TEST(ScriptHeader, StripReturnsAFreshCopy) {
    const char* source = "print(1);";
    char* copy = strip_config(source);
    EXPECT_NE(copy, source);
    EXPECT_STREQ(copy, source);
    std::free(copy);
}
