#include "lsp/handlers.h"

namespace morvcfg::lsp {

Json configuration(const Document& document) {
    Json settings = Json::array();
    // Lines as the editor counts them, which may differ from the checker's (a lone carriage return
    // ends a line in an editor).
    const auto line_of = [&document](std::uint64_t at) { return line_number(document, at); };
    for (const GeneratedSetting& setting : configuration_of(document.analysis())) {
        const ValueOrigin& from = setting.origin;
        Json origin = {{"kind", origin_kind_name(from.kind)}, {"text", origin_words(document, from)}};
        if (from.at) {
            origin["line"] = line_of(*from.at);
        }
        if (from.subnet_at) {
            origin["subnet_line"] = line_of(*from.subnet_at);
        }
        settings.push_back({{"name", setting.name}, {"value", setting.value}, {"origin", std::move(origin)}});
    }
    return settings;
}

}  // namespace morvcfg::lsp
