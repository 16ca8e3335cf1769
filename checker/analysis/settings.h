#pragma once

// The settings of the configuration morvcfg generates for a checked file, in the names the
// generated files give them, and where each value comes from.
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "checker/analysis/findings.h"

namespace morvcfg {

// Where a value the firmware gets comes from.
struct ValueOrigin {
    enum class Kind : std::uint8_t {
        Line,     // a directive line sets it
        Default,  // no line sets it
        Derived,  // morvcfg computes it from other settings (network, subnet broadcast, receive sizes)
        Moved,    // the gateway or name server, moved into this host's subnet from the value given
    };
    Kind kind = Kind::Default;
    // Where the line starts (the offset of its keyword) that sets the value (Line), that gives the
    // value that is moved (Moved), or that last sets what the value is derived from (Derived); none
    // where that is a default.
    std::optional<std::uint64_t> at;
    // Moved: where the line starts that sets the subnet the value is moved into; none for the
    // default subnet.
    std::optional<std::uint64_t> subnet_at;

    friend bool operator==(const ValueOrigin&, const ValueOrigin&) = default;
};

struct GeneratedSetting {
    std::string name;
    std::string value;
    ValueOrigin origin;
    // The value the line or the default gives, before the derivation: the value itself, but for a
    // gateway or name server moved into the subnet.
    std::string given{};
};

// Every value the firmware gets, in the order the summary lists them: the address arrays of
// morv_cfg.c (dotted), the macros of morv_cfg.h, then each define of the pass-through output in
// file order (a name defined twice, twice).
std::vector<GeneratedSetting> configuration_of(const CheckResult& result);

// The settings of the configuration morvcfg generates, by name: the address arrays, the macros and
// the defines (the last of a name, which is the one that counts).
std::map<std::string, std::string> generated_settings(const CheckResult& result);

// The same settings in the order the summary lists them, each define once, at its first line, with
// its last value and that value's origin.
std::vector<GeneratedSetting> generated_settings_in_order(const CheckResult& result);

// The kind of an origin as JSON names it: "line", "default", "derived", "moved".
std::string_view origin_kind_name(ValueOrigin::Kind kind);

// An origin in words, each line named by `line_name` from where it starts ("board.cfg:5", "line
// 5"): "board.cfg:5", "default", "derived from board.cfg:3" (or "derived", from defaults alone),
// "board.cfg:5, moved into the subnet set at board.cfg:3" (or "default, moved into the default
// subnet").
std::string origin_text(const ValueOrigin& origin, const std::function<std::string(std::uint64_t)>& line_name);
// The same, each line named "line N" (from 1) in `result`'s file, as the summary, the JSON report
// and the editors say it.
std::string origin_text(const ValueOrigin& origin, const CheckResult& result);
// The line (from 1) of a place an origin names, in `result`'s file.
std::uint64_t origin_line(const std::optional<std::uint64_t>& at, const CheckResult& result);

}  // namespace morvcfg
