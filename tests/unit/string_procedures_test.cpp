#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "builtins/procedures.h"

namespace {

// A number exactly, as hexadecimal digits.
std::string exactly(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%a;", value);
    return text;
}

// The string procedures as their description reads, a character at a time.
std::string replaced(const std::string& text, const std::string& old, const std::string& with) {
    if (old.empty()) return text;
    std::string out;
    for (std::size_t at = 0; at < text.size() && out.size() < 1023;) {
        bool match = text.compare(at, old.size(), old) == 0;
        for (char c : match ? with : text.substr(at, 1)) out += out.size() < 1023 ? std::string(1, c) : "";
        at += match ? old.size() : 1;
    }
    return out;
}

std::string split_values(const std::string& text, const std::string& delimiter) {
    std::string values, field;
    for (std::size_t at = 0; at < text.size();) {
        bool match = text.compare(at, delimiter.size(), delimiter) == 0;
        if (match) values += exactly(std::atof(field.c_str()));
        field = match ? "" : field + text[at];
        at += match ? delimiter.size() : 1;
    }
    return field.empty() ? values : values + exactly(std::atof(field.c_str()));
}

std::string part(const std::string& text, int start, int length) {
    if (text.empty()) return "";
    start = std::min(std::max(start, 0), static_cast<int>(text.size()) - 1);
    return text.substr(start, std::min(std::max(length, 0), static_cast<int>(text.size()) - start));
}

std::string trimmed(const std::string& text) {
    auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    std::size_t start = 0, end = text.size();
    while (start < end && blank(text[start])) start++;
    while (end > start && blank(text[end - 1])) end--;
    return text.substr(start, end - start);
}

std::string mapped(std::string text, int (*map)(int)) {
    for (char& c : text) c = static_cast<char>(map(static_cast<unsigned char>(c)));
    return text;
}

// What the procedure leaves in its result variable, its source read where it
// stands: a literal, or the result variable's own text.
std::string performed(TokenType kind, const std::string& source, bool in_place, std::vector<ArgumentValue> more) {
    NameRef result{"__result", 1};
    Variable* variable = result_variable(result);
    set_text(variable, source.c_str(), static_cast<int>(source.size()));
    Call call{};
    call.arguments[0] = {0, in_place ? variable->string : source.c_str(), static_cast<int>(source.size()), nullptr};
    std::copy(more.begin(), more.end(), call.arguments + 1);
    find_procedure(kind, "")->perform(call, result);
    if (kind == TOKEN_SPLIT) {
        std::string values;
        for (int i = 0; i < variable->array_length; i++) values += exactly(variable->elements[i]);
        return values;
    }
    EXPECT_EQ(variable->length, static_cast<int>(std::string(variable->string).size()));
    return std::string(variable->string, static_cast<std::size_t>(variable->length));
}

ArgumentValue text_of(const std::string& text) { return {0, text.c_str(), static_cast<int>(text.size()), nullptr}; }
ArgumentValue number_of(int number) { return {static_cast<double>(number), nullptr, 0, nullptr}; }

}  // namespace

// Random texts of few letters, matches and fields everywhere, some longer
// than the limit once replaced; each procedure against its description.
TEST(StringProcedures, DoWhatTheirDescriptionsSay) {
    reset_variables();
    std::mt19937 random(29);
    const std::string letters = "ab,1. \t-";
    auto text_of_length = [&](std::size_t length) {
        std::string text;
        while (text.size() < length) text += letters[random() % letters.size()];
        return text;
    };
    for (int round = 0; round < 20000; round++) {
        std::string text = text_of_length(random() % 4 == 0 ? random() % 1024 : random() % 24);
        std::string old = text_of_length(random() % 3), with = text_of_length(random() % 5);
        std::string delimiter = text_of_length(1 + random() % 2);
        int start = static_cast<int>(random() % 30) - 5, length = static_cast<int>(random() % 30) - 5;
        bool in_place = random() % 2 == 0;
        ASSERT_EQ(performed(TOKEN_REPLACE, text, in_place, {text_of(old), text_of(with)}), replaced(text, old, with))
            << "'" << text << "' '" << old << "' '" << with << "'";
        ASSERT_EQ(performed(TOKEN_SPLIT, text, in_place, {text_of(delimiter)}), split_values(text, delimiter)) << text;
        ASSERT_EQ(performed(TOKEN_SUBSTRING, text, in_place, {number_of(start), number_of(length)}),
                  part(text, start, length));
        ASSERT_EQ(performed(TOKEN_TRIM, text, in_place, {}), trimmed(text)) << text;
        std::string cased = (text + "Zz{`@[\x80\xe1").substr(0, 1023);  // the letters' neighbours, and bytes above 127
        ASSERT_EQ(performed(TOKEN_UPPER, cased, in_place, {}), mapped(cased, toupper));
        ASSERT_EQ(performed(TOKEN_LOWER, cased, in_place, {}), mapped(cased, tolower));
    }
}
