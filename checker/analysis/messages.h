#pragma once

// How the checker's messages name things: tokens, addresses, fields and pools.
#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "generator/net_config.h"

namespace morvcfg {

// Bytes of a token shown in a message as the source line under it shows them: control characters
// as <U+0001>, bytes that are not UTF-8 as <80>, tabs as blanks, the rest as they are.
std::string shown(std::string_view text);
// A token shown in single quotes, followed by the names of the invisible characters it holds:
// "'<U+00A0>255.255.0.0' (with a no-break space)".
std::string quoted(std::string_view text);
// The names of the characters in `text` that show as nothing or as a blank, each once, in order.
std::vector<std::string_view> invisible_names(std::string_view text);
// An address in dotted form, each component in full.
std::string dotted(const Address& address);
// Text without the white space at its front, as the scanner counts white space.
std::string_view trim_left(std::string_view text);
// The first word of text, after white space.
std::string_view first_word(std::string_view text);
// The edits (insertions, deletions, substitutions) that turn one text into the other.
std::size_t edit_distance(std::string_view a, std::string_view b);

// The category nearest to a name that is none, as a did-you-mean suggests it; empty when none is
// near.
std::string_view nearest_category(std::string_view name);
// Text with a to z upper-cased, as device names are.
std::string upper_case(std::string_view text);

// The record's address fields a directive can set, with the names messages use for them.
struct AddressField {
    std::string_view name;
    Address NetConfig::*field;
};
inline constexpr std::array<AddressField, 8> kAddressFields = {{
    {"ThisIs", &NetConfig::ThisIs},
    {"SubNetMask", &NetConfig::SubNetMask},
    {"LocalHost", &NetConfig::LocalHost},
    {"GateWay", &NetConfig::GateWay},
    {"DomainNameServer", &NetConfig::DomainNameServer},
    {"NTPServer", &NetConfig::NTPServer},
    {"SMTPServer", &NetConfig::SMTPServer},
    {"POP3Server", &NetConfig::POP3Server},
}};

// The index in kAddressFields of a field.
std::size_t field_index(Address NetConfig::*field);

}  // namespace morvcfg
