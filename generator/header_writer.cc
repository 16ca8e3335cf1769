#include "generator/header_writer.h"

#include "generator/banner.h"

namespace morvcfg {

std::array<HeaderMacro, 12> header_macros(const NetConfig& config) {
    std::array<HeaderMacro, 12> macros;
    for (std::size_t i = 0; i < kPoolClassNames.size(); ++i) {
        const std::string stem = "ETH0_" + std::string(kPoolClassNames[i]);
        macros[2 * i] = {stem + "_BLOCK_SIZE", config.pools[i].block_size};
        macros[2 * i + 1] = {stem + "_BLOCKS", config.pools[i].blocks};
        macros[8 + i] = {"ETH0_RCV_" + std::string(kPoolClassNames[i]) + "_SZ", config.pools[i].receive_size()};
    }
    return macros;
}

void write_header(TextWriter& out, const NetConfig& config) {
    write_opening_banner(out, kHeaderTitle);
    const std::array<HeaderMacro, 12> macros = header_macros(config);
    for (std::size_t i = 0; i < macros.size(); ++i) {
        if (i == 8) {
            out.write("\n");  // the receive sizes stand apart
        }
        out.write("#define\t");
        out.write(macros[i].name);
        out.write("\t");
        out.write_signed(macros[i].value);
        out.write("\n");
    }
    write_closing_banner(out);
}

}  // namespace morvcfg
