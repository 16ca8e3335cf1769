#include "translator/scanner.h"

namespace morvcfg {

ScanResult scan(std::string_view text, std::string_view pattern) {
    ScanResult result;
    ScanState state(text, result);
    std::size_t fields = 0;
    std::size_t at = 0;
    while (at < pattern.size()) {
        const ScanStep step = scan_step(pattern, at, fields);
        if (!state.apply(step)) {
            state.failed_at(step);
            return result;
        }
        at = step.end;
        fields += step.stores() ? 1 : 0;
    }
    state.completed(fields, at);
    return result;
}

}  // namespace morvcfg
