#include "adn/script_commands.h"

#include <initializer_list>
#include <string>

#include "adn/install.h"
#include "adn/messages.h"
#include "adn/registry.h"
#include "core/cursor.h"
#include "core/error.h"

namespace {

bool is_word(const std::string& word, const char* long_form, const char* short_form) {
    return word == long_form || word == short_form;
}

// Steps over the command word, which must be of one of the given kinds, and
// returns its text; else stops with "Expected <statement> command".
std::string take_command_word(std::initializer_list<TokenType> kinds, const char* statement) {
    for (TokenType kind : kinds) {
        if (check(kind)) {
            std::string word = peek().text;
            step_over();
            return word;
        }
    }
    error(adn_text::EXPECTED_COMMAND, statement);
}

// The name or address after a command word: one identifier or string token.
// Copied, because package code run by the command reuses the token table.
std::string take_argument(const char* failure) {
    if (!check(TOKEN_IDENTIFIER) && !check(TOKEN_STRING)) error("%s", failure);
    std::string text = peek().text;
    step_over();
    return text;
}

void run_adn_command(const std::string& word) {
    if (is_word(word, "install", "i")) {
        install_package(take_argument(adn_text::EXPECTED_INSTALL_NAME).c_str());
    } else if (is_word(word, "update", "u")) {
        update_package(take_argument(adn_text::EXPECTED_UPDATE_NAME).c_str());
    } else if (is_word(word, "remove", "r")) {
        remove_package(take_argument(adn_text::EXPECTED_REMOVE_NAME).c_str());
    } else if (is_word(word, "list", "ls")) {
        list_packages();
    } else {
        error(adn_text::UNKNOWN_ADN_COMMAND, word.c_str());
    }
}

void run_adm_command(const std::string& word) {
    if (word == "mirror") {
        add_repository(take_argument(adn_text::EXPECTED_MIRROR_ADDRESS).c_str());
    } else if (is_word(word, "remove", "rm")) {
        remove_repository(take_argument(adn_text::EXPECTED_REMOVE_ADDRESS).c_str());
    } else if (is_word(word, "list", "ls")) {
        list_repositories();
    } else {
        error(adn_text::UNKNOWN_ADM_COMMAND, word.c_str());
    }
}

}  // namespace

void execute_adn(const char* name) {
    consume_after(TOKEN_LPAREN, name);
    std::string word = take_command_word({TOKEN_IDENTIFIER, TOKEN_INSTALL, TOKEN_UPDATE, TOKEN_REMOVE}, name);
    run_adn_command(word);
    consume_after(TOKEN_RPAREN, name);
}

void execute_adm(const char* name) {
    consume_after(TOKEN_LPAREN, name);
    std::string word = take_command_word({TOKEN_IDENTIFIER, TOKEN_MIRROR, TOKEN_REMOVE}, name);
    run_adm_command(word);
    consume_after(TOKEN_RPAREN, name);
}
