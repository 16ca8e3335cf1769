#include "checker/analysis/settings.h"

#include <algorithm>
#include <cstddef>
#include <iterator>

#include "checker/analysis/messages.h"
#include "generator/header_writer.h"
#include "generator/source_writer.h"

namespace morvcfg {

std::vector<std::pair<std::string, std::string>> generated_settings_in_order(const CheckResult& result) {
    std::vector<std::pair<std::string, std::string>> settings;
    const auto arrays = source_arrays(result.config, result.network);
    const auto macros = header_macros(result.config);
    settings.reserve(arrays.size() + macros.size() + result.defines.size());
    std::transform(arrays.begin(), arrays.end(), std::back_inserter(settings), [](const AddressArray& array) {
        return std::pair<std::string, std::string>(array.name, dotted(array.value));
    });
    std::transform(macros.begin(), macros.end(), std::back_inserter(settings), [](const HeaderMacro& macro) {
        return std::pair<std::string, std::string>(macro.name, std::to_string(macro.value));
    });
    std::map<std::string, std::size_t> define_at;
    for (const auto& [name, value] : result.defines) {
        const auto [at, added] = define_at.emplace(name, settings.size());
        if (added) {
            settings.emplace_back(name, value);
        } else {
            settings[at->second].second = value;
        }
    }
    return settings;
}

std::map<std::string, std::string> generated_settings(const CheckResult& result) {
    const std::vector<std::pair<std::string, std::string>> in_order = generated_settings_in_order(result);
    return {in_order.begin(), in_order.end()};
}

}  // namespace morvcfg
