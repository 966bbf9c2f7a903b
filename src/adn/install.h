#pragma once

// Each prints its own messages and returns 0 on success, -1 on failure.
int install_package(const char* name);
int update_package(const char* name);
int remove_package(const char* name);
