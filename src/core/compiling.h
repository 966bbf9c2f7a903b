#pragma once

// Statements and expressions that run again are compiled once into a faster
// form with the same effects. False when every one is to be read from its
// tokens each time, as the reference walker does (ZENTUL_WALKER=1).
extern bool compiling_enabled;
