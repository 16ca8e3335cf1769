#include "checker/fix.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <optional>

#include "checker/check.h"
#include "checker/messages.h"
#include "generator/header_writer.h"
#include "generator/source_writer.h"

namespace morvcfg {
namespace {

bool overlap(const Replacement& a, const Replacement& b) {
    // Two insertions at one place would leave their order to chance.
    return (a.begin < b.end && b.begin < a.end) || (a.begin == b.begin && (a.begin == a.end || b.begin == b.end));
}

// The lines of a text, each with its line feed.
std::vector<std::string_view> lines_of(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size() - 1) + 1;
        lines.push_back(text.substr(0, end));
        text.remove_prefix(end);
    }
    return lines;
}

// One line of a diff: its mark, the line, and the note patch wants after a last line without a line
// feed.
void diff_line(std::string& out, char mark, std::string_view line) {
    out += mark;
    out.append(line);
    if (!line.ends_with('\n')) {
        out += "\n\\ No newline at end of file\n";
    }
}

// Where the lines of `after` that each line of `before` became start, and after the last where
// they end: one line each, unless a fix broke one, which then runs on to where the next line is
// found again (the last line takes what is left).
std::vector<std::size_t> lines_made(std::span<const std::string_view> before, std::span<const std::string_view> after) {
    std::vector<std::size_t> made(before.size() + 1, after.size());
    for (std::size_t i = 0, j = 0; i < before.size(); ++i) {
        made[i] = j;
        std::size_t take = i + 1 == before.size() ? after.size() - j : 1;
        const std::size_t spare = (after.size() - j) - (before.size() - i);
        for (std::size_t extra = 0; i + 1 < before.size() && before[i] != after[j] && extra <= spare; ++extra) {
            if (after[j + 1 + extra] == before[i + 1]) {
                take = 1 + extra;
                break;
            }
        }
        j += take;
    }
    return made;
}

bool line_changed(std::span<const std::string_view> before, std::span<const std::string_view> after,
                  std::span<const std::size_t> made, std::size_t line) {
    return made[line + 1] - made[line] != 1 || before[line] != after[made[line]];
}

// The lines of a hunk, from line `first` of `before` to `end`: each run of changed lines as diff
// writes it, the old lines and then the new ones.
void write_hunk(std::string& out, std::span<const std::string_view> before, std::span<const std::string_view> after,
                std::span<const std::size_t> made, std::size_t first, std::size_t end) {
    for (std::size_t i = first; i < end;) {
        if (!line_changed(before, after, made, i)) {
            diff_line(out, ' ', before[i++]);
            continue;
        }
        std::size_t run_end = i;
        while (run_end < end && line_changed(before, after, made, run_end)) {
            ++run_end;
        }
        for (std::size_t k = i; k < run_end; ++k) {
            diff_line(out, '-', before[k]);
        }
        for (std::size_t k = made[i]; k < made[run_end]; ++k) {
            diff_line(out, '+', after[k]);
        }
        i = run_end;
    }
}

std::string hunk_range(std::size_t start, std::size_t count) {
    return std::to_string(start + 1) + (count == 1 ? "" : "," + std::to_string(count));
}

}  // namespace

std::vector<const Fix*> fixes_to_apply(const CheckResult& result, const ReportOptions& options, bool guesses) {
    std::vector<const Fix*> candidates;
    for (const Finding& finding : result.findings) {
        if (finding.fix && !finding.fix->replacements.empty() && !options.disabled.contains(finding.category) &&
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

std::string unified_diff(std::string_view name, std::string_view before, std::string_view after) {
    const std::vector<std::string_view> old_lines = lines_of(before);
    const std::vector<std::string_view> new_lines = lines_of(after);
    if (old_lines.empty() || new_lines.size() < old_lines.size()) {
        return "";  // nothing was fixed, or not by fixes
    }
    const std::vector<std::size_t> made = lines_made(old_lines, new_lines);
    const auto changed = [&](std::size_t i) { return line_changed(old_lines, new_lines, made, i); };
    constexpr std::size_t kContext = 3;
    const std::size_t count = old_lines.size();
    std::string out;
    std::size_t line = 0;
    while (line < count) {
        if (!changed(line)) {
            ++line;
            continue;
        }
        // A hunk: from three lines before the first change to three after the last change that is
        // within six lines of the one before it.
        const std::size_t first = line > kContext ? line - kContext : 0;
        std::size_t last_change = line;
        for (std::size_t next = line + 1; next < count && next <= last_change + 2 * kContext; ++next) {
            if (changed(next)) {
                last_change = next;
            }
        }
        const std::size_t end = std::min(count, last_change + kContext + 1);
        if (out.empty()) {
            out.append("--- ").append(name).append("\n+++ ").append(name).append("\n");
        }
        out +=
            "@@ -" + hunk_range(first, end - first) + " +" + hunk_range(made[first], made[end] - made[first]) + " @@\n";
        write_hunk(out, old_lines, new_lines, made, first, end);
        line = end;
    }
    return out;
}

bool read_whole_file(Environment& environment, const std::string& path, std::string& bytes, std::string& why) {
    const std::unique_ptr<ByteSource> source = environment.open(path, why);
    if (!source) {
        return false;
    }
    bytes.clear();
    char buffer[65536];
    std::ptrdiff_t count = 0;
    while ((count = source->read(buffer, sizeof buffer)) > 0) {
        bytes.append(buffer, static_cast<std::size_t>(count));
    }
    if (count < 0) {
        why = "the file could not be read";
        return false;
    }
    if (!source->close()) {
        why = "the file could not be closed";
        return false;
    }
    return true;
}

bool rewrite_in_place(Environment& environment, const std::string& path, std::string_view original,
                      std::string_view fixed, std::string& why) {
    const std::string target = environment.link_target(path);
    if (!environment.replaceable(target, why)) {
        return false;
    }
    std::string created;
    const std::unique_ptr<ByteSink> sink = environment.create_beside(target, created, why);
    if (!sink) {
        why = "cannot create a file beside it: " + why;
        return false;
    }
    // Whatever fails from here on, the new file goes and the original stays.
    const auto give_up = [&](std::string reason) {
        (void)sink->close();
        (void)environment.remove(created);
        why = std::move(reason);
        return false;
    };
    if (!environment.copy_attributes(target, created, why)) {
        return give_up("cannot give the fixed file the permission bits of the original: " + why);
    }
    if (!sink->write(fixed)) {
        return give_up("cannot write the fixed file");
    }
    if (!sink->sync()) {
        return give_up("cannot flush the fixed file to disk");
    }
    if (!sink->close()) {
        return give_up("cannot close the fixed file");
    }
    std::string now;
    std::string read_why;
    if (!read_whole_file(environment, target, now, read_why) || now != original) {
        (void)environment.remove(created);
        why = "the file changed since it was read; run again";
        return false;
    }
    if (environment.link_count(target) > 1) {
        // A file with other names is rewritten where it is, so that it stays one file under all of
        // them; until that is done, the complete new text waits beside it.
        if (!environment.overwrite(target, fixed, why)) {
            why = "cannot rewrite the file, which has other names, in place: " + why;
            std::string restore_why;
            if (environment.overwrite(target, original, restore_why)) {
                (void)environment.remove(created);
            } else {
                why += "; it may be cut short, and its fixed text is in " + created;
            }
            return false;
        }
        (void)environment.remove(created);
        return true;
    }
    if (!environment.move_over(created, target, why)) {
        (void)environment.remove(created);
        why = "cannot replace the file: " + why;
        return false;
    }
    return true;
}

}  // namespace morvcfg
