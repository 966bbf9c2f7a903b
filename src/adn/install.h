#pragma once

int install_package(const char* name);
int update_package(const char* name);
int remove_package(const char* name);
