#pragma once

#include "net/stop_signal.h"

// Every statement and every pass of a loop is a step. A stop signal is
// noticed at the next step (net/stop_signal.h). In the fuzzing build, where
// any input must end, the steps are also a bound on the work of one run.
// The reference interpreter of the tests counts the same steps, so both stop
// at the same point.
#ifdef ZENTUL_STEP_BUDGET
struct StepBudgetExhausted {};
extern long steps_left;
#endif

inline void count_step() {
    stop_if_signalled();
#ifdef ZENTUL_STEP_BUDGET
    if (--steps_left < 0) throw StepBudgetExhausted{};
#endif
}
