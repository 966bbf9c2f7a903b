#pragma once

#include <memory>

#include "core/compiling.h"
#include "core/saved_prefix.h"
#include "lexer/token.h"

// Compiled code by the index of its first token. Code is compiled the first
// time it is asked for; code that cannot be compiled is left to the walker
// for good.
template <typename Code>
class CompiledTable {
public:
    // The code for the token at `start`, compiled now by `compile(start)` if
    // it was never tried; null when compiling is off or gave nothing.
    template <typename Compile>
    const Code* at(int start, Compile compile) {
        if (const Code* code = code_[start].get()) return code;
        if (!compiling_enabled || tried_[start]) return nullptr;
        tried_[start] = 1;
        code_[start] = compile(start);
        return code_[start].get();
    }

    // What was compiled for the token at `start`, without compiling.
    const Code* get(int start) const { return code_[start].get(); }

    // Forgets the code of the first `count` tokens.
    void forget(int count) {
        for (int i = 0; i < count; i++) {
            code_[i].reset();
            tried_[i] = 0;
        }
    }

    // The code of the first `count` tokens, moved aside while another run
    // uses the table, and put back.
    class Saved {
    public:
        Saved(CompiledTable& table, int count) : code_(table.code_, count), tried_(table.tried_, count) {}

    private:
        SavedPrefix<std::unique_ptr<Code>> code_;
        SavedPrefix<unsigned char> tried_;
    };

private:
    std::unique_ptr<Code> code_[MAX_TOKENS];
    unsigned char tried_[MAX_TOKENS] = {};
};
