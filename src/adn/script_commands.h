#pragma once

// The adn(...) and adm(...) statements; the cursor is on the token after the
// keyword on entry and after the ')' on return.
void execute_adn(const char* name);
void execute_adm(const char* name);
