#include "lsp/handlers.h"

namespace morvcfg::lsp {

Json configuration(const Document& document) {
    Json settings = Json::array();
    for (const auto& [name, value] : generated_settings_in_order(document.analysis())) {
        settings.push_back({{"name", name}, {"value", value}});
    }
    return settings;
}

}  // namespace morvcfg::lsp
