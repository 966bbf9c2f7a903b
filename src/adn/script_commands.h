#pragma once

#include "core/execution.h"

class Compiler;
enum class Context;

// The adn(...) and adm(...) statements with their ';', from the keyword at
// `start`.
Owned<> compile_adn(Compiler& compiler, int start, Context context);
Owned<> compile_adm(Compiler& compiler, int start, Context context);
