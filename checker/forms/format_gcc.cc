// The GCC form of the checker's reports, and the configuration as plain text.
#include <algorithm>
#include <vector>

#include "checker/analysis/messages.h"
#include "checker/analysis/settings.h"
#include "checker/analysis/source_display.h"
#include "checker/analysis/utf8.h"
#include "checker/forms/report.h"
#include "generator/header_writer.h"
#include "generator/source_writer.h"

namespace morvcfg {
namespace {

// GCC's colours: the place in bold, "warning:" and its caret in bold magenta, "note:" and its caret
// in bold cyan, text a fix inserts in green and what it deletes in red.
constexpr std::string_view kBold = "\033[01m\033[K";
constexpr std::string_view kWarningColour = "\033[01;35m\033[K";
constexpr std::string_view kErrorColour = "\033[01;31m\033[K";
constexpr std::string_view kNoteColour = "\033[01;36m\033[K";
constexpr std::string_view kInsertColour = "\033[32m\033[K";
constexpr std::string_view kDeleteColour = "\033[31m\033[K";
constexpr std::string_view kReset = "\033[m\033[K";

// Writes text in a colour, when the output is coloured.
struct Painter {
    bool on;
    void operator()(std::string& out, std::string_view colour, std::string_view text) const {
        if (on && !text.empty()) {
            out.append(colour).append(text).append(kReset);
        } else {
            out.append(text);
        }
    }
};

// The offset in the file where a line (from 1) starts.
std::uint64_t line_start(const CheckResult& result, std::uint64_t line) {
    return line == 1 ? result.byte_order_mark : result.line_feeds[static_cast<std::size_t>(line - 2)] + 1;
}

// A source line, a caret under its bytes [first, last) with `~` under the rest of them, and under
// them what the fix writes there (its offsets counted from `start`, where the line starts), laid
// out as GCC lays them out.
void write_line_excerpt(std::string& out, std::uint64_t line, std::string_view bytes, std::size_t first,
                        std::size_t last, const Fix* fix, std::uint64_t start, std::string_view colour,
                        const Painter& paint) {
    const ShownLine display(bytes);
    const std::string number = std::to_string(line);
    const std::string margin = " " + std::string(number.size() < 4 ? 4 - number.size() : 0, ' ');
    out.append(margin).append(number).append(" | ");
    const std::string& text = display.text();
    const std::size_t mark_from = display.text_offset(first);
    const std::size_t mark_to = std::max(mark_from, display.text_offset(last));
    out.append(text, 0, mark_from);
    paint(out, colour, std::string_view(text).substr(mark_from, mark_to - mark_from));
    out.append(text, mark_to).append("\n");

    const std::string gutter = margin + std::string(number.size(), ' ') + " | ";
    const std::size_t caret = display.start_column(first);
    const std::size_t range_end = std::max(caret + 1, display.start_column(last));
    out.append(gutter).append(caret, ' ');
    paint(out, colour, "^" + std::string(range_end - caret - 1, '~'));
    out.append("\n");

    if (fix == nullptr) {
        return;
    }
    // Each replacement under the bytes it replaces: its new text, or '-' under what it deletes. A
    // replacement that breaks the line shows the lines it makes below, each as it will read.
    std::string fix_line;
    std::vector<std::string> new_lines;
    std::size_t shown_to = 0;  // the columns fix_line fills
    const std::vector<Replacement>& replacements = fix->replacements;
    for (std::size_t i = 0; i < replacements.size(); ++i) {
        const Replacement& replacement = replacements[i];
        const std::size_t from = display.start_column(static_cast<std::size_t>(replacement.begin - start));
        const std::size_t to = display.start_column(static_cast<std::size_t>(replacement.end - start));
        if (from < shown_to) {
            continue;  // a longer new text before it took these columns
        }
        fix_line.append(from - shown_to, ' ');
        const std::string_view inserted = replacement.text;
        const std::size_t line_end = inserted.find_first_of("\r\n");
        if (inserted.empty()) {
            paint(fix_line, kDeleteColour, std::string(to - from, '-'));
            shown_to = to;
        } else if (line_end == std::string_view::npos) {
            paint(fix_line, kInsertColour, replacement.text);
            shown_to = from + replacement.text.size();
        } else {
            paint(fix_line, kDeleteColour, std::string(std::max<std::size_t>(to - from, 1), '-'));
            shown_to = std::max(to, from + 1);
            const std::size_t next = inserted.find('\n') + 1;
            // The new line runs to the next replacement, or to the end of the line.
            const std::size_t made_from = display.text_offset(static_cast<std::size_t>(replacement.end - start));
            const std::size_t made_to =
                i + 1 < replacements.size()
                    ? display.text_offset(static_cast<std::size_t>(replacements[i + 1].begin - start))
                    : display.text().size();
            new_lines.push_back(std::string(inserted.substr(next)) +
                                display.text().substr(made_from, std::max(made_from, made_to) - made_from));
        }
    }
    out.append(gutter).append(fix_line).append("\n");
    for (const std::string& made : new_lines) {
        out.append(gutter);
        paint(out, kInsertColour, made);
        out.append("\n");
    }
}

// The source line of a place in the report's file, with its caret and fix.
void write_excerpt(std::string& out, const FileReport& report, std::uint64_t begin, std::uint64_t end, const Fix* fix,
                   std::string_view colour, const Painter& paint) {
    const auto [line, column] = line_and_column(report.result, begin);
    const auto found = report.source_lines.find(line);
    if (found == report.source_lines.end() || column - 1 > found->second.size()) {
        return;  // a place past the part of the line that was kept
    }
    const std::uint64_t start = line_start(report.result, line);
    const auto first = static_cast<std::size_t>(column - 1);
    const auto last = static_cast<std::size_t>(std::max<std::uint64_t>(first + 1, end > begin ? end - start : 0));
    write_line_excerpt(out, line, found->second, first, last, fix, start, colour, paint);
}

void write_summary(std::string& out, const FileReport& report) {
    out += report.name + ": the configuration morvcfg generates\n";
    write_configuration_rows(out, report.result, "  ");
}

// GCC's machine-readable lines for a fix: one per replacement.
void write_fixits(std::string& out, const FileReport& report, const Fix& fix) {
    for (const Replacement& replacement : fix.replacements) {
        const auto [line, column] = line_and_column(report.result, replacement.begin);
        const auto [end_line, end_column] = line_and_column(report.result, replacement.end);
        out.append("fix-it:")
            .append(gcc_escaped(report.name))
            .append(":{" + std::to_string(line) + ":" + std::to_string(column) + "-" + std::to_string(end_line) + ":" +
                    std::to_string(end_column) + "}:")
            .append(gcc_escaped(replacement.text))
            .append("\n");
    }
}

// A note, in the report's file or in another (an included one), with its source line.
void write_note(std::string& out, const FileReport& report, const Note& note, const ReportOptions& options,
                const Painter& paint) {
    const bool elsewhere = !note.file.empty();
    paint(out, kBold, gcc_note_position(report, note));
    out += ' ';
    paint(out, kNoteColour, "note: ");
    out.append(note.message).append("\n");
    if (options.show_caret && elsewhere) {
        write_line_excerpt(out, note.line, note.line_text, static_cast<std::size_t>(note.column - 1),
                           static_cast<std::size_t>(note.column), nullptr, 0, kNoteColour, paint);
    } else if (options.show_caret) {
        write_excerpt(out, report, note.offset, note.offset, nullptr, kNoteColour, paint);
    }
}

}  // namespace

void write_configuration_rows(std::string& out, const CheckResult& result, std::string_view indent,
                              const std::function<std::string(std::uint64_t)>& line_name) {
    const auto origin = [&line_name, &result](const ValueOrigin& of) {
        return line_name ? origin_text(of, line_name) : origin_text(of, result);
    };
    // Names are padded to 24 characters and values to 17, counted as a terminal shows them: a
    // UTF-8 character is one. The widths are fixed, so that a value changed in one row leaves the
    // others as they were (a git diff driver's output shows that row alone).
    const auto padded = [&out](std::string_view text, std::size_t to) {
        std::size_t width = 0;
        for (std::string_view rest = text; !rest.empty(); ++width) {
            rest.remove_prefix(std::max<std::size_t>(utf8_length(rest), 1));
        }
        out.append(text).append(width < to ? to - width : 1, ' ');
    };
    const auto& pools = result.config.pools;
    for (const GeneratedSetting& setting : configuration_of(result)) {
        if (setting.name.starts_with("ETH0_") && !setting.name.starts_with("ETH0_RCV_")) {
            continue;  // a pool's block size and count, shown beside its receive size
        }
        std::string value = setting.value;
        for (std::size_t i = 0; i < pools.size(); ++i) {
            if (setting.name == "ETH0_RCV_" + std::string(kPoolClassNames[i]) + "_SZ") {
                value += " (" + std::to_string(pools[i].block_size) + " x " + std::to_string(pools[i].blocks) + ")";
            }
        }
        out += indent;
        padded(setting.name, 24);
        padded(value, 17);
        out += origin(setting.origin) + "\n";
    }
}

std::string gcc_position(const FileReport& report, std::uint64_t offset) {
    const auto [line, column] = line_and_column(report.result, offset);
    return report.name + ":" + std::to_string(line) + ":" + std::to_string(column) + ":";
}

std::string gcc_note_position(const FileReport& report, const Note& note) {
    return note.file.empty() ? gcc_position(report, note.offset)
                             : note.file + ":" + std::to_string(note.line) + ":" + std::to_string(note.column) + ":";
}

void write_gcc_form(std::string& out, std::span<const FileReport> reports, const ReportOptions& options) {
    for (const FileReport& report : reports) {
        write_gcc(out, report, options);
    }
}

std::size_t reported_warnings(const FileReport& report, const ReportOptions& options) {
    const ReportOptions& in_force = options_in_force(report, options);
    return static_cast<std::size_t>(
        std::count_if(report.result.findings.begin(), report.result.findings.end(),
                      [&in_force](const Finding& finding) { return reported(in_force.verdict(finding)); }));
}

void write_gcc(std::string& out, const FileReport& report, const ReportOptions& options) {
    const Painter paint{options.colour};
    const ReportOptions& in_force = options_in_force(report, options);
    for (const Finding& finding : report.result.findings) {
        const Verdict verdict = in_force.verdict(finding);
        if (verdict == Verdict::Disabled) {
            continue;
        }
        if (excused(verdict)) {
            // Left out, or with --show-ignored shown as excused, with what excuses it.
            if (options.show_ignored) {
                paint(out, kBold, gcc_position(report, finding.offset));
                out.append(" ignored: ").append(finding.message).append(" [-W");
                out.append(name_of(finding.category)).append("]\n");
                if (verdict == Verdict::ExcusedInSource) {
                    paint(out, kBold, gcc_position(report, finding.ignored_at.value_or(0)));
                    out.append(" note: excused by this comment\n");
                } else {
                    out.append(report.name).append(": note: excused by the project file\n");
                }
            }
            continue;
        }
        // As GCC: a warning made an error says so, and names the option that made it one.
        const bool error = verdict == Verdict::Error;
        const std::string_view colour = error ? kErrorColour : kWarningColour;
        paint(out, kBold, gcc_position(report, finding.offset));
        out += ' ';
        paint(out, colour, error ? "error: " : "warning: ");
        out.append(finding.message).append(" [");
        paint(out, colour, (error ? "-Werror=" : "-W") + std::string(name_of(finding.category)));
        out.append("]\n");
        const Fix* fix = finding.fix ? &*finding.fix : nullptr;
        if (options.show_caret) {
            write_excerpt(out, report, finding.offset, finding.end, fix, colour, paint);
        }
        if (options.parseable_fixits && fix != nullptr) {
            write_fixits(out, report, *fix);
        }
        for (const Note& note : finding.notes) {
            write_note(out, report, note, options, paint);
        }
    }
    // A file that was not read has no configuration to show.
    if (options.summary && report.error.empty()) {
        write_summary(out, report);
    }
}

}  // namespace morvcfg
