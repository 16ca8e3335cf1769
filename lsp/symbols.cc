#include "lsp/handlers.h"

namespace morvcfg::lsp {

Json document_symbols(const Document& document, const Session& session) {
    Json symbols = Json::array();
    for (const DirectiveLine& line : document.analysis().directives) {
        std::string detail;
        for (const Setting& setting : line.settings) {
            detail += (detail.empty() ? "" : ", ") + setting.name + " " + setting.value;
        }
        symbols.push_back({
            {"name", std::string(line.keyword)},
            {"detail", detail.empty() ? "sets nothing" : detail},
            {"kind", 13},  // variable: a setting
            {"range", to_json(document.range(line.offset, line.end, session.encoding))},
            {"selectionRange",
             to_json(document.range(line.offset, line.offset + line.keyword.size(), session.encoding))},
        });
    }
    return symbols;
}

}  // namespace morvcfg::lsp
