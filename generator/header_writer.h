#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "generator/net_config.h"
#include "generator/text_writer.h"

namespace morvcfg {

// One macro of morv_cfg.h: its name and its value.
struct HeaderMacro {
    std::string name;
    std::int32_t value = 0;
};

// The twelve macros of morv_cfg.h, in the order the file holds them.
std::array<HeaderMacro, 12> header_macros(const NetConfig& config);

// Writes the whole of morv_cfg.h: banner, the eight memory-pool macros, the four receive-size
// macros and the closing banner.
void write_header(TextWriter& out, const NetConfig& config);

}  // namespace morvcfg
