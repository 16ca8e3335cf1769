#pragma once

#include <string_view>

#include "generator/text_writer.h"

namespace morvcfg {

// Title lines of the opening banner boxes, 77 characters each.
inline constexpr std::string_view kSourceTitle =
    "/*  KMT-R7    Morvik network configuration C surce file.                   */";
inline constexpr std::string_view kHeaderTitle =
    "/*  KMT-R7    Morvik network configuration Header file.                    */";

// Writes the four-line box that opens a generated file, with the given title line, and the empty
// line after it.
void write_opening_banner(TextWriter& out, std::string_view title);
// Writes the empty line and the four-line "End of file" box that close a generated file.
void write_closing_banner(TextWriter& out);

}  // namespace morvcfg
