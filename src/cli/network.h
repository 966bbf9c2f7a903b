#pragma once

#include <string>

// Each returns 0 on success and 1 on failure.
int update_zentul(const char* version);
int download_file(const char* url);
int install_library(const char* url);

// The pieces of the self-update that depend on the platform, taken by name
// ("macos", "linux", "windows") so that every platform's form can be checked.

// The directory of the update files for the platform: "pkg", "exe" or "deb".
const char* update_directory(const char* platform_name);

// The shell command that installs the downloaded update at `local_path`,
// unpacking it in `folder` where it is an archive; empty for a platform
// without one. Only a user other than root asks sudo.
std::string install_command(const char* platform_name, const char* local_path, const char* folder, bool as_root);

// True when `version` is non-empty and only letters, digits, '.', '_', '+'
// and '-': the only texts that are put into a file name and an address.
bool is_valid_version_text(const char* version);
