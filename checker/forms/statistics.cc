// --statistics: how many warnings of each kind the files give, to see at a glance what adopting
// the checker on old files takes.
#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "checker/forms/report.h"

namespace morvcfg {

void write_statistics(std::string& out, std::span<const FileReport> reports, const ReportOptions& options) {
    struct Count {
        Category category = Category::Operand;
        std::size_t warnings = 0;
        bool certain = false;
        bool guess = false;
    };
    std::array<Count, kWarningCategories.size()> counts{};
    for (std::size_t i = 0; i < counts.size(); ++i) {
        counts[i].category = kWarningCategories[i].category;
    }
    for (const FileReport& report : reports) {
        const ReportOptions& in_force = options_in_force(report, options);
        for (const Finding& finding : report.result.findings) {
            if (!reported(in_force.verdict(finding))) {
                continue;
            }
            Count& count = counts[static_cast<std::size_t>(finding.category)];
            ++count.warnings;
            count.certain = count.certain || (finding.fix && finding.fix->kind == FixKind::Certain);
            count.guess = count.guess || (finding.fix && finding.fix->kind == FixKind::Guess);
        }
    }
    // The most frequent first; kinds as frequent in the order --help lists them.
    std::stable_sort(counts.begin(), counts.end(),
                     [](const Count& a, const Count& b) { return a.warnings > b.warnings; });
    std::size_t number_width = 1;
    std::size_t name_width = 0;
    for (const Count& count : counts) {
        if (count.warnings > 0) {
            number_width = std::max(number_width, std::to_string(count.warnings).size());
            name_width = std::max(name_width, name_of(count.category).size());
        }
    }
    bool any_certain = false;
    bool any_guess = false;
    for (const Count& count : counts) {
        if (count.warnings == 0) {
            break;
        }
        const std::string number = std::to_string(count.warnings);
        const std::string_view name = name_of(count.category);
        out.append(number_width - number.size(), ' ').append(number).append("  ").append(name);
        out.append(name_width - name.size(), ' ').append(count.certain ? "  [*] " : count.guess ? "  [?] " : "      ");
        out.append(category_row(count.category).covers).append("\n");
        any_certain = any_certain || count.certain;
        any_guess = any_guess || count.guess;
    }
    if (any_certain) {
        out.append("[*] a certain fix exists for some of them: morvcfg-check --fix applies it\n");
    }
    if (any_guess) {
        out.append("[?] only a guess exists for them: morvcfg-check --fix --unsafe-fixes applies it\n");
    }
}

}  // namespace morvcfg
