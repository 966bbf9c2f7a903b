#pragma once

// The reference interpreter: it reads every statement and expression from
// its tokens each time it runs them, one token after another, as the first
// version of Zentul did. The differential fuzzer runs each input through it
// and through the program's engine and compares what they do.
namespace oracle {

// Runs a source text, as the program's `run` does.
void run(const char* source);

}  // namespace oracle
