#include "checker/analysis/comparison.h"

#include <algorithm>
#include <functional>
#include <map>
#include <optional>

#include "checker/analysis/settings.h"

namespace morvcfg {
namespace {

using ByName = std::map<std::string_view, const GeneratedSetting*>;

ByName by_name(const std::vector<GeneratedSetting>& settings) {
    ByName map;
    for (const GeneratedSetting& setting : settings) {
        map.emplace(setting.name, &setting);
    }
    return map;
}

const GeneratedSetting* find(const ByName& settings, std::string_view name) {
    const auto found = settings.find(name);
    return found != settings.end() ? found->second : nullptr;
}

// A file's lines named as a comparison names them: "board.cfg:3".
std::function<std::string(std::uint64_t)> lines_in(const CheckResult& result, const std::string& file) {
    return [&result, &file](std::uint64_t at) { return file + ":" + std::to_string(origin_line(at, result)); };
}

// The two files compared, and where the new one sets this host's subnet (the line the network
// address is derived from).
struct Sides {
    const CheckResult& before;
    const CheckResult& after;
    const std::string& before_name;
    const std::string& after_name;
    std::optional<std::uint64_t> subnet_at;
};

// Why a value changes, from where the new value comes from (`setting`, or the old value's setting
// where the new file has none).
void explain(ValueChange& change, const GeneratedSetting& setting, const GeneratedSetting* was,
             const GeneratedSetting* now, const Sides& sides) {
    const ValueOrigin& origin = setting.origin;
    if (now != nullptr && was != nullptr && was->given == now->given) {
        // The value given is as it was: the subnet it is moved into, or no longer moved out of, is
        // not.
        change.line = origin_line(sides.subnet_at, sides.after);
        const std::string subnet =
            sides.subnet_at ? "the new subnet set at " + lines_in(sides.after, sides.after_name)(*sides.subnet_at)
                            : "the default subnet";
        change.cause =
            origin.kind == ValueOrigin::Kind::Moved ? "moved into " + subnet : "no longer moved: inside " + subnet;
    } else if ((now == nullptr || !origin.at) && was != nullptr && was->origin.at) {
        change.in_new = false;
        change.line = origin_line(was->origin.at, sides.before);
        change.cause =
            "no line sets it any more: " + lines_in(sides.before, sides.before_name)(*was->origin.at) + " did";
    } else {
        change.line = origin_line(origin.at, sides.after);
        change.cause = origin_text(origin, lines_in(sides.after, sides.after_name));
    }
}

}  // namespace

Comparison compare(const CheckResult& before, const CheckResult& after, const std::string& before_name,
                   const std::string& after_name) {
    Comparison comparison;
    const std::vector<GeneratedSetting> old_settings = generated_settings_in_order(before);
    const std::vector<GeneratedSetting> new_settings = generated_settings_in_order(after);
    const ByName old_values = by_name(old_settings);
    const ByName new_values = by_name(new_settings);
    // In the order the summary lists them: the new file's, then those only the old one has.
    std::vector<const GeneratedSetting*> changed;
    for (const GeneratedSetting& setting : new_settings) {
        const GeneratedSetting* was = find(old_values, setting.name);
        if (was == nullptr || was->value != setting.value) {
            changed.push_back(&setting);
        }
    }
    for (const GeneratedSetting& setting : old_settings) {
        if (!new_values.contains(setting.name)) {
            changed.push_back(&setting);
        }
    }
    const GeneratedSetting* network = find(new_values, "NetWorkAddress");
    const Sides sides{before, after, before_name, after_name, network != nullptr ? network->origin.at : std::nullopt};
    for (const GeneratedSetting* setting : changed) {
        const GeneratedSetting* was = find(old_values, setting->name);
        const GeneratedSetting* now = find(new_values, setting->name);
        ValueChange change{
            setting->name, was != nullptr ? was->value : "", now != nullptr ? now->value : "", true, 0, ""};
        explain(change, *setting, was, now, sides);
        comparison.changes.push_back(std::move(change));
    }
    comparison.same_defines = before.defines == after.defines;
    return comparison;
}

}  // namespace morvcfg
