#pragma once

// The C functions the playground's Web Worker calls (exports.cc says how).
#include <cstddef>

extern "C" {
char* morvcfg_input(std::size_t size);
const char* morvcfg_output(int which);
const char* morvcfg_output_name(int which);
std::size_t morvcfg_output_size(int which);
int morvcfg_translate(int year, int month, int day, int hour, int minute, int second);
int morvcfg_check();
void morvcfg_set_project_file();
void morvcfg_set_name();
void morvcfg_set_base(int name);
int morvcfg_compare();
void morvcfg_lsp_receive();
}
