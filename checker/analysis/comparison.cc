#include "checker/analysis/comparison.h"

#include <algorithm>
#include <iterator>
#include <map>

#include "checker/analysis/settings.h"

namespace morvcfg {
namespace {

// The last directive line of a file that sets any of `names`; null where none does.
const DirectiveLine* last_setting(const CheckResult& result, const std::vector<std::string>& names) {
    const auto found = std::find_if(result.directives.rbegin(), result.directives.rend(), [&](const DirectiveLine& d) {
        return std::any_of(d.settings.begin(), d.settings.end(), [&](const Setting& s) {
            return std::find(names.begin(), names.end(), s.name) != names.end();
        });
    });
    return found != result.directives.rend() ? &*found : nullptr;
}

// The value the last line setting `name` gives it, before any derivation; empty where none sets it.
std::string given(const CheckResult& result, std::string_view name) {
    const DirectiveLine* line = last_setting(result, {std::string(name)});
    if (line == nullptr) {
        return {};
    }
    const auto setting = std::find_if(line->settings.rbegin(), line->settings.rend(),
                                      [name](const Setting& s) { return s.name == name; });
    return setting->value;
}

std::uint64_t line_of(const CheckResult& result, const DirectiveLine* line) {
    return line != nullptr ? line_and_column(result, line->offset).first : 0;
}

// The settings a generated one comes from: itself, or those it is derived from.
std::vector<std::string> sources_of(const std::string& name) {
    if (name == "NetWorkAddress" || name == "SubNetBroadCast") {
        return {"ThisIs", "SubNetMask"};
    }
    constexpr std::string_view kPrefix = "ETH0_RCV_";
    constexpr std::string_view kSize = "_SZ";
    if (name.starts_with(kPrefix) && name.ends_with(kSize)) {
        const std::string pool = "ETH0_" + name.substr(kPrefix.size(), name.size() - kPrefix.size() - kSize.size());
        return {pool + "_BLOCK_SIZE", pool + "_BLOCKS"};
    }
    return {name};
}

}  // namespace

Comparison compare(const CheckResult& before, const CheckResult& after, const std::string& before_name,
                   const std::string& after_name) {
    Comparison comparison;
    const std::vector<std::pair<std::string, std::string>> old_settings = generated_settings_in_order(before);
    const std::vector<std::pair<std::string, std::string>> new_settings = generated_settings_in_order(after);
    const std::map<std::string, std::string> old_values(old_settings.begin(), old_settings.end());
    // In the order the summary lists them: the new file's, then those only the old one has.
    const std::map<std::string, std::string> new_values(new_settings.begin(), new_settings.end());
    std::vector<std::string> names;
    names.reserve(new_settings.size() + old_settings.size());
    const auto name_of_setting = [](const std::pair<std::string, std::string>& setting) { return setting.first; };
    std::transform(new_settings.begin(), new_settings.end(), std::back_inserter(names), name_of_setting);
    for (const auto& setting : old_settings) {
        if (!new_values.contains(setting.first)) {
            names.push_back(setting.first);
        }
    }
    const auto subnet = [&](const CheckResult& result) { return last_setting(result, {"ThisIs", "SubNetMask"}); };
    for (const std::string& name : names) {
        const auto old_value = old_values.find(name);
        const auto new_value = new_values.find(name);
        ValueChange change{name,
                           old_value != old_values.end() ? old_value->second : "",
                           new_value != new_values.end() ? new_value->second : "",
                           true,
                           0,
                           ""};
        if (change.before == change.after) {
            continue;
        }
        const std::vector<std::string> sources = sources_of(name);
        const auto setter = [&sources](const CheckResult& result) { return last_setting(result, sources); };
        const bool moved =
            (name == "GateWay" || name == "DomainNameServer") && given(before, name) == given(after, name);
        if (moved) {
            // The line is as it was: the subnet it is moved into is not.
            const DirectiveLine* line = subnet(after);
            change.line = line_of(after, line);
            change.why = line != nullptr
                             ? "moved into the new subnet set at " + after_name + ":" + std::to_string(change.line)
                             : "moved into the default subnet";
        } else if (const DirectiveLine* line = setter(after); line != nullptr) {
            change.line = line_of(after, line);
            if (sources.size() > 1) {
                change.why = "derived from the line at " + after_name + ":" + std::to_string(change.line);
            }
        } else if (const DirectiveLine* gone = setter(before); gone != nullptr) {
            change.in_new = false;
            change.line = line_of(before, gone);
            change.why = "no line sets it any more: " + before_name + ":" + std::to_string(change.line) + " did";
        }
        comparison.changes.push_back(std::move(change));
    }
    comparison.same_defines = before.defines == after.defines;
    return comparison;
}

}  // namespace morvcfg
