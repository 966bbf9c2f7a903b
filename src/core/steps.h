#pragma once

#include "system/stop_signal.h"

// Every statement and every pass of a loop is a step. In the fuzzing build,
// where any input must end, the steps are a bound on the work of one run; the
// reference interpreter of the tests counts the same steps, so both stop at
// the same point.
#ifdef ZENTUL_STEP_BUDGET
struct StepBudgetExhausted {};
extern long steps_left;
#endif

inline void count_step() {
#ifdef ZENTUL_STEP_BUDGET
    if (--steps_left < 0) throw StepBudgetExhausted{};
#endif
}

// A pass of a loop is also where a stop signal is noticed
// (system/stop_signal.h): a script without loops ends soon by itself, and every
// call that waits looks for one when it is interrupted.
inline void count_pass() {
    stop_if_signalled();
    count_step();
}
