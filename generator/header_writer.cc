#include "generator/header_writer.h"

#include <array>
#include <string_view>

#include "generator/banner.h"

namespace morvcfg {
namespace {

// Macro name stems of the pool classes, in PoolClass order.
constexpr std::array<std::string_view, kPoolClassCount> kClassNames = {"VERY_SMALL", "SMALL", "MIDDLE", "LARGE"};

void write_macro(TextWriter& out, std::string_view prefix, std::string_view stem, std::string_view tail,
                 std::int32_t value) {
    out.write("#define\tETH0_");
    out.write(prefix);
    out.write(stem);
    out.write(tail);
    out.write("\t");
    out.write_signed(value);
    out.write("\n");
}

}  // namespace

void write_header(TextWriter& out, const NetConfig& config) {
    write_opening_banner(out, kHeaderTitle);
    for (std::size_t i = 0; i < kClassNames.size(); ++i) {
        write_macro(out, "", kClassNames[i], "_BLOCK_SIZE", config.pools[i].block_size);
        write_macro(out, "", kClassNames[i], "_BLOCKS", config.pools[i].blocks);
    }
    out.write("\n");
    for (std::size_t i = 0; i < kClassNames.size(); ++i) {
        write_macro(out, "RCV_", kClassNames[i], "_SZ", config.pools[i].receive_size());
    }
    write_closing_banner(out);
}

}  // namespace morvcfg
