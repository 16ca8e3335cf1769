#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace morvcfg {

// One dotted-quad IPv4 address, most significant component first. Components are full 32-bit
// values: a component given as 300 stays 300 and is written as 300.
using Address = std::array<std::uint32_t, 4>;

// Block size and block count of one Ethernet receive memory-pool class.
struct MemoryPool {
    std::int32_t block_size = 0;
    std::int32_t blocks = 0;

    // Size of the receive area: the low 32 bits of size times count, read as signed.
    [[nodiscard]] std::int32_t receive_size() const;
};

// The memory-pool classes, in the order they appear everywhere.
enum class PoolClass { VerySmall, Small, Middle, Large };
inline constexpr int kPoolClassCount = 4;
// The classes as the macro names of morv_cfg.h spell them, in PoolClass order.
inline constexpr std::array<std::string_view, kPoolClassCount> kPoolClassNames = {"VERY_SMALL", "SMALL", "MIDDLE",
                                                                                  "LARGE"};

// Everything the description file says about the target's network, starting from the built-in
// defaults. Field names are those of the generated arrays.
struct NetConfig {
    Address ThisIs{192, 168, 0, 254};
    Address SubNetMask{255, 255, 255, 0};
    Address LocalHost{127, 0, 0, 1};
    Address DomainNameServer{192, 168, 0, 1};
    Address GateWay{192, 168, 0, 1};
    Address BroadCast{255, 255, 255, 255};
    Address SubNetBroadCast{192, 168, 0, 255};
    Address NTPServer{129, 6, 15, 28};
    Address SMTPServer{0, 0, 0, 0};
    Address POP3Server{0, 0, 0, 0};
    std::array<MemoryPool, kPoolClassCount> pools{};

    [[nodiscard]] MemoryPool& pool(PoolClass kind) { return pools.at(static_cast<std::size_t>(kind)); }
    [[nodiscard]] const MemoryPool& pool(PoolClass kind) const { return pools.at(static_cast<std::size_t>(kind)); }
};

// note [gateway moved into subnet]
// After the pass the record derives what depends on this host's address: the network address
// (returned, it is not a field), the subnet broadcast, and the name server and gateway, which keep
// their host part (the bits outside the mask) but take this host's network part, whatever network
// part the description file gave them. All of it is bitwise on the full 32-bit components.
Address derive(NetConfig& config);

}  // namespace morvcfg
