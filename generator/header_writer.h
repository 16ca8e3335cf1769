#pragma once

#include "generator/net_config.h"
#include "generator/text_writer.h"

namespace morvcfg {

// Writes the whole of morv_cfg.h: banner, the eight memory-pool macros, the four receive-size
// macros and the closing banner.
void write_header(TextWriter& out, const NetConfig& config);

}  // namespace morvcfg
