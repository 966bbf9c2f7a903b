#pragma once

// Runs the code section of a .zep package file.
int execute_zep_package(const char* path);
