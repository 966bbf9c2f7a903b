#pragma once

#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "cli/findings.h"
#include "core/reader.h"

// The check of one compiled text. The compiler tells it, in the order a run
// meets them, every statement, fault, use of a name and turn of control
// flow; once the text is compiled, `finish` follows the flow through them,
// working out where each name is set and what it may hold, and gives:
// - for each statement, the first fault a run reaching it would meet, and
//   nothing more from it (after it, names count as set);
// - an error where a name is read that no way to that place sets, a warning
//   where only some ways set it;
// - the traps: string-holding names copied, compared or read as numbers,
//   rand in loops, more names than the table holds, loops whose body never
//   runs and blocks never closed.
// Names to small numbers, by open addressing: a check looks a name up at
// nearly every other token, and must cost less than compiling.
class NameIds {
public:
    int id_of(const char* name);

private:
    struct Slot {
        const char* name = nullptr;
        int id = 0;
    };
    std::vector<Slot> slots_ = std::vector<Slot>(256);
    int count_ = 0;
    Slot last_;

    std::size_t find(const char* name) const;
};

class FlowCheck : public Findings {
public:
    // `package`: a package's code, whose names the installing script may set.
    explicit FlowCheck(bool package);

    void fault(const Fault& fault) override;
    void name(const char* name, int line, Use use) override;
    void step(Step step, int index) override;
    int resume_after(int start, const Sequence& sequence) override;

    // The findings, once every statement is compiled; `cut_words` are the
    // tokens that hold the rest of a word cut after 63 characters.
    std::vector<Finding> finish(const std::vector<int>& cut_words);

private:
    struct Event {
        enum class Kind : unsigned char { FAULT, NAME, STEP } kind;
        unsigned char what;  // the Use or Step
        int index;           // a fault's place in `faults_`, a step's token
        int line;
        const char* name;
    };
    // Bits of what a name may be at a place: set on every way there, set on
    // some way, holding a string on some way, an array on some way; or to be
    // set by a statement that failed, as checking goes on after it.
    enum : unsigned char { MUST = 1, MAY = 2, STRING = 4, ARRAY = 8, FORGIVEN = 16 };
    struct State {
        bool reachable = true;
        bool foreign = false;  // package code may have set any name
        bool random = false;   // rand may have made variables whose names are not known
        int count = 0;         // the variables made, when every way here agrees; else -1
        std::vector<unsigned char> bits;  // by name id
    };
    struct Open {        // a statement, branch or loop being followed
        int start;       // a statement's first token
        std::size_t event;  // a statement's first event
        bool failed;     // a statement's fault is reported
        State kept;      // a branch's state where it begins, then its first way's end
        bool has_kept;   // a loop: `kept` is its state on leaving
    };
    struct StringUse {
        const char* name;
        int line;
        Use use;
        std::size_t statement;  // its first event
    };

    bool package_;
    std::vector<Event> events_;
    std::vector<Fault> faults_;
    NameIds ids_;
    std::deque<std::string> made_names_;  // of rand's results, and of results a statement was to set
    std::vector<Finding> findings_;
    std::vector<int> cut_words_;
    State state_;
    State lenient_;  // where checking goes on after a statement that failed
    std::vector<Open> statements_;
    std::vector<Open> flows_;
    std::vector<StringUse> string_uses_;
    std::vector<unsigned char> written_;  // by name id: given a value on some way
    std::vector<std::size_t> ends_;       // by a statement's first event: its last
    int names_made_ = 0;                  // distinct names given a value, on any way
    int loops_ = 0;                       // loops open

    int id_of(const char* name);
    unsigned char& bits_of(const char* name);
    void follow(std::size_t at);
    void follow_step(Step step, std::size_t at);
    void enter_loop(std::size_t at);
    void follow_name(const Event& event);
    void read(const char* name, int line, FaultCode undefined);
    void read_string(const char* name, int line);
    void read_array(const char* name, int line);
    void unset(const char* name, int line, FaultCode undefined);
    void match_statements();
    void forgive(std::size_t begin, State& state);
    void forgive_name(const char* name, State& state);
    static bool is_step(const Event& event, Step step) {
        return event.kind == Event::Kind::STEP && static_cast<Step>(event.what) == step;
    }
    void write(const char* name, int line, Use use);
    void write_random(const char* prefix, int line);
    void meet(const Fault& fault);
    void meet_for(const char* name, const Fault& fault);
    Trap explained_by(const Fault& fault) const;
    void warn_string_uses();
    static State joined(const State& a, const State& b);
};
