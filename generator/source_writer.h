#pragma once

#include <functional>

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

// Reads the clock. The tool reads the real local time; tests pin it.
using Clock = std::function<LocalTime()>;

// Writes the whole of morv_cfg.c: banner, the eleven address arrays, the build stamp and the
// closing banner. The clock is read once, after the arrays have been written.
void write_source(TextWriter& out, const NetConfig& config, const Address& network, const Clock& clock);

}  // namespace morvcfg
