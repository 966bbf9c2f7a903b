#pragma once

// The adn(...) and adm(...) statements; the cursor is on the token after the
// keyword on entry and after the ')' on return.
int execute_adn();
int execute_adm();
