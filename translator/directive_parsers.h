#pragma once

#include <string_view>

#include "generator/net_config.h"
#include "generator/text_writer.h"

namespace morvcfg {

// Operand patterns of the directives. The first field of each is the keyword word itself, read
// and discarded.
inline constexpr std::string_view kInterfacePattern = "%s %s %s";
inline constexpr std::string_view kAddressPattern = "%s %s";
inline constexpr std::string_view kPoolPattern = "%s %d %d";
inline constexpr std::string_view kDevicePattern = "%s %s 0x%lx";
// How one address operand token is read.
inline constexpr std::string_view kDottedQuad = "%u.%u.%u.%u";

// Device names are upper-cased by flipping the 0x20 bit of a to z; every other byte, 0x80 to 0xFF
// included, stays as it is.
constexpr char upper_ascii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c ^ 0x20) : c;
}

// Every directive parser has this shape: the directive's normalised text (which ends at the
// piece's first NUL), the record to store into, and the pass-through output. Parsers never
// report anything: an operand they cannot read leaves the record as it was, wholly or from the
// first unreadable component on.
using DirectiveParser = void (*)(std::string_view text, NetConfig& config, TextWriter& pass_through);

// Reads `token` as a dotted quad into `address`, component by component as far as it goes.
void read_dotted_quad(std::string_view token, Address& address);

// MORV_IFCFG: this host's address and, if given, its subnet mask.
void parse_interface(std::string_view text, NetConfig& config, TextWriter& pass_through);

// MORV_LOCAL, MORV_DEFGW, MORV_DNS, MORV_NTPCFG, MORV_SMTPCFG, MORV_POP3CFG: one address, used
// only when exactly one operand was read after the keyword.
template <Address NetConfig::*Field>
void parse_address(std::string_view text, NetConfig& config, TextWriter& pass_through);

// MORV_MPF_*: block size and block count of one memory-pool class, each stored as it is read.
template <PoolClass Kind>
void parse_pool(std::string_view text, NetConfig& config, TextWriter& pass_through);

// MORV_DEV_ADR: writes "#define NAME_START_ADDRESS 0x%08lx" into the pass-through output, with the
// name's a to z upper-cased, when the name and a "0x" value were both read; otherwise nothing.
void parse_device(std::string_view text, NetConfig& config, TextWriter& pass_through);

}  // namespace morvcfg
