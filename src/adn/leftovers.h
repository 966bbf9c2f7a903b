#pragma once

#include <string>

// True for the names of the temporary files this program makes in .adn:
// ".NAME.zep.XXXXXX" (a package download or a restored package file) and
// "packages.txt.XXXXXX" or "repositories.txt.XXXXXX" (a table being saved),
// where XXXXXX are the six letters or digits mkstemp chose.
bool is_leftover_name(const std::string& name);

// Removes the regular files in .adn with such names: under the lock no other
// process is writing them, so they are what killed runs left.
void remove_leftovers();
