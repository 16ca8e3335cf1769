#include "checker/directive_help.h"

#include <algorithm>

namespace morvcfg {

const std::array<DirectiveHelp, 12> kDirectiveHelp = {{
    {"MORV_IFCFG", "MORV_IFCFG(${1:192.168.0.254}, ${2:255.255.255.0});",
     "this host's address (ThisIs) and subnet mask (SubNetMask); the mask may be left out"},
    {"MORV_LOCAL", "MORV_LOCAL(${1:127.0.0.1});", "the local-host address (LocalHost)"},
    {"MORV_DEFGW", "MORV_DEFGW(${1:192.168.0.1});", "the gateway (GateWay), which is moved into this host's subnet"},
    {"MORV_DNS", "MORV_DNS(${1:192.168.0.1});",
     "the name server (DomainNameServer), which is moved into this host's subnet"},
    {"MORV_DEV_ADR", "MORV_DEV_ADR(${1:name}, 0x${2:00000000});",
     "a device's start address: #define NAME_START_ADDRESS 0x........ in the pass-through output"},
    {"MORV_MPF_VERY_SMALL", "MORV_MPF_VERY_SMALL(${1:64}, ${2:16});",
     "the very small receive pool: block size and block count (ETH0_VERY_SMALL_...)"},
    {"MORV_MPF_SMALL", "MORV_MPF_SMALL(${1:128}, ${2:16});",
     "the small receive pool: block size and block count (ETH0_SMALL_...)"},
    {"MORV_MPF_MIDDLE", "MORV_MPF_MIDDLE(${1:512}, ${2:8});",
     "the middle receive pool: block size and block count (ETH0_MIDDLE_...)"},
    {"MORV_MPF_LARGE", "MORV_MPF_LARGE(${1:1536}, ${2:8});",
     "the large receive pool: block size and block count (ETH0_LARGE_...)"},
    {"MORV_NTPCFG", "MORV_NTPCFG(${1:129.6.15.28});", "the time server (NTPServer)"},
    {"MORV_SMTPCFG", "MORV_SMTPCFG(${1:0.0.0.0});", "the mail server (SMTPServer)"},
    {"MORV_POP3CFG", "MORV_POP3CFG(${1:0.0.0.0});", "the mailbox server (POP3Server)"},
}};

const DirectiveHelp& help_for(std::string_view keyword) {
    const auto* const row = std::find_if(kDirectiveHelp.begin(), kDirectiveHelp.end(),
                                         [keyword](const DirectiveHelp& help) { return help.keyword == keyword; });
    return row != kDirectiveHelp.end() ? *row : kDirectiveHelp.front();
}

}  // namespace morvcfg
