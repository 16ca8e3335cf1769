#include "checker/analysis/settings.h"

#include <algorithm>
#include <cstddef>
#include <iterator>

#include "checker/analysis/messages.h"
#include "generator/header_writer.h"
#include "generator/source_writer.h"
#include "translator/directive_table.h"

namespace morvcfg {
namespace {

// The last line that sets each setting, and what it gives it (before the derivation).
class LastSetters {
public:
    explicit LastSetters(const CheckResult& result) {
        for (const DirectiveLine& directive : result.directives) {
            for (const Setting& setting : directive.settings) {
                last_[setting.name] = {directive.offset, &setting};
            }
        }
    }
    // Where the last line that sets `name` starts; none where no line does.
    [[nodiscard]] std::optional<std::uint64_t> at(std::string_view name) const {
        const auto found = last_.find(name);
        return found != last_.end() ? std::optional(found->second.first) : std::nullopt;
    }
    // What that line gives it; null where no line does.
    [[nodiscard]] const Setting* given(std::string_view name) const {
        const auto found = last_.find(name);
        return found != last_.end() ? found->second.second : nullptr;
    }
    [[nodiscard]] ValueOrigin set_or_default(std::string_view name) const {
        const auto line = at(name);
        return {line ? ValueOrigin::Kind::Line : ValueOrigin::Kind::Default, line, std::nullopt};
    }

private:
    std::map<std::string, std::pair<std::uint64_t, const Setting*>, std::less<>> last_;
};

// The pool class a receive-size macro (ETH0_RCV_<class>_SZ) is the product of; empty for another.
std::string_view pool_of_receive_size(std::string_view name) {
    constexpr std::string_view kPrefix = "ETH0_RCV_";
    constexpr std::string_view kSize = "_SZ";
    if (!name.starts_with(kPrefix) || !name.ends_with(kSize)) {
        return {};
    }
    return name.substr(kPrefix.size(), name.size() - kPrefix.size() - kSize.size());
}

// The later of two places, either of which may be none.
std::optional<std::uint64_t> later(std::optional<std::uint64_t> a, std::optional<std::uint64_t> b) {
    return a && b ? std::max(*a, *b) : a ? a : b;
}

// An address array of morv_cfg.c and where its value comes from.
GeneratedSetting address_setting(const AddressArray& array, const LastSetters& last) {
    std::string value = dotted(array.value);
    GeneratedSetting setting{std::string(array.name), value, last.set_or_default(array.name), value};
    // This host's subnet: its address and mask, whichever a line set last.
    const auto subnet_at = later(last.at("ThisIs"), last.at("SubNetMask"));
    if (array.name == "NetWorkAddress" || array.name == "SubNetBroadCast") {
        setting.origin = {ValueOrigin::Kind::Derived, subnet_at, std::nullopt};
    } else if (array.name == "GateWay" || array.name == "DomainNameServer") {
        // Moved where the derivation changed the value the last line (or the default) gives.
        const NetConfig defaults;
        const Address& by_default = array.name == "GateWay" ? defaults.GateWay : defaults.DomainNameServer;
        const Setting* given = last.given(array.name);
        setting.given = given != nullptr ? given->value : dotted(by_default);
        if (setting.given != setting.value) {
            setting.origin = {ValueOrigin::Kind::Moved, setting.origin.at, subnet_at};
        }
    }
    return setting;
}

// A macro of morv_cfg.h and where its value comes from.
GeneratedSetting macro_setting(const HeaderMacro& macro, const LastSetters& last) {
    std::string value = std::to_string(macro.value);
    GeneratedSetting setting{macro.name, value, last.set_or_default(macro.name), value};
    if (const std::string_view pool = pool_of_receive_size(macro.name); !pool.empty()) {
        const std::string prefix = "ETH0_" + std::string(pool);
        setting.origin = {ValueOrigin::Kind::Derived,
                          later(last.at(prefix + "_BLOCK_SIZE"), last.at(prefix + "_BLOCKS")), std::nullopt};
    }
    return setting;
}

}  // namespace

std::vector<GeneratedSetting> configuration_of(const CheckResult& result) {
    const LastSetters last(result);
    std::vector<GeneratedSetting> settings;
    const auto arrays = source_arrays(result.config, result.network);
    const auto macros = header_macros(result.config);
    settings.reserve(arrays.size() + macros.size() + result.defines.size());
    std::transform(arrays.begin(), arrays.end(), std::back_inserter(settings),
                   [&last](const AddressArray& array) { return address_setting(array, last); });
    std::transform(macros.begin(), macros.end(), std::back_inserter(settings),
                   [&last](const HeaderMacro& macro) { return macro_setting(macro, last); });
    // Each define comes from the device directive that writes it, in file order.
    std::vector<std::uint64_t> define_at;
    define_at.reserve(result.defines.size());
    for (const DirectiveLine& directive : result.directives) {
        if (directive.row != nullptr && directive.row->kind == DirectiveKind::Device) {
            define_at.insert(define_at.end(), directive.settings.size(), directive.offset);
        }
    }
    for (std::size_t i = 0; i < result.defines.size(); ++i) {
        const auto& [name, value] = result.defines[i];
        const auto line = i < define_at.size() ? std::optional(define_at[i]) : last.at(name);
        settings.push_back(
            {name, value, {line ? ValueOrigin::Kind::Line : ValueOrigin::Kind::Default, line, std::nullopt}, value});
    }
    return settings;
}

std::vector<GeneratedSetting> generated_settings_in_order(const CheckResult& result) {
    std::vector<GeneratedSetting> settings = configuration_of(result);
    std::map<std::string, std::size_t, std::less<>> first_at;
    std::vector<GeneratedSetting> distinct;
    distinct.reserve(settings.size());
    for (GeneratedSetting& setting : settings) {
        const auto [at, added] = first_at.emplace(setting.name, distinct.size());
        if (added) {
            distinct.push_back(std::move(setting));
        } else {
            distinct[at->second].value = std::move(setting.value);
            distinct[at->second].origin = setting.origin;
            distinct[at->second].given = std::move(setting.given);
        }
    }
    return distinct;
}

std::map<std::string, std::string> generated_settings(const CheckResult& result) {
    std::map<std::string, std::string> by_name;
    for (GeneratedSetting& setting : generated_settings_in_order(result)) {
        by_name.emplace(std::move(setting.name), std::move(setting.value));
    }
    return by_name;
}

std::string_view origin_kind_name(ValueOrigin::Kind kind) {
    switch (kind) {
        case ValueOrigin::Kind::Line:
            return "line";
        case ValueOrigin::Kind::Default:
            return "default";
        case ValueOrigin::Kind::Derived:
            return "derived";
        case ValueOrigin::Kind::Moved:
            return "moved";
    }
    return "default";
}

std::string origin_text(const ValueOrigin& origin, const std::function<std::string(std::uint64_t)>& line_name) {
    std::string line = origin.at ? line_name(*origin.at) : "";
    switch (origin.kind) {
        case ValueOrigin::Kind::Line:
            return line;
        case ValueOrigin::Kind::Default:
            return "default";
        case ValueOrigin::Kind::Derived:
            return line.empty() ? "derived" : "derived from " + line;
        case ValueOrigin::Kind::Moved:
            return (line.empty() ? "default" : line) + ", moved into the " +
                   (origin.subnet_at ? "subnet set at " + line_name(*origin.subnet_at) : "default subnet");
    }
    return "default";
}

std::uint64_t origin_line(const std::optional<std::uint64_t>& at, const CheckResult& result) {
    return at ? line_and_column(result, *at).first : 0;
}

std::string origin_text(const ValueOrigin& origin, const CheckResult& result) {
    return origin_text(origin,
                       [&result](std::uint64_t at) { return "line " + std::to_string(origin_line(at, result)); });
}

}  // namespace morvcfg
