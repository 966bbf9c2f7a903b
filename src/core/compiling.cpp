#include "core/compiling.h"
#include "core/steps.h"

bool compiling_enabled = true;

#ifdef ZENTUL_STEP_BUDGET
long steps_left = 0;
#endif
