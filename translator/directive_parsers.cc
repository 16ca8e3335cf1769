#include "translator/directive_parsers.h"

#include <algorithm>
#include <array>

#include "translator/scanner.h"

namespace morvcfg {

void read_dotted_quad(std::string_view token, Address& address) {
    const ScanResult quad = scan<kDottedQuad>(token);
    for (std::size_t i = 0; i < quad.stored(); ++i) {
        address[i] = quad.fields[i].bits;
    }
}

void parse_interface(std::string_view text, NetConfig& config, TextWriter& /*pass_through*/) {
    const ScanResult operands = scan<kInterfacePattern>(text);
    if (operands.count >= 2) {
        read_dotted_quad(operands.fields[1].text, config.ThisIs);
    }
    if (operands.count >= 3) {
        read_dotted_quad(operands.fields[2].text, config.SubNetMask);
    }
}

template <Address NetConfig::*Field>
void parse_address(std::string_view text, NetConfig& config, TextWriter& /*pass_through*/) {
    const ScanResult operands = scan<kAddressPattern>(text);
    if (operands.count == 2) {
        read_dotted_quad(operands.fields[1].text, config.*Field);
    }
}

template void parse_address<&NetConfig::LocalHost>(std::string_view, NetConfig&, TextWriter&);
template void parse_address<&NetConfig::GateWay>(std::string_view, NetConfig&, TextWriter&);
template void parse_address<&NetConfig::DomainNameServer>(std::string_view, NetConfig&, TextWriter&);
template void parse_address<&NetConfig::NTPServer>(std::string_view, NetConfig&, TextWriter&);
template void parse_address<&NetConfig::SMTPServer>(std::string_view, NetConfig&, TextWriter&);
template void parse_address<&NetConfig::POP3Server>(std::string_view, NetConfig&, TextWriter&);

template <PoolClass Kind>
void parse_pool(std::string_view text, NetConfig& config, TextWriter& /*pass_through*/) {
    const ScanResult operands = scan<kPoolPattern>(text);
    MemoryPool& pool = config.pool(Kind);
    if (operands.count >= 2) {
        pool.block_size = static_cast<std::int32_t>(operands.fields[1].bits);
    }
    if (operands.count >= 3) {
        pool.blocks = static_cast<std::int32_t>(operands.fields[2].bits);
    }
}

template void parse_pool<PoolClass::VerySmall>(std::string_view, NetConfig&, TextWriter&);
template void parse_pool<PoolClass::Small>(std::string_view, NetConfig&, TextWriter&);
template void parse_pool<PoolClass::Middle>(std::string_view, NetConfig&, TextWriter&);
template void parse_pool<PoolClass::Large>(std::string_view, NetConfig&, TextWriter&);

void parse_device(std::string_view text, NetConfig& /*config*/, TextWriter& pass_through) {
    const ScanResult operands = scan<kDevicePattern>(text);
    if (operands.count != 3) {
        return;
    }
    pass_through.write("#define ");
    // Upper-cased through a small buffer, so that no name of any length needs an allocation.
    std::array<char, 64> upper{};
    for (std::string_view rest = operands.fields[1].text; !rest.empty();) {
        const std::size_t count = std::min(rest.size(), upper.size());
        std::transform(rest.begin(), rest.begin() + static_cast<std::ptrdiff_t>(count), upper.begin(), upper_ascii);
        pass_through.write(std::string_view(upper.data(), count));
        rest.remove_prefix(count);
    }
    pass_through.write("_START_ADDRESS 0x");
    pass_through.write_hex8(operands.fields[2].bits);
    pass_through.write("\n");
}

}  // namespace morvcfg
