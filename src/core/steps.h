#pragma once

// A bound on the work of one run, for the fuzzing build only, where any input
// must end: every statement and every pass of a loop is a step. Walking and
// compiled code count the same steps, so both stop at the same point.
#ifdef ZENTUL_STEP_BUDGET
struct StepBudgetExhausted {};
extern long steps_left;
inline void count_step() {
    if (--steps_left < 0) throw StepBudgetExhausted{};
}
#else
inline void count_step() {}
#endif
