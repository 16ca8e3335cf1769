#pragma once

#include <array>
#include <functional>
#include <string_view>

#include "generator/net_config.h"
#include "generator/text_writer.h"

namespace morvcfg {

// A local calendar date and time, to the second (month 1..12, hour 0..23).
struct LocalTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// One address array of morv_cfg.c: its name and the address it holds.
struct AddressArray {
    std::string_view name;
    Address value{};
};

// The eleven address arrays of morv_cfg.c, in the order the file holds them, from the derived
// record and the network address.
std::array<AddressArray, 11> source_arrays(const NetConfig& config, const Address& network);

// Reads the clock. The tool reads the real local time; tests pin it.
using Clock = std::function<LocalTime()>;

// Writes the whole of morv_cfg.c: banner, the eleven address arrays, the build stamp and the
// closing banner. The clock is read once, after the arrays have been written.
void write_source(TextWriter& out, const NetConfig& config, const Address& network, const Clock& clock);

}  // namespace morvcfg
