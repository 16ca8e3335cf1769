#include <algorithm>

#include "lsp/handlers.h"

namespace morvcfg::lsp {

Json inlay_hints(const Document& document, Range range, const Session& session) {
    const CheckResult& result = document.analysis();
    const std::uint64_t begin = document.offset(range.start, session.encoding);
    const std::uint64_t end = document.offset(range.end, session.encoding);
    const std::map<std::string, std::string> generated = generated_settings(result);
    Json hints = Json::array();
    for (auto line = result.directives.begin(); line != result.directives.end(); ++line) {
        if (line->offset < begin || line->offset > end) {
            continue;
        }
        // A setting a later line sets again is explained on that line; here only what the
        // derivation makes of the last one.
        std::string label;
        for (const Setting& setting : line->settings) {
            const bool set_again = set_again_later(result, *line, setting.name) != nullptr;
            const auto found = generated.find(setting.name);
            if (!set_again && found != generated.end() && found->second != setting.value) {
                label += (label.empty() ? "-> " : ", ") + setting.name + " " + found->second;
            }
        }
        if (!label.empty()) {
            hints.push_back({{"position", to_json(document.position(line->end, session.encoding))},
                             {"label", label},
                             {"paddingLeft", true}});
        }
    }
    return hints;
}

}  // namespace morvcfg::lsp
