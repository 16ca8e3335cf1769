#include "generator/net_config.h"

namespace morvcfg {

std::int32_t MemoryPool::receive_size() const {
    // Unsigned arithmetic wraps where the signed product would overflow; the conversion back to
    // signed keeps the low 32 bits.
    const auto product = static_cast<std::uint32_t>(block_size) * static_cast<std::uint32_t>(blocks);
    return static_cast<std::int32_t>(product);
}

Address derive(NetConfig& config) {
    // See note [gateway moved into subnet].
    Address network{};
    for (std::size_t i = 0; i < network.size(); ++i) {
        network[i] = config.ThisIs[i] & config.SubNetMask[i];
    }
    const auto move_into_subnet = [&](Address& address) {
        for (std::size_t i = 0; i < address.size(); ++i) {
            address[i] = (address[i] & ~config.SubNetMask[i]) | network[i];
        }
    };
    config.SubNetBroadCast = config.BroadCast;
    move_into_subnet(config.SubNetBroadCast);
    move_into_subnet(config.DomainNameServer);
    move_into_subnet(config.GateWay);
    return network;
}

}  // namespace morvcfg
