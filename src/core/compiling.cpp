#include "core/compiling.h"

bool compiling_enabled = true;
