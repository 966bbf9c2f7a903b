#pragma once

// Creates .adn and loads both registries; runs on every invocation.
void init_adn();
void list_packages();
void list_repositories();
int add_repository(const char* url);
