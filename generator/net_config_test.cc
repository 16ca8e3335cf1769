#include "generator/net_config.h"

#include <gtest/gtest.h>

#include <ostream>

namespace morvcfg {
namespace {

struct DeriveCase {
    const char* name;  // cppcheck-suppress unusedStructMember ; names the test case
    Address this_is;
    Address mask;
    Address name_server;
    Address gateway;
    Address network;
    Address sub_net_broadcast;
    Address derived_name_server;
    Address derived_gateway;
};

// A failing case is named, not shown as its bytes.
void PrintTo(const DeriveCase& c, std::ostream* out) {
    *out << c.name;
}

class DeriveTest : public testing::TestWithParam<DeriveCase> {};

TEST_P(DeriveTest, MovesGatewayAndNameServerIntoSubnet) {
    const DeriveCase& c = GetParam();
    NetConfig config;
    config.ThisIs = c.this_is;
    config.SubNetMask = c.mask;
    config.DomainNameServer = c.name_server;
    config.GateWay = c.gateway;
    const NetConfig before = config;

    EXPECT_EQ(derive(config), c.network);
    EXPECT_EQ(config.SubNetBroadCast, c.sub_net_broadcast);
    EXPECT_EQ(config.DomainNameServer, c.derived_name_server);
    EXPECT_EQ(config.GateWay, c.derived_gateway);
    // Nothing else moves.
    EXPECT_EQ(config.ThisIs, before.ThisIs);
    EXPECT_EQ(config.SubNetMask, before.SubNetMask);
    EXPECT_EQ(config.LocalHost, before.LocalHost);
    EXPECT_EQ(config.BroadCast, before.BroadCast);
    EXPECT_EQ(config.NTPServer, before.NTPServer);
    EXPECT_EQ(config.SMTPServer, before.SMTPServer);
    EXPECT_EQ(config.POP3Server, before.POP3Server);
}

constexpr std::uint32_t kAll = 0xFFFFFFFFU;

// clang-format off: one case a row reads best.
INSTANTIATE_TEST_SUITE_P(
    Derivation, DeriveTest,
    testing::Values(DeriveCase{"Defaults",
                               {192, 168, 0, 254},
                               {255, 255, 255, 0},
                               {192, 168, 0, 1},
                               {192, 168, 0, 1},
                               {192, 168, 0, 0},
                               {192, 168, 0, 255},
                               {192, 168, 0, 1},
                               {192, 168, 0, 1}},
                    DeriveCase{"OtherNetwork",
                               {10, 1, 2, 3},
                               {255, 255, 0, 0},
                               {192, 168, 0, 1},
                               {192, 168, 0, 1},
                               {10, 1, 0, 0},
                               {10, 1, 255, 255},
                               {10, 1, 0, 1},
                               {10, 1, 0, 1}},
                    DeriveCase{"EmptyMask",
                               {10, 1, 2, 3},
                               {0, 0, 0, 0},
                               {8, 8, 8, 8},
                               {172, 16, 0, 1},
                               {0, 0, 0, 0},
                               {255, 255, 255, 255},
                               {8, 8, 8, 8},
                               {172, 16, 0, 1}},
                    DeriveCase{"FullMask",
                               {10, 1, 2, 3},
                               {255, 255, 255, 255},
                               {8, 8, 8, 8},
                               {172, 16, 0, 1},
                               {10, 1, 2, 3},
                               {10, 1, 2, 3},
                               {10, 1, 2, 3},
                               {10, 1, 2, 3}},
                    // A component above 255 takes part as the 32-bit value it is: 300 & ~255 | 192 = 448.
                    DeriveCase{"WideComponent",
                               {192, 168, 0, 254},
                               {255, 255, 255, 0},
                               {192, 168, 0, 1},
                               {300, 1, 2, 3},
                               {192, 168, 0, 0},
                               {192, 168, 0, 255},
                               {192, 168, 0, 1},
                               {448, 168, 0, 3}},
                    DeriveCase{"FullWidthMask",
                               {kAll, 5, 0, 0},
                               {kAll, kAll, 0, 0},
                               {1, 2, 3, 4},
                               {0, 0, 0, 0},
                               {kAll, 5, 0, 0},
                               {kAll, 5, 255, 255},
                               {kAll, 5, 3, 4},
                               {kAll, 5, 0, 0}}),
    [](const testing::TestParamInfo<DeriveCase>& info) { return info.param.name; });
// clang-format on

TEST(MemoryPoolTest, ReceiveSizeIsTheWrappedSignedProduct) {
    const struct {
        std::int32_t size;
        std::int32_t blocks;
        std::int32_t expected;
    } cases[] = {
        {0, 0, 0},
        {64, 16, 1024},
        {-4, 16, -64},
        {65536, 65536, 0},
        {65536, 32768, INT32_MIN},
        {INT32_MIN, -1, INT32_MIN},
        {-1, -1, 1},
        {46341, 46341, -2147479015},
    };
    for (const auto& c : cases) {
        EXPECT_EQ((MemoryPool{c.size, c.blocks}.receive_size()), c.expected) << c.size << " x " << c.blocks;
    }
}

}  // namespace
}  // namespace morvcfg
