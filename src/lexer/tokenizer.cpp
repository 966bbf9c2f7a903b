#include "lexer/tokenizer.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string_view>
#include <unordered_map>

#include "core/numbers.h"

Token tokens[MAX_TOKENS];
TokenFacts token_facts[MAX_TOKENS];
int token_count = 0;
char token_texts[TOKEN_TEXTS_SIZE];
int token_texts_used = 0;

namespace {

constexpr int STRING_LIMIT = TOKEN_TEXT_SIZE - 1;

// Ends tokenizing early; caught by `tokenize`.
struct LexFailure {
    Fault fault;
};

[[noreturn]] void fail(Fault fault) { throw LexFailure{std::move(fault)}; }

bool is_digit(char c) { return c >= '0' && c <= '9'; }

bool is_alpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }

class Scanner {
public:
    explicit Scanner(const char* source) : current_(source) {}

    int line() const { return line_; }
    std::vector<int> cut_words;

    void scan_all() {
        token_count = 0;
        token_texts_used = 0;
        for (;;) {
            skip_blanks_and_comments();
            start_ = current_;
            if (peek() == '\0') {
                add_token(TOKEN_EOF, "", 0);
                return;
            }
            scan_token();
        }
    }

private:
    const char* start_ = nullptr;
    const char* current_;
    int line_ = 1;

    char peek() const { return *current_; }
    static bool is_word_character(char c) { return is_alpha(c) || is_digit(c); }
    char advance() { return *current_++; }

    bool match(char expected) {
        if (*current_ != expected) return false;
        current_++;
        return true;
    }

    void skip_blanks_and_comments() {
        for (;;) {
            switch (peek()) {
                case ' ':
                case '\t':
                case '\r':
                    advance();
                    break;
                case '\n':
                    line_++;
                    advance();
                    break;
                case '#':
                    while (peek() != '\n' && peek() != '\0') advance();
                    break;
                default:
                    return;
            }
        }
    }

    // Texts are at most 1023 characters, so the pool always has room.
    Token& add_token(TokenType type, const char* text, std::size_t length) {
        if (token_count >= MAX_TOKENS) fail(fault_of(FaultCode::TOO_MANY_TOKENS, MAX_TOKENS));
        char* stored = token_texts + token_texts_used;
        std::memcpy(stored, text, length);
        stored[length] = '\0';
        token_texts_used += static_cast<int>(length) + 1;
        Token& token = tokens[token_count];
        token = Token{type, line_, stored};
        token_facts[token_count] = TokenFacts{0.0, -1};
        token_count++;
        return token;
    }

    void scan_token() {
        char c = advance();
        if (is_alpha(c)) return word();
        if (is_digit(c) || (c == '.' && is_digit(peek()))) return number(c == '.');
        switch (c) {
            case '"': return string();
            case '(': return add_operator(TOKEN_LPAREN);
            case ')': return add_operator(TOKEN_RPAREN);
            case '{': return add_operator(TOKEN_LBRACE);
            case '}': return add_operator(TOKEN_RBRACE);
            case '[': return add_operator(TOKEN_LBRACKET);
            case ']': return add_operator(TOKEN_RBRACKET);
            case ',': return add_operator(TOKEN_COMMA);
            case ';': return add_operator(TOKEN_SEMICOLON);
            case '+': return add_operator(TOKEN_PLUS);
            case '-': return add_operator(TOKEN_MINUS);
            case '*': return add_operator(TOKEN_MULTIPLY);
            case '/': return add_operator(TOKEN_DIVIDE);
            case '%': return add_operator(TOKEN_MODULO);
            case '=': return add_operator(match('=') ? TOKEN_EQ : TOKEN_ASSIGN);
            case '!': return add_operator(match('=') ? TOKEN_NE : TOKEN_NOT);
            case '<': return add_operator(match('=') ? TOKEN_LE : TOKEN_LT);
            case '>': return add_operator(match('=') ? TOKEN_GE : TOKEN_GT);
            case '&':
                if (match('&')) return add_operator(TOKEN_AND);
                break;
            case '|':
                if (match('|')) return add_operator(TOKEN_OR);
                break;
        }
        fail(fault_of(FaultCode::UNKNOWN_CHARACTER, c));
    }

    void add_operator(TokenType type) { add_token(type, start_, current_ - start_); }

    void word() {
        while (is_word_character(peek()) && current_ - start_ < WORD_LIMIT) advance();
        if (current_ - start_ == WORD_LIMIT && is_word_character(peek())) cut_words.push_back(token_count + 1);
        std::size_t length = current_ - start_;
        add_token(keyword_type(std::string_view(start_, length)), start_, length);
    }

    void number(bool seen_point) {
        while (current_ - start_ < WORD_LIMIT) {
            if (is_digit(peek())) {
                advance();
            } else if (peek() == '.' && !seen_point) {
                seen_point = true;
                advance();
            } else {
                break;
            }
        }
        add_token(TOKEN_NUMBER, start_, current_ - start_);
        token_facts[token_count - 1].number = read_number(start_, current_);
    }

    void string() {
        char text[TOKEN_TEXT_SIZE];
        std::size_t length = 0;
        while (length < STRING_LIMIT && peek() != '"' && peek() != '\0') {
            char c = advance();
            if (c == '\\' && peek() != '\0') c = escaped(advance());
            text[length++] = c;
        }
        if (!match('"')) fail(fault_of(FaultCode::UNTERMINATED_STRING));
        add_token(TOKEN_STRING, text, length);
    }

    static char escaped(char c) {
        switch (c) {
            case 'n': return '\n';
            case 't': return '\t';
            case 'r': return '\r';
            default: return c;
        }
    }
};

// Pairs every '{' with its '}' as brace counting would; an unclosed one is
// paired with the end token.
void match_braces() {
    static int open[MAX_TOKENS];
    int depth = 0;
    for (int index = 0; index < token_count; index++) {
        if (tokens[index].type == TOKEN_LBRACE) {
            open[depth++] = index;
        } else if (tokens[index].type == TOKEN_RBRACE && depth > 0) {
            token_facts[open[--depth]].match = index;
        }
    }
    while (depth > 0) token_facts[open[--depth]].match = token_count - 1;
}

}  // namespace

// The keywords by their names, for a look-up that does not walk the table.
TokenType keyword_type(std::string_view word) {
    static const std::unordered_map<std::string_view, TokenType> by_name = [] {
        std::unordered_map<std::string_view, TokenType> table;
        for (const KeywordEntry* row = keywords; row->name != nullptr; row++) table.emplace(row->name, row->type);
        return table;
    }();
    auto found = by_name.find(word);
    return found != by_name.end() ? found->second : TOKEN_IDENTIFIER;
}

char punctuation_of(TokenType type) {
    switch (type) {
        case TOKEN_LPAREN: return '(';
        case TOKEN_RPAREN: return ')';
        case TOKEN_LBRACE: return '{';
        case TOKEN_RBRACE: return '}';
        case TOKEN_COMMA: return ',';
        case TOKEN_SEMICOLON: return ';';
        case TOKEN_ASSIGN: return '=';
        default: return '?';
    }
}

LexResult tokenize(const char* source) {
    Scanner scanner(source);
    try {
        scanner.scan_all();
    } catch (LexFailure& failure) {
        failure.fault.line = scanner.line();
        return LexResult{scanner.line(), std::move(failure.fault), {}};
    }
    match_braces();
    return LexResult{scanner.line(), std::nullopt, std::move(scanner.cut_words)};
}
