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

// The shell commands that install the downloaded update at `local_path`:
// `copy` installs it, or, where it is an archive, unpacks it in `folder`
// from standard input and copies the program to `beside`, a temporary name
// beside the installed program; `rename` then puts that copy in place (empty
// where there is nothing to rename). Both empty for a platform without an
// install command. Only a user other than root asks sudo.
struct InstallSteps {
    std::string copy;
    std::string rename;
};
InstallSteps install_steps(const char* platform_name, const char* local_path, const char* folder,
                           const char* beside, bool as_root);

// True when `version` is non-empty and only letters, digits, '.', '_', '+'
// and '-', without the temporary files' mark: the only texts that are put
// into a file name and an address.
bool is_valid_version_text(const char* version);
