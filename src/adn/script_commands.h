#pragma once

#include "core/reader.h"

// The adn(...) and adm(...) statements with their ';', the reader on the
// token after the keyword.
Owned<> compile_adn(Reader& reader);
Owned<> compile_adm(Reader& reader);
