#include "adn/script_commands.h"

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <string>

#include "adn/install.h"
#include "adn/registry.h"
#include "stmt/compiler.h"

namespace {

bool is_word(const std::string& word, const char* long_form, const char* short_form) {
    return word == long_form || word == short_form;
}

enum class Command { INSTALL, UPDATE, REMOVE, LIST_PACKAGES, MIRROR, REMOVE_REPOSITORY, LIST_REPOSITORIES };

// A package or repository statement. The command runs before the ')' is
// looked for; package code it runs leaves its own line for a failure there.
struct PackageStatement : StatementOf<PackageStatement> {
    Command command = Command::LIST_PACKAGES;
    std::string argument;  // the name or address
    int line = 0;          // of the last token read before the command runs
    std::optional<Fault> missing_close;
    Reader::Ending ending{};

    static Landing run(const PackageStatement& s) {
        int runs_before = runs_begun;
        perform(s.command, s.argument.c_str());
        if (s.missing_close) {
            Fault fault = *s.missing_close;
            fault.line = runs_begun == runs_before ? s.line : current_line;
            raise(fault);
        }
        return s.ending.reached();
    }

    static void perform(Command command, const char* argument) {
        switch (command) {
            case Command::INSTALL: install_package(argument); break;
            case Command::UPDATE: update_package(argument); break;
            case Command::REMOVE: remove_package(argument); break;
            case Command::LIST_PACKAGES: list_packages(); break;
            case Command::MIRROR: add_repository(argument); break;
            case Command::REMOVE_REPOSITORY: remove_repository(argument); break;
            case Command::LIST_REPOSITORIES: list_repositories(); break;
        }
    }
};

// The name or address after a command word: one identifier or string token.
bool read_argument(Reader& reader, PackageStatement& statement) {
    if (!reader.check(TOKEN_IDENTIFIER) && !reader.check(TOKEN_STRING)) return false;
    statement.argument = reader.text();
    reader.step();
    return true;
}

// The command word's meaning; the failure, when it has none or lacks its
// argument, is returned.
std::optional<Fault> read_adn_command(Reader& reader, PackageStatement& statement, const std::string& word) {
    struct Form {
        const char* long_form;
        const char* short_form;
        Command command;
    };
    static const Form forms[] = {
        {"install", "i", Command::INSTALL},
        {"update", "u", Command::UPDATE},
        {"remove", "r", Command::REMOVE},
    };
    for (const Form& form : forms) {
        if (!is_word(word, form.long_form, form.short_form)) continue;
        statement.command = form.command;
        if (!read_argument(reader, statement)) return reader.fault(FaultCode::EXPECTED_PACKAGE_NAME, form.long_form);
        return std::nullopt;
    }
    if (is_word(word, "list", "ls")) return std::nullopt;
    return reader.fault(FaultCode::UNKNOWN_COMMAND, "adn", word);
}

std::optional<Fault> read_adm_command(Reader& reader, PackageStatement& statement, const std::string& word) {
    statement.command = Command::LIST_REPOSITORIES;
    if (is_word(word, "list", "ls")) return std::nullopt;
    const char* command_word = "mirror";
    if (word == command_word) {
        statement.command = Command::MIRROR;
    } else if (is_word(word, "remove", "rm")) {
        statement.command = Command::REMOVE_REPOSITORY;
        command_word = "remove";
    } else {
        return reader.fault(FaultCode::UNKNOWN_COMMAND, "adm", word);
    }
    if (!read_argument(reader, statement)) return reader.fault(FaultCode::EXPECTED_REPOSITORY, command_word);
    return std::nullopt;
}

using CommandReader = std::optional<Fault> (*)(Reader&, PackageStatement&, const std::string&);

Owned<> compile_package_statement(Reader reader, const char* keyword, std::initializer_list<TokenType> command_kinds,
                                  CommandReader read_command) {
    reader.skip();
    if (!reader.match(TOKEN_LPAREN)) return failing_statement(reader.expected_after(TOKEN_LPAREN, keyword));
    if (std::none_of(command_kinds.begin(), command_kinds.end(), [&](TokenType kind) { return reader.check(kind); })) {
        return failing_statement(reader.fault(FaultCode::EXPECTED_COMMAND, keyword));
    }
    std::string word = reader.text();
    reader.step();
    auto statement = new_statement<PackageStatement>();
    if (auto fault = read_command(reader, *statement, word)) return failing_statement(*fault);
    statement->line = reader.line;
    if (statement->command == Command::INSTALL || statement->command == Command::UPDATE) {
        reader.flow(Findings::Step::PACKAGE_CODE, reader.at);
    }
    if (reader.match(TOKEN_RPAREN)) {
        statement->ending = reader.end_statement(keyword);
    } else {
        statement->missing_close = reader.expected_after(TOKEN_RPAREN, keyword);
    }
    return statement;
}

}  // namespace

Owned<> compile_adn(Compiler& compiler, int start, Context) {
    return compile_package_statement(compiler.reader(start), "adn",
                                     {TOKEN_IDENTIFIER, TOKEN_INSTALL, TOKEN_UPDATE, TOKEN_REMOVE},
                                     read_adn_command);
}

Owned<> compile_adm(Compiler& compiler, int start, Context) {
    return compile_package_statement(compiler.reader(start), "adm", {TOKEN_IDENTIFIER, TOKEN_MIRROR, TOKEN_REMOVE},
                                     read_adm_command);
}
