#pragma once

// Each returns 0 on success and 1 on failure.
int update_zentul(const char* version);
int download_file(const char* url);
int install_library(const char* url);
