#include "translator/directive_table.h"

#include <algorithm>
#include <cstring>

namespace morvcfg {

const std::array<Directive, 12> kDirectives = {{
    {"MORV_IFCFG", &parse_interface, kInterfacePattern, DirectiveKind::Interface},
    {"MORV_LOCAL", &parse_address<&NetConfig::LocalHost>, kAddressPattern, DirectiveKind::Address,
     &NetConfig::LocalHost},
    {"MORV_DEFGW", &parse_address<&NetConfig::GateWay>, kAddressPattern, DirectiveKind::Address, &NetConfig::GateWay},
    {"MORV_DNS", &parse_address<&NetConfig::DomainNameServer>, kAddressPattern, DirectiveKind::Address,
     &NetConfig::DomainNameServer},
    {"MORV_DEV_ADR", &parse_device, kDevicePattern, DirectiveKind::Device},
    {"MORV_MPF_VERY_SMALL", &parse_pool<PoolClass::VerySmall>, kPoolPattern, DirectiveKind::Pool, nullptr,
     PoolClass::VerySmall},
    {"MORV_MPF_SMALL", &parse_pool<PoolClass::Small>, kPoolPattern, DirectiveKind::Pool, nullptr, PoolClass::Small},
    {"MORV_MPF_MIDDLE", &parse_pool<PoolClass::Middle>, kPoolPattern, DirectiveKind::Pool, nullptr, PoolClass::Middle},
    {"MORV_MPF_LARGE", &parse_pool<PoolClass::Large>, kPoolPattern, DirectiveKind::Pool, nullptr, PoolClass::Large},
    {"MORV_NTPCFG", &parse_address<&NetConfig::NTPServer>, kAddressPattern, DirectiveKind::Address,
     &NetConfig::NTPServer},
    {"MORV_SMTPCFG", &parse_address<&NetConfig::SMTPServer>, kAddressPattern, DirectiveKind::Address,
     &NetConfig::SMTPServer},
    {"MORV_POP3CFG", &parse_address<&NetConfig::POP3Server>, kAddressPattern, DirectiveKind::Address,
     &NetConfig::POP3Server},
}};

const Directive* match_directive(std::string_view text) {
    // Nearly every ordinary line fails on its first byte or on the common prefix, and a directive
    // on the byte after it for all rows but its own.
    const std::size_t prefix = kKeywordPrefix.size();
    if (text.empty() || text.front() != kKeywordPrefix.front() || !text.starts_with(kKeywordPrefix) ||
        text.size() == prefix) {
        return nullptr;
    }
    const auto* const row = std::find_if(kDirectives.begin(), kDirectives.end(), [text](const Directive& candidate) {
        return candidate.keyword[prefix] == text[prefix] && text.size() >= candidate.keyword.size() &&
               std::equal(candidate.keyword.begin() + prefix + 1, candidate.keyword.end(), text.begin() + prefix + 1);
    });
    return row != kDirectives.end() ? row : nullptr;
}

void normalise_separators(std::span<char> text) {
    // Written without branches so that the compiler can do many bytes at a time.
    for (char& c : text) {
        const auto byte = static_cast<unsigned char>(c);
        // "(" and ")" differ in the lowest bit only.
        const bool separator = ((byte | 1U) == unsigned{')'}) | (byte == unsigned{','}) | (byte == unsigned{';'});
        c = separator ? ' ' : c;
    }
}

void dispatch(std::span<char> piece, NetConfig& config, TextWriter& pass_through) {
    const std::string_view whole(piece.data(), piece.size());
    const Directive* row = match_directive(whole);
    if (row == nullptr) {
        // A piece ends at its first line end, if it has one.
        if (whole.ends_with('\n')) {
            pass_through.write_line(whole.substr(0, whole.size() - 1));
        } else {
            pass_through.write(whole);
        }
        return;
    }
    // For a directive the piece's text ends at its first NUL.
    const void* nul = std::memchr(piece.data(), '\0', piece.size());
    const std::size_t length =
        nul != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nul) - piece.data()) : piece.size();
    normalise_separators(piece.first(length));
    row->parse(std::string_view(piece.data(), length), config, pass_through);
}

}  // namespace morvcfg
