// Temporary: stands in until the package manager lands. Delete this file.
#include <cstdio>
#include "adn/install.h"
#include "adn/package_file.h"
#include "adn/registry.h"
#include "adn/script_commands.h"
#include "core/error.h"
void init_adn() {}
void list_packages() { std::printf("not built yet\n"); }
void list_repositories() { std::printf("not built yet\n"); }
int add_repository(const char*) { return -1; }
int install_package(const char*) { return -1; }
int update_package(const char*) { return -1; }
int remove_package(const char*) { return -1; }
int execute_zep_package(const char*) { return -1; }
int execute_adn() { error("not built yet: adn"); }
int execute_adm() { error("not built yet: adm"); }
