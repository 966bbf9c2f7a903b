#pragma once

#include "core/reader.h"

// The adn(...) and adm(...) statements with their ';', the reader on the
// token after the keyword.
NewStatement compile_adn(Reader& reader);
NewStatement compile_adm(Reader& reader);
