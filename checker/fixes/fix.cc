#include "checker/fixes/fix.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <optional>

#include "checker/analysis/check.h"
#include "checker/analysis/ignores.h"
#include "checker/analysis/messages.h"
#include "generator/header_writer.h"
#include "generator/source_writer.h"

namespace morvcfg {
namespace {

bool overlap(const Replacement& a, const Replacement& b) {
    // Two insertions at one place would leave their order to chance.
    return (a.begin < b.end && b.begin < a.end) || (a.begin == b.begin && (a.begin == a.end || b.begin == b.end));
}

}  // namespace

std::vector<const Fix*> fixes_to_apply(const CheckResult& result, const ReportOptions& options, bool guesses) {
    std::vector<const Fix*> candidates;
    for (const Finding& finding : result.findings) {
        if (finding.fix && !finding.fix->replacements.empty() && reported(options.verdict(finding)) &&
            (finding.fix->kind == FixKind::Certain || guesses)) {
            candidates.push_back(&*finding.fix);
        }
    }
    std::stable_sort(candidates.begin(), candidates.end(), [](const Fix* a, const Fix* b) {
        return a->replacements.front().begin < b->replacements.front().begin;
    });
    std::vector<const Fix*> taken;
    std::vector<const Replacement*> used;
    for (const Fix* fix : candidates) {
        const bool clashes = std::any_of(fix->replacements.begin(), fix->replacements.end(), [&](const Replacement& r) {
            return std::any_of(used.begin(), used.end(), [&](const Replacement* u) { return overlap(r, *u); });
        });
        if (!clashes) {
            taken.push_back(fix);
            std::transform(fix->replacements.begin(), fix->replacements.end(), std::back_inserter(used),
                           [](const Replacement& replacement) { return &replacement; });
        }
    }
    return taken;
}

std::string apply_fixes(std::string_view original, std::span<const Fix* const> fixes) {
    std::vector<const Replacement*> replacements;
    for (const Fix* fix : fixes) {
        std::transform(fix->replacements.begin(), fix->replacements.end(), std::back_inserter(replacements),
                       [](const Replacement& replacement) { return &replacement; });
    }
    std::sort(replacements.begin(), replacements.end(),
              [](const Replacement* a, const Replacement* b) { return a->begin < b->begin; });
    std::string fixed;
    fixed.reserve(original.size());
    std::size_t copied = 0;
    for (const Replacement* replacement : replacements) {
        const auto begin = static_cast<std::size_t>(std::min<std::uint64_t>(replacement->begin, original.size()));
        const auto end = static_cast<std::size_t>(std::min<std::uint64_t>(replacement->end, original.size()));
        fixed.append(original.substr(copied, begin - copied)).append(replacement->text);
        copied = std::max(begin, end);
    }
    fixed.append(original.substr(copied));
    return fixed;
}

FixedText fix_text(std::string_view original, const ReportOptions& options, bool guesses,
                   const IncludeOpener& open_include) {
    FixedText fixed{std::string(original), 0, {}, {}};
    StringSource first(fixed.bytes);
    fixed.original = check(first, open_include);
    fixed.result = fixed.original;
    for (int pass = 0; pass < kMaxFixPasses; ++pass) {
        const std::vector<const Fix*> fixes = fixes_to_apply(fixed.result, options, guesses);
        if (fixes.empty()) {
            break;
        }
        fixed.bytes = apply_fixes(fixed.bytes, fixes);
        fixed.applied += fixes.size();
        StringSource again(fixed.bytes);
        fixed.result = check(again, open_include);
    }
    return fixed;
}

FixedText add_ignores(std::string_view original, const ReportOptions& options, const IncludeOpener& open_include) {
    FixedText added{std::string(original), 0, {}, {}};
    StringSource first(added.bytes);
    added.original = check(first, open_include);
    // The kinds reported on each line, in the order their warnings come.
    std::map<std::uint64_t, std::vector<Category>> lines;
    for (const Finding& finding : added.original.findings) {
        if (!reported(options.verdict(finding))) {
            continue;
        }
        std::vector<Category>& kinds = lines[line_and_column(added.original, finding.offset).first];
        if (std::find(kinds.begin(), kinds.end(), finding.category) == kinds.end()) {
            kinds.push_back(finding.category);
        }
    }
    std::vector<Replacement> edits;
    for (auto& [line, kinds] : lines) {
        // A kind no comment excuses leaves the others to theirs.
        std::erase_if(kinds, [](Category kind) { return !excusable_on_its_line(kind); });
        if (auto edit = ignore_edit(original, added.original, line, kinds)) {
            edits.push_back(std::move(*edit));
        }
    }
    // The bytes again in one pass, each comment at its place (the edits are in file order).
    std::string bytes;
    bytes.reserve(original.size() + edits.size() * 48);
    std::size_t copied = 0;
    for (const Replacement& edit : edits) {
        const auto at = static_cast<std::size_t>(edit.begin);
        bytes.append(original, copied, at - copied).append(edit.text);
        copied = at;
    }
    added.bytes = std::move(bytes.append(original, copied));
    added.applied = edits.size();
    StringSource again(added.bytes);
    added.result = edits.empty() ? added.original : check(again, open_include);
    return added;
}

std::vector<std::string> configuration_changes(const CheckResult& before, const CheckResult& after) {
    const std::map<std::string, std::string> old_settings = generated_settings(before);
    const std::map<std::string, std::string> new_settings = generated_settings(after);
    std::map<std::string, std::pair<std::string, std::string>> changed;
    for (const auto& [name, value] : old_settings) {
        changed[name].first = value;
    }
    for (const auto& [name, value] : new_settings) {
        changed[name].second = value;
    }
    std::vector<std::string> lines;
    // In the order the summary lists them: the generated arrays and macros first, then the defines.
    const auto add = [&](const std::string& name) {
        const auto& [old_value, new_value] = changed[name];
        if (old_value != new_value) {
            lines.push_back(name + ": " + (old_value.empty() ? "(none)" : old_value) + " -> " +
                            (new_value.empty() ? "(none)" : new_value));
        }
        changed.erase(name);
    };
    for (const AddressArray& array : source_arrays(after.config, after.network)) {
        add(std::string(array.name));
    }
    for (const HeaderMacro& macro : header_macros(after.config)) {
        add(std::string(macro.name));
    }
    while (!changed.empty()) {
        add(std::string(changed.begin()->first));
    }
    return lines;
}

}  // namespace morvcfg
