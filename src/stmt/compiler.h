#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "core/execution.h"
#include "core/reader.h"
#include "expr/compile.h"

// Where a statement is compiled: in a for loop's update clause (or in
// anything that runs from one) an assignment may end without its ';'.
enum class Context { PLAIN, UPDATE_CLAUSE };
constexpr int CONTEXTS = 2;

// Compiles a tokenized text whole, following every path its statements can
// take, each statement once for each context it is reached in. It keeps its
// own copy of the token texts, so the token table is free for the next text.
class Compiler {
public:
    explicit Compiler(Findings* findings = nullptr);

    NodePool pool;

    // A reader for the statement being compiled: where it may land is noted
    // for that statement.
    Reader reader(int at) { return Reader(texts_.get(), at, findings_, &landings_, &kept_faults_); }

    // The statements from `start` until the rule holds; the places where it
    // can stop are added to `ends`.
    Sequence sequence(int start, Sequence::Until until, int limit, Context context, std::vector<int>& ends);
    // The whole text: its statements from the first token to the end.
    Sequence program();

private:
    Findings* findings_;  // for a check: then every statement is compiled, faulty ones too
    std::unique_ptr<char[]> texts_;
    std::vector<TokenType> kinds_;
    std::vector<Owned<>> owned_;
    // Each statement compiled (by_index_), by its first token, and where it
    // may land (landed_at_), in `ends_`: the first is where it ends on the
    // usual path.
    struct Landed {
        std::uint32_t first_end = 0;
        std::uint32_t end_count = 0;
    };
    struct Slot {
        const Statement* statement;
        std::uint32_t first_end;
        std::uint32_t end_count;
    };
    std::vector<const Statement*> by_index_[CONTEXTS];
    std::vector<Landed> landed_at_[CONTEXTS];
    std::vector<int> ends_;
    StatementTable tables_[CONTEXTS];
    std::vector<int> landings_;  // of the statements being compiled, the innermost's last
    std::deque<Fault> kept_faults_;

    Slot slot_at(int index, Context context);
    void explore(int from, const Sequence& sequence, Context context, std::vector<int>& ends,
                 std::vector<Slot>& compiled);
};

// Whether the token at `index` can only begin a statement: a keyword that
// starts one, or a name followed by '=' or by the '(' of a procedure.
bool begins_statement(int index);

// Compiles the freshly tokenized text whole and runs it; `line` is where
// tokenizing ended.
void run_tokens(int line);

// The compilers of each kind of statement; `start` is its first token.
Owned<> compile_statement(Compiler& compiler, int start, Context context);
Owned<> compile_assignment(Compiler& compiler, int start, Context context);
Owned<> compile_declaration(Compiler& compiler, int start, Context context);
Owned<> compile_print(Compiler& compiler, int start, Context context);
Owned<> compile_if(Compiler& compiler, int start, Context context);
Owned<> compile_while(Compiler& compiler, int start, Context context);
Owned<> compile_for(Compiler& compiler, int start, Context context);
// A procedure call with its ';', the reader on the token after the name.
Owned<> compile_call(Compiler& compiler, Reader& reader, const struct Procedure& procedure);

// Tells a statement that is a whole update clause that it always runs with
// the clause's flag set.
void runs_with_update_flag(const Statement& statement);

// Set while a for loop's update clause runs: an assignment then ends at the
// end of its value.
extern int in_for_loop_update;
