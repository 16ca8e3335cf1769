#include "checker/analysis/file_analysis.h"

#include <algorithm>
#include <charconv>
#include <optional>

namespace morvcfg {
namespace {

// The bytes around a mark of claim_address() and claim_pool(), which no message holds otherwise.
constexpr char kClaimStart = '\x01';
constexpr char kClaimEnd = '\x02';

std::string pool_text(const MemoryPool& pool) {
    return std::to_string(pool.block_size) + " x " + std::to_string(pool.blocks);
}

// An address as 32 bits; nothing when a component is above 255 (a range warning says so).
std::optional<std::uint32_t> packed(const Address& address) {
    std::uint32_t bits = 0;
    for (const std::uint32_t component : address) {
        if (component > 255) {
            return std::nullopt;
        }
        bits = (bits << 8U) | component;
    }
    return bits;
}

// Why `address` is no host's in the subnet of `host` with `mask` (`subnet` in words): it is the
// subnet's network or broadcast address; empty when a host may have it.
std::string no_host_address(std::uint32_t address, std::uint32_t host, std::uint32_t mask, const std::string& subnet) {
    const std::uint32_t host_bits = ~mask;
    const std::uint32_t net = host & mask;
    const bool every_address_a_host = (host_bits & (host_bits - 1)) == 0;
    if (every_address_a_host || (address != net && address != (net | host_bits))) {
        return "";
    }
    return std::string(address == net ? "the network" : "the broadcast") + " address of the subnet " + subnet +
           ": no host can have it";
}

}  // namespace

void FileAnalysis::address_set(std::size_t field, std::uint64_t offset, std::string_view keyword, const Address& before,
                               std::string given, std::string note) {
    directives_.back().settings.push_back({std::string(kAddressFields[field].name),
                                           dotted(config_.*kAddressFields[field].field), std::move(given),
                                           std::move(note)});
    note_setting(address_origins_[field], offset, keyword, kAddressFields[field].name, dotted(before),
                 dotted(config_.*kAddressFields[field].field) + claim_derived(field, offset));
    address_setters_[field].push_back(offset);
}

void FileAnalysis::pool_set(std::size_t pool, std::uint64_t offset, std::string_view keyword,
                            const MemoryPool& before) {
    const std::string prefix = "ETH0_" + std::string(kPoolClassNames[pool]);
    directives_.back().settings.push_back({prefix + "_BLOCK_SIZE", std::to_string(config_.pools[pool].block_size)});
    directives_.back().settings.push_back({prefix + "_BLOCKS", std::to_string(config_.pools[pool].blocks)});
    note_setting(pool_origins_[pool], offset, keyword, "the " + std::string(kPoolClassNames[pool]) + " pool",
                 pool_text(before), pool_text(config_.pools[pool]));
    pool_setters_[pool].push_back(offset);
}

void FileAnalysis::lookalike_seen(const Directive& row, std::uint64_t offset) {
    if (row.kind != DirectiveKind::Address) {
        return;
    }
    Origin& first = address_lookalikes_[field_index(row.address)];
    if (!first.set) {
        first = Origin{true, offset, row.keyword};
    }
}

void FileAnalysis::define_written(const std::string& name, const std::string& value, std::uint64_t offset) {
    directives_.back().settings.push_back({name, value});
    if (const auto first = define_origins_.find(name); first != define_origins_.end()) {
        Finding& finding = findings_.warn(offset, Category::DuplicateDefine,
                                          name + " is defined again: the second define redefines the first");
        finding.notes.emplace_back(first->second, "first defined here");
    } else {
        define_origins_.emplace(name, offset);
    }
    defines_.emplace_back(name, value);
}

void FileAnalysis::note_setting(Origin& origin, std::uint64_t offset, std::string_view keyword,
                                std::string_view setting, std::string_view old_value, std::string_view new_value) {
    if (origin.set) {
        const std::string change = old_value == new_value.substr(0, new_value.find(kClaimStart))
                                       ? ", to the same value " + std::string(new_value)
                                       : ": " + std::string(old_value) + " becomes " + std::string(new_value);
        Finding& finding = findings_.warn(offset, offset + keyword.size(), Category::Override,
                                          std::string(keyword) + " sets " + std::string(setting) + " again" + change);
        finding.notes.emplace_back(origin.offset, "set earlier here by " + std::string(origin.keyword));
    }
    origin = Origin{true, offset, keyword};
}

std::string FileAnalysis::claim_address(std::size_t field, std::uint64_t offset) {
    return std::string(1, kClaimStart) + "A" + std::to_string(field) + ":" + std::to_string(offset) + kClaimEnd;
}

std::string FileAnalysis::claim_derived(std::size_t field, std::uint64_t offset) {
    return std::string(1, kClaimStart) + "D" + std::to_string(field) + ":" + std::to_string(offset) + kClaimEnd;
}

std::string FileAnalysis::claim_pool(std::size_t pool, std::uint64_t offset) {
    return std::string(1, kClaimStart) + "P" + std::to_string(pool) + ":" + std::to_string(offset) + kClaimEnd;
}

std::string FileAnalysis::told(std::string_view text, const NetConfig& derived, const CheckResult& result) const {
    std::string out;
    std::size_t at = 0;
    for (std::size_t start = text.find(kClaimStart); start != std::string_view::npos;
         start = text.find(kClaimStart, at)) {
        out.append(text.substr(at, start - at));
        at = start + 1;
        // "<start>A<index>:<offset><end>", as claim_address() and claim_pool() write it.
        const std::size_t end = text.find(kClaimEnd, start);
        const std::size_t colon = text.find(':', start);
        std::size_t index = 0;
        std::uint64_t offset = 0;
        const char* const first = text.data() + start + 2;
        if (end == std::string_view::npos || colon > end || start + 2 > colon ||
            std::from_chars(first, text.data() + colon, index).ptr != text.data() + colon ||
            std::from_chars(text.data() + colon + 1, text.data() + end, offset).ptr != text.data() + end) {
            out += kClaimStart;  // no mark
            continue;
        }
        at = end + 1;
        const char kind = text[start + 1];
        const bool address = kind != 'P';
        if (index >= (address ? address_setters_.size() : pool_setters_.size())) {
            continue;
        }
        const std::vector<std::uint64_t>& setters = address ? address_setters_[index] : pool_setters_[index];
        if (const auto later = std::upper_bound(setters.begin(), setters.end(), offset); later != setters.end()) {
            if (kind != 'D') {
                out.append(" until line ")
                    .append(std::to_string(line_and_column(result, *later).first))
                    .append(" sets it again");
            }
        } else if (address && derived.*kAddressFields[index].field != config_.*kAddressFields[index].field) {
            out.append(", written as ").append(dotted(derived.*kAddressFields[index].field));
        }
    }
    out.append(text.substr(std::min(at, text.size())));
    return out;
}

void FileAnalysis::finish(CheckResult& result) {
    NetConfig derived = config_;
    const Address network = derive(derived);
    check_derivation(derived, network);
    check_impossible_addresses(derived, network);
    check_pools();
    for (Finding& finding : findings_.all()) {
        if (finding.message.find(kClaimStart) != std::string::npos) {
            finding.message = told(finding.message, derived, result);
        }
    }
    for (DirectiveLine& line : directives_) {
        for (Setting& setting : line.settings) {
            setting.note = told(setting.note, derived, result);
        }
    }
    result.config = derived;
    result.network = network;
    result.defines = std::move(defines_);
    result.directives = std::move(directives_);
}

const FileAnalysis::Origin& FileAnalysis::subnet_origin() const {
    const Origin& this_is = address_origins_[field_index(&NetConfig::ThisIs)];
    const Origin& mask = address_origins_[field_index(&NetConfig::SubNetMask)];
    return mask.set && (!this_is.set || mask.offset > this_is.offset) ? mask : this_is;
}

void FileAnalysis::check_derivation(const NetConfig& derived, const Address& network) {
    const Origin& subnet = subnet_origin();
    const std::string subnet_text = dotted(network) + "/" + dotted(config_.SubNetMask);
    const struct {
        Address NetConfig::*field;
        const char* what;
    } moved[] = {{&NetConfig::GateWay, "gateway"}, {&NetConfig::DomainNameServer, "name server"}};
    for (const auto& item : moved) {
        if (derived.*item.field == config_.*item.field) {
            continue;
        }
        // note [defaults moved into the subnet]: every file that sets its own subnet and no
        // gateway or name server gets the defaults moved; that is how the tool is meant to be
        // used, so it is worth a warning only where the file meant to give the address itself.
        const Origin& origin = address_origins_[field_index(item.field)];
        const Origin& lookalike = address_lookalikes_[field_index(item.field)];
        if (!origin.set && !lookalike.set) {
            continue;
        }
        const Origin& at = origin.set ? origin : subnet;
        const std::uint64_t offset = at.offset;
        Finding& finding = findings_.warn(offset, offset + at.keyword.size(), Category::SubnetMove,
                                          std::string(origin.set ? "the " : "the default ") + item.what + " " +
                                              dotted(config_.*item.field) + " is outside this host's subnet " +
                                              subnet_text + ": it is written as " + dotted(derived.*item.field));
        if (subnet.set && subnet.offset != offset) {
            finding.notes.emplace_back(subnet.offset, "this host's subnet is set here");
        }
        if (!origin.set) {
            finding.notes.emplace_back(
                lookalike.offset,
                std::string(lookalike.keyword) + " here is ordinary text, so the " + item.what + " keeps its default");
        }
    }
}

// note [addresses no host can have]: in a subnet, the address whose host part is all zeros names
// the network and the one whose host part is all ones is its broadcast; neither can be a host's.
// With one host bit or none (/31, /32) every address is a host's. A gateway is another host. The
// same holds for a server the file puts at one of those two addresses.
void FileAnalysis::check_impossible_addresses(const NetConfig& derived, const Address& network) {
    const auto host = packed(config_.ThisIs);
    const auto mask = packed(config_.SubNetMask);
    if (!host || !mask) {
        return;
    }
    const auto misplaced = [&](std::uint32_t address) {
        return no_host_address(address, *host, *mask, dotted(network) + "/" + dotted(config_.SubNetMask));
    };
    const Origin& subnet = subnet_origin();
    const auto warn = [&](const Origin& at, const std::string& message) {
        if (!at.set) {
            return;  // the defaults are all hosts' addresses
        }
        Finding& finding =
            findings_.warn(at.offset, at.offset + at.keyword.size(), Category::ImpossibleAddress, message);
        if (subnet.set && subnet.offset != at.offset) {
            finding.notes.emplace_back(subnet.offset, "this host's subnet is set here");
        }
    };
    if (const std::string where = misplaced(*host); !where.empty()) {
        warn(subnet, "this host's address " + dotted(config_.ThisIs) + " is " + where);
    }
    // The gateway and name server as morv_cfg.c holds them, moved into the subnet; the servers as
    // the file gives them, wherever they are, but one inside this host's subnet cannot stand at its
    // network or broadcast address either (their defaults are in no subnet a file sets).
    const struct {
        Address NetConfig::*field;
        const char* what;
        bool moved;
    } others[] = {{&NetConfig::GateWay, "gateway", true},
                  {&NetConfig::DomainNameServer, "name server", true},
                  {&NetConfig::NTPServer, "time server", false},
                  {&NetConfig::SMTPServer, "mail server", false},
                  {&NetConfig::POP3Server, "mailbox server", false}};
    for (const auto& other : others) {
        const Origin& origin = address_origins_[field_index(other.field)];
        const Address& value = other.moved ? derived.*other.field : config_.*other.field;
        const auto address = packed(value);
        if (!address || (!other.moved && !origin.set)) {
            continue;
        }
        const std::string message =
            std::string(origin.set ? "the " : "the default ") + other.what + " " + dotted(value) + " is ";
        if (const std::string where = misplaced(*address); !where.empty()) {
            warn(origin.set ? origin : subnet, message + where);
        } else if (other.field == &NetConfig::GateWay && *address == *host) {
            warn(origin.set ? origin : subnet, message + "this host's own address: a gateway is another host");
        }
    }
}

void FileAnalysis::check_pools() {
    for (std::size_t i = 0; i < config_.pools.size(); ++i) {
        const MemoryPool& pool = config_.pools[i];
        if (!pool_origins_[i].set) {
            continue;
        }
        const std::int64_t product = std::int64_t{pool.block_size} * std::int64_t{pool.blocks};
        const std::int32_t size = pool.receive_size();
        // "ETH0_RCV_<class>_SZ is <size> x <count> = ..."
        std::string message = "ETH0_RCV_" + std::string(kPoolClassNames[i]) + "_SZ is ";
        const std::string sum = pool_text(pool) + " = ";
        if (product != size) {
            message.append(sum)
                .append(std::to_string(product))
                .append(", which does not fit 32 bits and is written as ");
            findings_.warn(pool_origins_[i].offset, pool_origins_[i].offset + pool_origins_[i].keyword.size(),
                           Category::PoolSize, message.append(std::to_string(size)));
        } else if (size < 0) {
            message.append("negative: ").append(sum).append(std::to_string(size));
            findings_.warn(pool_origins_[i].offset, pool_origins_[i].offset + pool_origins_[i].keyword.size(),
                           Category::PoolSize, std::move(message));
        }
    }
}

}  // namespace morvcfg
