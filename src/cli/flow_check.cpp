#include "cli/flow_check.h"

#include <algorithm>
#include <cstring>
#include <set>
#include <utility>

#include "builtins/procedures.h"
#include "expr/functions.h"
#include "lexer/tokenizer.h"
#include "stmt/compiler.h"

namespace {

using Use = Findings::Use;
using Step = Findings::Step;

unsigned char& bits_at(std::vector<unsigned char>& bits, int id) {
    if (bits.size() <= static_cast<std::size_t>(id)) bits.resize(static_cast<std::size_t>(id) + 1);
    return bits[static_cast<std::size_t>(id)];
}

bool gives_value(Use use) { return use >= Use::DECLARED_TEXT; }
// A use that makes the variable when it does not exist.
bool makes(Use use) { return use >= Use::WILL_SET && use != Use::ASSIGNED_TEXT && use != Use::ASSIGNED_NUMBER; }
bool gives_text(Use use) { return use == Use::DECLARED_TEXT || use == Use::ASSIGNED_TEXT || use == Use::SET_TEXT; }
bool keeps_array(Use use) { return use >= Use::ASSIGNED_TEXT && use <= Use::SET_NUMBER; }

// A reserved word where a name was wanted; else, function and return are
// never meant as names.
bool is_reserved_as_name(const Token& token) {
    return token.type != TOKEN_STRING && token.type != TOKEN_ELSE && token.type != TOKEN_FUNCTION &&
           token.type != TOKEN_RETURN && keyword_type(token.text) != TOKEN_IDENTIFIER;
}

bool is_word(const Token& token) {
    if (token.type == TOKEN_IDENTIFIER) return true;
    return token.type != TOKEN_STRING && keyword_type(token.text) != TOKEN_IDENTIFIER;
}

bool first_on_line(int at) { return at == 0 || tokens[at - 1].line != tokens[at].line; }

Fault fault_at(int line, FaultCode code, const char* name) {
    Fault fault = fault_of(code, name);
    fault.line = line;
    return fault;
}

}  // namespace

FlowCheck::FlowCheck(bool package) : package_(package) { events_.reserve(2 * static_cast<std::size_t>(token_count)); }

void FlowCheck::fault(const Fault& fault) {
    events_.push_back(Event{Event::Kind::FAULT, 0, static_cast<int>(faults_.size()), fault.line, nullptr});
    faults_.push_back(fault);
}

void FlowCheck::name(const char* name, int line, Use use) {
    // A result's name may not outlive the statement that failed to set it.
    if (use == Use::WILL_SET) name = made_names_.emplace_back(name).c_str();
    events_.push_back(Event{Event::Kind::NAME, static_cast<unsigned char>(use), 0, line, name});
}

void FlowCheck::step(Step step, int index) {
    events_.push_back(Event{Event::Kind::STEP, static_cast<unsigned char>(step), index, 0, nullptr});
}

std::vector<Finding> FlowCheck::finish(const std::vector<int>& cut_words) {
    cut_words_ = cut_words;
    match_statements();
    statements_.push_back(Open{-1, 0, false, {}, false});
    for (std::size_t at = 0; at < events_.size(); at++) follow(at);
    warn_string_uses();
    return std::move(findings_);
}

// After a statement that always fails, checking goes on:
// past its ';' (where a line or a statement follows), or past the block that
// ends it (with an else part that follows), or at a line that begins a
// statement, or where the sequence stops. A '}' that does not end the
// sequence is passed over.
int FlowCheck::resume_after(int start, const Sequence& sequence) {
    int braces = 0;
    int parens = 0;
    for (int at = start; tokens[at].type != TOKEN_EOF; at++) {
        if (at > start && braces == 0) {
            if (sequence.stops_at(at)) return at;
            if (tokens[at - 1].line != tokens[at].line && begins_statement(at)) return at;
        }
        switch (tokens[at].type) {
            case TOKEN_LPAREN: parens++; break;
            case TOKEN_RPAREN: parens--; break;
            case TOKEN_LBRACE: braces++; break;
            case TOKEN_RBRACE:
                if (braces > 0 && --braces == 0 && tokens[at + 1].type != TOKEN_ELSE) return at + 1;
                break;
            case TOKEN_SEMICOLON:  // the statement's end, when a statement or a line follows
                if (braces == 0 && parens <= 0 && (tokens[at].line != tokens[at + 1].line || begins_statement(at + 1) ||
                                                   sequence.stops_at(at + 1))) {
                    return at + 1;
                }
                break;
            default: break;
        }
    }
    return token_count - 1;
}

// The slot that holds the name, or the empty one where it would go.
std::size_t NameIds::find(const char* name) const {
    std::size_t hash = 2166136261u;
    for (const char* c = name; *c != '\0'; c++) hash = (hash ^ static_cast<unsigned char>(*c)) * 16777619u;
    std::size_t mask = slots_.size() - 1;
    for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
        const char* held = slots_[at].name;
        if (held == nullptr || held == name || std::strcmp(held, name) == 0) return at;
    }
}

int NameIds::id_of(const char* name) {
    if (name == last_.name) return last_.id;  // a name's uses come in runs
    std::size_t at = find(name);
    if (slots_[at].name != nullptr) return (last_ = Slot{name, slots_[at].id}).id;
    if (2 * (count_ + 1) > static_cast<int>(slots_.size())) {  // grow, keeping the table half empty
        std::vector<Slot> old(2 * slots_.size());
        old.swap(slots_);
        for (const Slot& slot : old) {
            if (slot.name != nullptr) slots_[find(slot.name)] = slot;
        }
        at = find(name);
    }
    slots_[at] = last_ = Slot{name, count_};
    return count_++;
}

int FlowCheck::id_of(const char* name) { return ids_.id_of(name); }

unsigned char& FlowCheck::bits_of(const char* name) { return bits_at(state_.bits, id_of(name)); }

// Pairs each statement's first event with its last.
void FlowCheck::match_statements() {
    ends_.assign(events_.size(), 0);
    std::vector<std::size_t> open;
    for (std::size_t at = 0; at < events_.size(); at++) {
        if (events_[at].kind != Event::Kind::STEP) continue;
        if (static_cast<Step>(events_[at].what) == Step::STATEMENT) open.push_back(at);
        if (static_cast<Step>(events_[at].what) != Step::END) continue;
        ends_[open.back()] = at;
        open.pop_back();
    }
}

// The names that the statement beginning at `begin` was to set, which
// count as set after it failed, holding what is not known: those it told,
// and those its tokens up to the next statement name, as variables and by
// the results of the functions and procedures they call. After a
// statement whose first word is missing, or a declaration without its name,
// any name may be set.
void FlowCheck::forgive(std::size_t begin, State& state) {
    int start = events_[begin].index;
    std::size_t next = ends_[begin];
    while (next < events_.size() && !is_step(events_[next], Step::STATEMENT)) next++;
    int stop = next < events_.size() ? std::max(events_[next].index, start + 1) : token_count - 1;
    for (std::size_t at = begin; at <= ends_[begin]; at++) {
        const Event& event = events_[at];
        Use use = static_cast<Use>(event.what);
        if (event.kind == Event::Kind::NAME && (makes(use) || use == Use::TARGET)) forgive_name(event.name, state);
    }
    for (int at = start; at < stop; at++) {
        const char* text = tokens[at].text;
        if (tokens[at].type == TOKEN_IDENTIFIER) forgive_name(text, state);
        const ExpressionFunction* function = tokens[at].type == TOKEN_IDENTIFIER ? find_function(text) : nullptr;
        if (function != nullptr && function->result != nullptr) forgive_name(function->result, state);
        const Procedure* procedure = find_procedure(tokens[at].type, text);
        if (procedure != nullptr && procedure->result != Result::NONE) {
            forgive_name(made_names_.emplace_back(result_name(*procedure)).c_str(), state);
        }
    }
    bool declares = tokens[start].type == TOKEN_VAR;
    if (!is_word(tokens[start]) || (declares && !is_word(tokens[start + 1]))) state.foreign = true;
}

void FlowCheck::forgive_name(const char* name, State& state) {
    if (names_random_result(name)) state.random = true;
    unsigned char& bits = bits_at(state.bits, id_of(name));
    bits = static_cast<unsigned char>((bits & ~STRING) | FORGIVEN);
}

void FlowCheck::follow(std::size_t at) {
    const Event& event = events_[at];
    switch (event.kind) {
        case Event::Kind::FAULT: meet(faults_[static_cast<std::size_t>(event.index)]); break;
        case Event::Kind::NAME:
            if (state_.reachable) follow_name(event);
            break;
        case Event::Kind::STEP: follow_step(static_cast<Step>(event.what), at); break;
    }
}

void FlowCheck::follow_step(Step step, std::size_t at) {
    int index = events_[at].index;
    switch (step) {
        case Step::STATEMENT:
            if (!state_.reachable) state_ = lenient_;  // checking goes on after a statement that failed
            statements_.push_back(Open{index, at, false, {}, false});
            break;
        case Step::END: statements_.pop_back(); break;
        case Step::BRANCH: flows_.push_back(Open{index, at, false, state_, false}); break;
        case Step::OTHERWISE: std::swap(flows_.back().kept, state_); break;
        case Step::JOIN:
            state_ = joined(flows_.back().kept, state_);
            flows_.pop_back();
            break;
        case Step::LOOP: enter_loop(at); break;
        case Step::BODY:
            flows_.back().kept = state_;  // the loop is left where its condition is false
            flows_.back().has_kept = true;
            break;
        case Step::LOOP_END:
            if (flows_.back().has_kept) state_ = std::move(flows_.back().kept);
            flows_.pop_back();
            loops_--;
            break;
        case Step::PACKAGE_CODE:
            state_.foreign = true;
            state_.count = -1;
            break;
        case Step::NEVER_RUNS: findings_.push_back(warning(tokens[index].line, Trap::EMPTY_CONDITION)); break;
        case Step::UNCLOSED: findings_.push_back(warning(tokens[index].line, Trap::UNCLOSED_BLOCK)); break;
    }
}

// A loop's condition and body may run after any number of passes: where it
// begins, a name may hold whatever the loop may give it, while what is
// surely set is what was set before.
void FlowCheck::enter_loop(std::size_t at) {
    State head = state_;
    int depth = 0;
    for (std::size_t i = at; i < events_.size(); i++) {
        const Event& event = events_[i];
        if (event.kind == Event::Kind::STEP) {
            Step step = static_cast<Step>(event.what);
            depth += step == Step::LOOP ? 1 : step == Step::LOOP_END ? -1 : 0;
            if (depth == 0) break;
            if (step == Step::PACKAGE_CODE) head.foreign = true;
        }
        Use use = static_cast<Use>(event.what);
        if (event.kind != Event::Kind::NAME || !gives_value(use)) continue;
        if (use == Use::SET_RANDOM) {
            head.random = true;
            head.count = -1;
            continue;
        }
        unsigned char& bits = bits_at(head.bits, id_of(event.name));
        bool assigned = use == Use::ASSIGNED_TEXT || use == Use::ASSIGNED_NUMBER;
        if (assigned && !(bits & MAY)) continue;  // an assignment makes no variable
        if (!(bits & MUST)) head.count = -1;
        bits |= MAY | (gives_text(use) ? STRING : 0) | (use == Use::SET_ARRAY ? ARRAY : 0);
    }
    state_ = std::move(head);
    flows_.push_back(Open{events_[at].index, at, false, {}, false});
    loops_++;
}

void FlowCheck::follow_name(const Event& event) {
    Use use = static_cast<Use>(event.what);
    switch (use) {
        case Use::READ:
        case Use::PRINTED:
        case Use::TARGET: read(event.name, event.line, FaultCode::UNDEFINED_VARIABLE); break;
        case Use::STRING_ARGUMENT: read_string(event.name, event.line); break;
        case Use::ARRAY_ARGUMENT: read_array(event.name, event.line); break;
        case Use::SET_RANDOM: write_random(event.name, event.line); return;
        case Use::COPIED:
        case Use::COMPARED: break;
        case Use::WILL_SET: return;
        default: write(event.name, event.line, use); return;
    }
    bool as_number = use == Use::READ || use == Use::COPIED || use == Use::COMPARED;
    if (as_number && state_.reachable && (bits_of(event.name) & STRING)) {
        string_uses_.push_back(StringUse{event.name, event.line, use, statements_.back().event});
    }
}

// A name read where its value must be set.
void FlowCheck::read(const char* name, int line, FaultCode undefined) {
    unsigned char bits = bits_of(name);
    if (bits & (MUST | FORGIVEN)) return;
    if (!(bits & MAY)) return unset(name, line, undefined);
    if (!state_.foreign) findings_.push_back(warning(line, Trap::MAYBE_UNDEFINED, name));
}

void FlowCheck::read_string(const char* name, int line) {
    unsigned char bits = bits_of(name);
    if (bits & FORGIVEN) return;
    if (!(bits & MAY)) return unset(name, line, FaultCode::NOT_A_STRING);
    if (state_.foreign) return;
    if (!(bits & STRING)) return meet_for(name, fault_at(line, FaultCode::NOT_A_STRING, name));
    if (!(bits & MUST)) findings_.push_back(warning(line, Trap::MAYBE_UNDEFINED, name));
}

void FlowCheck::read_array(const char* name, int line) {
    unsigned char bits = bits_of(name);
    if (bits & FORGIVEN) return;
    if (!(bits & MAY)) return unset(name, line, FaultCode::UNDEFINED_ARRAY);
    if (state_.foreign) return;
    if (!(bits & ARRAY) && (bits & MUST)) return meet_for(name, fault_at(line, FaultCode::NOT_AN_ARRAY, name));
    if (!(bits & MUST)) findings_.push_back(warning(line, Trap::MAYBE_UNDEFINED, name));
}

// A name that no way to here sets: an error, unless package code or rand
// may have set it, and in a package a warning (the installing script may).
void FlowCheck::unset(const char* name, int line, FaultCode undefined) {
    if (state_.foreign || (state_.random && names_random_result(name))) return;
    if (package_) return findings_.push_back(warning(line, Trap::UNSET_IN_PACKAGE, name));
    meet_for(name, fault_at(line, undefined, name));
}

// A fault of a name: after it, the name counts as set, so that one mistake
// gives one finding.
void FlowCheck::meet_for(const char* name, const Fault& fault) {
    meet(fault);
    bits_at(lenient_.bits, id_of(name)) |= FORGIVEN;
}

void FlowCheck::write(const char* name, int line, Use use) {
    int id = id_of(name);
    unsigned char& bits = bits_at(state_.bits, id);
    if (!(bits & MAY)) {  // a new variable on every way here
        if (state_.count >= 0) state_.count++;
        if (!bits_at(written_, id)) {
            bits_at(written_, id) = 1;
            if (++names_made_ == VARIABLE_LIMIT + 1) findings_.push_back(warning(line, Trap::TOO_MANY_NAMES));
        }
    } else if (!(bits & MUST)) {
        state_.count = -1;
    }
    unsigned char kept = keeps_array(use) ? (bits & ARRAY) : 0;
    bits = MUST | MAY | kept | (gives_text(use) ? STRING : 0) | (use == Use::SET_ARRAY ? ARRAY : 0);
}

// rand's result is named after the count of variables, when it is known.
void FlowCheck::write_random(const char* prefix, int line) {
    if (loops_ > 0) findings_.push_back(warning(line, Trap::RAND_IN_LOOP));
    if (state_.count >= 0) {
        const std::string& made = made_names_.emplace_back(prefix + std::to_string(state_.count));
        return write(made.c_str(), line, Use::SET_NUMBER);
    }
    state_.random = true;
    if (++names_made_ == VARIABLE_LIMIT + 1) findings_.push_back(warning(line, Trap::TOO_MANY_NAMES));
}

// A fault a run meets here: the statement's first is reported; the rest of
// the statement is not followed, and checking goes on after it as if any
// name could be set.
void FlowCheck::meet(const Fault& fault) {
    if (!state_.reachable) return;
    Open& statement = statements_.back();
    if (!statement.failed) {
        statement.failed = true;
        std::erase_if(string_uses_, [&](const StringUse& use) { return use.statement == statement.event; });
        int line = fault.line > 0 ? fault.line : fault.own_line;
        findings_.push_back(Finding{line, true, fault.message(), explained_by(fault)});
    }
    lenient_ = state_;
    lenient_.count = -1;
    if (statement.start >= 0) forgive(statement.event, lenient_);
    state_.reachable = false;
}

// The trap that explains a fault of the text, by the token it was found at.
Trap FlowCheck::explained_by(const Fault& fault) const {
    int at = fault.token;
    if (at < 0) return Trap::NONE;
    if (std::find(cut_words_.begin(), cut_words_.end(), at) != cut_words_.end()) return Trap::LONG_NAME;
    const Token& token = tokens[at];
    switch (fault.code) {
        case FaultCode::EXPECTED_NAME:
        case FaultCode::EXPECTED_EXPRESSION:
        case FaultCode::UNEXPECTED_IN_PRINT:
        case FaultCode::UNEXPECTED_TOKEN: return is_reserved_as_name(token) ? Trap::RESERVED_NAME : Trap::NONE;
        case FaultCode::EXPECTED_SEPARATOR: {
            bool in_print = tokens[statements_.back().start].type == TOKEN_PRINT;
            bool call = token.type == TOKEN_LPAREN && tokens[at - 1].type == TOKEN_IDENTIFIER;
            return in_print && call ? Trap::PRINT_CALL : Trap::NONE;
        }
        case FaultCode::UNEXPECTED_IDENTIFIER: {
            bool header = std::string_view(token.text) == "sg" && tokens[at + 1].type == TOKEN_LT;
            return header && first_on_line(at) ? Trap::MISPLACED_HEADER : Trap::NONE;
        }
        default: return Trap::NONE;
    }
}

// A string-holding name copied or compared warns as such; read as a number
// otherwise, as a number read.
void FlowCheck::warn_string_uses() {
    std::set<std::pair<std::string_view, int>> explained;
    for (const StringUse& use : string_uses_) {
        if (use.use != Use::READ) explained.insert({use.name, use.line});
    }
    for (const StringUse& use : string_uses_) {
        if (use.use == Use::COPIED) findings_.push_back(warning(use.line, Trap::STRING_COPY, use.name));
        if (use.use == Use::COMPARED) findings_.push_back(warning(use.line, Trap::STRING_COMPARE, use.name));
        if (use.use == Use::READ && explained.count({use.name, use.line}) == 0) {
            findings_.push_back(warning(use.line, Trap::STRING_NUMBER, use.name));
        }
    }
}

// Where two ways meet: set when set on both, anything either may give.
FlowCheck::State FlowCheck::joined(const State& a, const State& b) {
    if (!a.reachable) return b;
    if (!b.reachable) return a;
    State both = a;
    both.foreign = a.foreign || b.foreign;
    both.random = a.random || b.random;
    both.count = a.count == b.count ? a.count : -1;
    both.bits.resize(std::max(a.bits.size(), b.bits.size()));
    for (std::size_t i = 0; i < both.bits.size(); i++) {
        unsigned char x = i < a.bits.size() ? a.bits[i] : 0;
        unsigned char y = i < b.bits.size() ? b.bits[i] : 0;
        both.bits[i] = static_cast<unsigned char>((x & y & MUST) | ((x | y) & ~MUST));
    }
    return both;
}
