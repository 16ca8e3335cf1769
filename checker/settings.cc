#include "checker/messages.h"
#include "checker/report.h"
#include "generator/header_writer.h"
#include "generator/source_writer.h"

namespace morvcfg {

std::map<std::string, std::string> generated_settings(const CheckResult& result) {
    std::map<std::string, std::string> settings;
    for (const AddressArray& array : source_arrays(result.config, result.network)) {
        settings.emplace(array.name, dotted(array.value));
    }
    for (const HeaderMacro& macro : header_macros(result.config)) {
        settings.emplace(macro.name, std::to_string(macro.value));
    }
    for (const auto& [name, value] : result.defines) {
        settings[name] = value;
    }
    return settings;
}

}  // namespace morvcfg
