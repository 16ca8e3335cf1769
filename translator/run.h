#pragma once

#include <span>
#include <string_view>

#include "generator/net_config.h"
#include "generator/text_writer.h"
#include "translator/environment.h"
#include "translator/text_reader.h"

namespace morvcfg {

// Names of the generated files, in the working directory.
inline constexpr std::string_view kSourceFile = "morv_cfg.c";
inline constexpr std::string_view kHeaderFile = "morv_cfg.h";
// The one message the tool ever writes, without a line end.
inline constexpr std::string_view kFileOpenError = "File open error!";

// The pass over the description file: every piece is dispatched, directives into the record and
// everything else into the pass-through output; a byte-order mark at the start is copied as it is.
// False after a read error or a failed write.
bool translate(PieceReader& description, NetConfig& config, TextWriter& pass_through);

// The whole run of the tool: `args` is the argument vector, program name first. Returns 0 after a
// complete run and -1 after any failure.
int run(std::span<const char* const> args, Environment& environment);

}  // namespace morvcfg
