#include "checker/analysis/directive_help.h"

#include "checker/analysis/messages.h"

namespace morvcfg {

const std::array<DirectiveHelp, kDirectives.size()> kDirectiveHelp = {{
    {"this host's address (ThisIs) and subnet mask (SubNetMask); the mask may be left out"},
    {"the local-host address (LocalHost)"},
    {"the gateway (GateWay), which is moved into this host's subnet"},
    {"the name server (DomainNameServer), which is moved into this host's subnet"},
    {"a device's start address: #define NAME_START_ADDRESS 0x........ in the pass-through output"},
    {"the very small receive pool: block size and block count (ETH0_VERY_SMALL_...)", 64, 16},
    {"the small receive pool: block size and block count (ETH0_SMALL_...)", 128, 16},
    {"the middle receive pool: block size and block count (ETH0_MIDDLE_...)", 512, 8},
    {"the large receive pool: block size and block count (ETH0_LARGE_...)", 1536, 8},
    {"the time server (NTPServer)"},
    {"the mail server (SMTPServer)"},
    {"the mailbox server (POP3Server)"},
}};

const DirectiveHelp& help_for(const Directive& row) {
    return kDirectiveHelp.at(static_cast<std::size_t>(&row - kDirectives.data()));
}

std::string snippet_for(const Directive& row) {
    const NetConfig defaults;
    std::string operands;
    switch (row.kind) {
        case DirectiveKind::Interface:
            operands = "${1:" + dotted(defaults.ThisIs) + "}, ${2:" + dotted(defaults.SubNetMask) + "}";
            break;
        case DirectiveKind::Address:
            operands = "${1:" + dotted(defaults.*row.address) + "}";
            break;
        case DirectiveKind::Pool: {
            const DirectiveHelp& help = help_for(row);
            operands = "${1:" + std::to_string(help.block_size) + "}, ${2:" + std::to_string(help.blocks) + "}";
            break;
        }
        case DirectiveKind::Device:
            operands = "${1:name}, 0x${2:00000000}";
            break;
    }
    return std::string(row.keyword) + "(" + operands + ");";
}

}  // namespace morvcfg
