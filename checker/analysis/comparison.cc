#include "checker/analysis/comparison.h"

#include <algorithm>
#include <map>

#include "checker/analysis/settings.h"

namespace morvcfg {

Comparison compare(const CheckResult& before, const CheckResult& after, const std::string& before_name,
                   const std::string& after_name) {
    Comparison comparison;
    const std::vector<GeneratedSetting> old_settings = generated_settings_in_order(before);
    const std::vector<GeneratedSetting> new_settings = generated_settings_in_order(after);
    const auto by_name = [](const std::vector<GeneratedSetting>& settings) {
        std::map<std::string_view, const GeneratedSetting*> map;
        for (const GeneratedSetting& setting : settings) {
            map.emplace(setting.name, &setting);
        }
        return map;
    };
    const auto old_values = by_name(old_settings);
    const auto new_values = by_name(new_settings);
    // In the order the summary lists them: the new file's, then those only the old one has.
    std::vector<const GeneratedSetting*> changed;
    for (const GeneratedSetting& setting : new_settings) {
        const auto old_value = old_values.find(setting.name);
        if (old_value == old_values.end() || old_value->second->value != setting.value) {
            changed.push_back(&setting);
        }
    }
    for (const GeneratedSetting& setting : old_settings) {
        if (!new_values.contains(setting.name)) {
            changed.push_back(&setting);
        }
    }
    // This host's subnet in the new file: the line the network address is derived from.
    const auto network = new_values.find("NetWorkAddress");
    const std::optional<std::uint64_t> subnet_at =
        network != new_values.end() ? network->second->origin.at : std::nullopt;
    const auto in = [](const CheckResult& result, const std::string& file) {
        return [&result, &file](std::uint64_t at) { return file + ":" + std::to_string(origin_line(at, result)); };
    };
    for (const GeneratedSetting* setting : changed) {
        const auto old_value = old_values.find(setting->name);
        const auto new_value = new_values.find(setting->name);
        const GeneratedSetting* was = old_value != old_values.end() ? old_value->second : nullptr;
        const GeneratedSetting* now = new_value != new_values.end() ? new_value->second : nullptr;
        ValueChange change{
            setting->name, was != nullptr ? was->value : "", now != nullptr ? now->value : "", true, 0, ""};
        const ValueOrigin& origin = (now != nullptr ? now : was)->origin;
        if (now != nullptr && was != nullptr && was->given == now->given) {
            // The value given is as it was: the subnet it is moved into, or no longer moved out of,
            // is not.
            change.line = origin_line(subnet_at, after);
            const std::string subnet =
                subnet_at ? "the new subnet set at " + in(after, after_name)(*subnet_at) : "the default subnet";
            change.cause = origin.kind == ValueOrigin::Kind::Moved ? "moved into " + subnet
                                                                   : "no longer moved: inside " + subnet;
        } else if ((now == nullptr || !origin.at) && was != nullptr && was->origin.at) {
            change.in_new = false;
            change.line = origin_line(was->origin.at, before);
            change.cause = "no line sets it any more: " + in(before, before_name)(*was->origin.at) + " did";
        } else {
            change.line = origin_line(origin.at, after);
            change.cause = origin_text(origin, in(after, after_name));
        }
        comparison.changes.push_back(std::move(change));
    }
    comparison.same_defines = before.defines == after.defines;
    return comparison;
}

}  // namespace morvcfg
