#pragma once

// The version text shown by the banner and by the self-update.
inline constexpr char VERSION[] = "Re+4.0.1-Release(adn+1.0.100+fix)";
