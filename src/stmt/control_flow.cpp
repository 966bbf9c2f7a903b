#include "stmt/compiler.h"

namespace {

constexpr FaultCode IN_FOR_LOOP = FaultCode::EXPECTED_IN_FOR;
constexpr FaultCode CLOSE = FaultCode::EXPECTED_CLOSE;

int block_end(int body_start) { return token_facts[body_start - 1].match; }

int after_block(int body_start) {
    int end = block_end(body_start);
    return tokens[end].type == TOKEN_RBRACE ? end + 1 : end;
}

// How an if statement ends once its block has stopped at `from`: a landing
// (line 0: the line the block left), or a failure.
struct Exit {
    int from;
    Landing landing;
    std::optional<Fault> fault;
};

Landing leave(const std::vector<Exit>& exits, Landing stop) {
    for (const Exit& exit : exits) {
        if (exit.from != stop.next()) continue;
        if (exit.fault) raise(*exit.fault);
        return exit.landing.with_line(exit.landing.line() > 0 ? exit.landing.line() : stop.line());
    }
    return stop;  // not reached: every stop was compiled
}

// Tells a check of a block whose '{' (before `body_start`) is never closed.
void tell_unclosed(const Reader& reader, int body_start) {
    if (tokens[block_end(body_start)].type != TOKEN_RBRACE) reader.flow(Findings::Step::UNCLOSED, body_start - 1);
}

// if (condition) { ... } else { ... }  a fault of the header fails the
// condition once it is evaluated.
struct If : StatementOf<If> {
    // The if's two ways, taken when the condition holds and when not: the
    // block (none for a missing else part: it stops at once where the if
    // goes on), and how the if ends from each place where the block stops. A
    // plain if, whose blocks each end in one place after which the if ends on
    // a line of its own, knows that `exit`, and walks a plain if that is the
    // whole block in place, as the if that tests first ends where it says.
    struct Way {
        Sequence block{nullptr, Sequence::Until::CLOSING_BRACE, 0};
        int brace_line = 0;
        std::vector<Exit> exits;
        Landing exit;
        const If* inner = nullptr;
    };
    const Node* condition = nullptr;
    Way ways[2];

    static Landing run(const If& s) { return run_as<false>(s); }

    template <bool plain>
    static Landing run_as(const Statement& self) {
        const Way* way = &choose(static_cast<const If&>(self));
        const Way* taken = way;
        while (plain && taken->inner != nullptr) {
            count_step();
            taken = &choose(*taken->inner);
        }
        Landing stop = taken->block.run(taken->brace_line);
        return plain ? way->exit : leave(way->exits, stop);
    }
    // The way the condition takes, chosen by a branch: the processor guesses
    // a branch and goes on, where it would wait for the condition to select.
    static const Way& choose(const If& s) {
        if (holds(s.condition)) return s.ways[0];
        const Way* otherwise = &s.ways[1];
        asm("" : "+r"(otherwise));  // the compiler cannot turn an asm into a select
        return *otherwise;
    }
    void make_plain_if_it_is() {
        for (const Way& way : ways) {
            if (way.exits.size() != 1 || way.exits[0].fault || way.exits[0].landing.line() <= 0) return;
        }
        for (Way& way : ways) {
            way.exit = way.exits[0].landing;
            const Statement* sole = way.block.sole();
            if (sole != nullptr && sole->run == run_as<true>) way.inner = static_cast<const If*>(sole);
        }
        settle<run_as<true>>(*this);
    }
};

// Reads an optional else part, whose block is `run` or skipped, leaving the
// reader where the if ends; returns the failure, if any.
std::optional<Fault> read_else_part(Reader& reader, bool run) {
    if (!reader.match(TOKEN_ELSE)) return std::nullopt;
    if (!reader.match(TOKEN_LBRACE)) return reader.expected_after(TOKEN_LBRACE, "'else'");
    if (!run) reader.at = after_block(reader.at);
    return std::nullopt;
}

// The block of an if or an else, and how the if ends from each place where
// the block can stop: past its '}', and an else part skipped after an if's
// own block.
void compile_block(Compiler& compiler, const Reader& reader, Context context, bool reads_else, If::Way& way) {
    tell_unclosed(reader, reader.at);
    std::vector<int> stops;
    way.brace_line = reader.line;
    way.block = compiler.sequence(reader.at, Sequence::Until::CLOSING_BRACE, 0, context, stops);
    for (int stop : stops) {
        Reader after = reader;
        after.at = stop;
        after.line = 0;
        after.match(TOKEN_RBRACE);
        Exit exit{stop, Landing(), reads_else ? read_else_part(after, false) : std::nullopt};
        if (!exit.fault) exit.landing = after.land();
        way.exits.push_back(exit);
    }
}

}  // namespace

Owned<> compile_if(Compiler& compiler, int start, Context context) {
    Reader reader = compiler.reader(start);
    reader.skip();
    if (!reader.match(TOKEN_LPAREN)) return failing_statement(reader.expected_after(TOKEN_LPAREN, "'if'"));
    auto statement = new_statement<If>();
    Expression condition = compile_expression(reader, compiler.pool);
    statement->condition = condition.root;
    if (condition.faulted) return statement;
    std::optional<Fault> header_fault;
    if (!reader.match(TOKEN_RPAREN)) header_fault = reader.expected_after(TOKEN_RPAREN, "condition");
    else if (!reader.match(TOKEN_LBRACE)) header_fault = reader.expected_after(TOKEN_LBRACE, "if condition");
    if (header_fault) {
        statement->condition = failing_after(compiler.pool, condition.root, *header_fault);
        return statement;
    }

    int body_start = reader.at;
    reader.flow(Findings::Step::BRANCH, start);
    compile_block(compiler, reader, context, true, statement->ways[0]);
    reader.flow(Findings::Step::OTHERWISE, start);
    reader.at = after_block(body_start);
    int skipped_from = reader.at;
    std::optional<Fault> else_fault = read_else_part(reader, true);
    if (reader.at == skipped_from || else_fault) {  // no else block: the if goes on from where it stands
        If::Way& skipped = statement->ways[1];
        skipped.block.finish(skipped_from);
        skipped.exits.push_back(Exit{skipped_from, else_fault ? Landing() : reader.land(), else_fault});
    } else {
        compile_block(compiler, reader, context, false, statement->ways[1]);
    }
    reader.flow(Findings::Step::JOIN, start);
    statement->make_plain_if_it_is();
    return statement;
}

namespace {

// while (condition) { ... }  the condition is evaluated once before the loop,
// as reading it to find where it ends does.
// A fault of the header fails the condition then.
struct While : StatementOf<While> {
    const Node* condition = nullptr;
    int brace_line = 0;
    Landing after;  // past the body
    Sequence body{nullptr, Sequence::Until::INDEX, 0};

    static Landing run(const While& s) {
        evaluate(s.condition);
        for (;;) {
            count_pass();
            if (!holds(s.condition)) break;
            s.body.run(s.brace_line);
        }
        return s.after;
    }
};

}  // namespace

Owned<> compile_while(Compiler& compiler, int start, Context context) {
    Reader reader = compiler.reader(start);
    reader.skip();
    if (!reader.match(TOKEN_LPAREN)) return failing_statement(reader.expected_after(TOKEN_LPAREN, "'while'"));
    auto statement = new_statement<While>();
    reader.flow(Findings::Step::LOOP, start);
    Expression condition = compile_expression(reader, compiler.pool);
    statement->condition = condition.root;
    std::optional<Fault> header_fault;
    if (!condition.faulted && !reader.check(TOKEN_RPAREN)) {
        header_fault = reader.expected_after(TOKEN_RPAREN, "condition");
    } else if (!condition.faulted && reader.kind(1) != TOKEN_LBRACE) {
        reader.skip();  // the ')' is passed over without taking its line
        header_fault = reader.expected_after(TOKEN_LBRACE, "while condition");
    }
    if (header_fault) statement->condition = failing_after(compiler.pool, condition.root, *header_fault);
    if (!condition.faulted && !header_fault) {
        int body_start = reader.at + 2;
        statement->brace_line = tokens[reader.at + 1].line;
        statement->after = reader.land(after_block(body_start), statement->brace_line);
        tell_unclosed(reader, body_start);
        reader.flow(Findings::Step::BODY, start);
        std::vector<int> stops;
        statement->body = compiler.sequence(body_start, Sequence::Until::INDEX, block_end(body_start), context, stops);
    }
    reader.flow(Findings::Step::LOOP_END, start);
    return statement;
}

namespace {

// The index of the first token of `type` from `start` on, or of the end token.
int scan_to(int start, TokenType type) {
    int index = start;
    while (tokens[index].type != type && tokens[index].type != TOKEN_EOF) index++;
    return index;
}

// Where a for loop's init clause ends: a declaration or an assignment runs to
// the first ';', anything else must be the ';' itself.
int for_init_end(int start) {
    bool scans = tokens[start].type == TOKEN_VAR ||
                 (tokens[start].type == TOKEN_IDENTIFIER && tokens[start + 1].type == TOKEN_ASSIGN);
    return scans ? scan_to(start, TOKEN_SEMICOLON) : start;
}

// for (init; condition; update) { ... }
struct For : StatementOf<For> {
    Sequence init{nullptr, Sequence::Until::INDEX, 0};
    int brace_line = 0;
    const Node* condition = nullptr;  // none when the clause is empty
    int condition_line = 0;           // where reading the condition ends
    Sequence body{nullptr, Sequence::Until::INDEX, 0};
    Sequence update{nullptr, Sequence::Until::INDEX, 0};
    Landing after;  // past the body, at the line each way there gives

    static Landing run(const For& s) {
        int line = s.init.run(s.brace_line).line();
        if (s.condition == nullptr) return s.after.with_line(line);  // the body never runs
        for (;;) {
            count_pass();
            if (!holds(s.condition)) break;
            Landing body = s.body.run(s.condition_line);
            in_for_loop_update = 1;
            s.update.run(body.line());
            in_for_loop_update = 0;
        }
        return s.after.with_line(s.condition_line);
    }
};

// Moves the reader to the token a header scan found and steps over it, or
// gives the failure when it is not of `type`.
std::optional<Fault> step_to(Reader& reader, int index, TokenType type, FaultCode expectation) {
    reader.at = index;
    if (reader.match(type)) return std::nullopt;
    return reader.expected(expectation);
}

// The condition, body and update of a for loop, once its init has run; the
// reader is on the condition's first token. False when the condition is
// faulty, and the loop always fails.
bool compile_loop(Compiler& compiler, Reader& reader, For& statement, int body_start, int update_start,
                  Context context) {
    reader.flow(Findings::Step::LOOP, reader.at);
    reader.line = tokens[reader.at].line;
    Expression expression = compile_expression(reader, compiler.pool);
    statement.condition = expression.root;
    statement.condition_line = reader.line;
    if (!expression.faulted) {
        reader.flow(Findings::Step::BODY, reader.at);
        std::vector<int> stops;
        statement.body = compiler.sequence(body_start, Sequence::Until::INDEX, block_end(body_start), context, stops);
        int update_end = scan_to(update_start, TOKEN_RPAREN);
        statement.update =
            compiler.sequence(update_start, Sequence::Until::INDEX, update_end, Context::UPDATE_CLAUSE, stops);
        if (const Statement* sole = statement.update.sole()) runs_with_update_flag(*sole);
    }
    reader.flow(Findings::Step::LOOP_END, reader.at);
    return !expression.faulted;
}

}  // namespace

Owned<> compile_for(Compiler& compiler, int start, Context context) {
    Reader reader = compiler.reader(start);
    reader.skip();
    if (!reader.match(TOKEN_LPAREN)) return failing_statement(reader.expected_after(TOKEN_LPAREN, "'for'"));
    int init_start = reader.at;
    int init_end = for_init_end(init_start);
    if (auto fault = step_to(reader, init_end, TOKEN_SEMICOLON, IN_FOR_LOOP)) return failing_statement(*fault);
    int condition_start = reader.at;
    int condition_end = scan_to(condition_start, TOKEN_SEMICOLON);
    if (auto fault = step_to(reader, condition_end, TOKEN_SEMICOLON, IN_FOR_LOOP)) return failing_statement(*fault);
    int update_start = reader.at;
    int update_end = scan_to(update_start, TOKEN_RPAREN);
    if (auto fault = step_to(reader, update_end, TOKEN_RPAREN, CLOSE)) return failing_statement(*fault);
    if (!reader.match(TOKEN_LBRACE)) return failing_statement(reader.expected(FaultCode::EXPECTED_BLOCK));

    auto statement = new_statement<For>();
    statement->brace_line = reader.line;
    int body_start = reader.at;
    tell_unclosed(reader, body_start);
    std::vector<int> stops;
    statement->init = compiler.sequence(init_start, Sequence::Until::INDEX, init_end, context, stops);
    if (condition_end == condition_start) {
        reader.flow(Findings::Step::NEVER_RUNS, start);
    } else {
        Reader condition = compiler.reader(condition_start);
        if (!compile_loop(compiler, condition, *statement, body_start, update_start, context)) return statement;
    }
    statement->after = reader.land(after_block(body_start), 0);
    return statement;
}
