#include "lsp/handlers.h"

namespace morvcfg::lsp {

Json document_symbols(const Document& document, const Session& session) {
    Json symbols = Json::array();
    for (const DirectiveLine& line : document.analysis().directives) {
        std::string detail;
        // The name says what the line sets, since an outline may show nothing else:
        // "MORV_DEV_ADR UART1 0x40002000", "MORV_DNS 10.0.0.53", "MORV_MPF_SMALL 256 x 8".
        std::string name(line.row->keyword);
        constexpr std::string_view kDefine = "_START_ADDRESS";
        for (const Setting& setting : line.settings) {
            detail += (detail.empty() ? "" : ", ") + setting.name + " " + setting.value;
            const bool count = setting.name.ends_with("_BLOCKS");
            if (setting.name.ends_with(kDefine)) {
                name += " " + setting.name.substr(0, setting.name.size() - kDefine.size());
            }
            name += (count ? " x " : " ") + setting.value;
        }
        symbols.push_back({
            {"name", name},
            {"detail", detail.empty() ? "sets nothing" : detail},
            {"kind", 13},  // variable: a setting
            {"range", to_json(document.range(line.offset, line.end, session.encoding))},
            {"selectionRange",
             to_json(document.range(line.offset, line.offset + line.row->keyword.size(), session.encoding))},
        });
    }
    return symbols;
}

}  // namespace morvcfg::lsp
