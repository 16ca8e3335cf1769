#include "checker/analysis/findings.h"

#include <algorithm>

namespace morvcfg {

std::pair<std::uint64_t, std::uint64_t> line_and_column(const CheckResult& result, std::uint64_t offset) {
    const auto feeds = result.line_feeds.begin();
    const auto after = std::lower_bound(feeds, result.line_feeds.end(), offset);
    const auto line = static_cast<std::uint64_t>(after - feeds) + 1;
    const std::uint64_t line_start = after == feeds ? std::min(result.byte_order_mark, offset) : *(after - 1) + 1;
    return {line, offset - line_start + 1};
}

Finding& FindingList::warn(std::uint64_t offset, Category category, std::string message) {
    return warn(offset, offset, category, std::move(message));
}

Finding& FindingList::warn(std::uint64_t begin, std::uint64_t end, Category category, std::string message) {
    findings_.push_back(Finding{begin, end, category, std::move(message), {}, {}});
    return findings_.back();
}

void FindingList::forget(Category category) {
    std::erase_if(findings_, [category](const Finding& finding) { return finding.category == category; });
}

std::vector<Finding> FindingList::take() {
    std::stable_sort(findings_.begin(), findings_.end(),
                     [](const Finding& a, const Finding& b) { return a.offset < b.offset; });
    return std::move(findings_);
}

}  // namespace morvcfg
