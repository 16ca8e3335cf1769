// The SARIF 2.1.0 form of the checker's reports: one run, one rule per warning category, each
// warning a result, its notes related locations.
#include <algorithm>
#include <optional>

#include "checker/analysis/uri.h"
#include "checker/analysis/utf8.h"
#include "checker/forms/explanation_forms.h"
#include "checker/forms/json_writer.h"
#include "checker/forms/report.h"

namespace morvcfg {
namespace {

void write_text(JsonWriter& json, std::string_view key, std::string_view text) {
    json.key(key);
    json.begin_object();
    json.field("text", text);
    json.end_object();
}

// A physical location: the file, and the line and column there when known.
void write_physical_location(JsonWriter& json, std::string_view file,
                             std::optional<std::pair<std::uint64_t, std::uint64_t>> place) {
    json.key("physicalLocation");
    json.begin_object();
    json.key("artifactLocation");
    json.begin_object();
    json.field("uri", uri_of(file));
    json.end_object();
    if (place) {
        json.key("region");
        json.begin_object();
        json.field("startLine", static_cast<std::int64_t>(place->first));
        json.field("startColumn", static_cast<std::int64_t>(place->second));
        json.end_object();
    }
    json.end_object();
}

void write_location(JsonWriter& json, const FileReport& report, const std::uint64_t* offset) {
    write_physical_location(json, report.name,
                            offset != nullptr ? std::optional(character_place(report, *offset)) : std::nullopt);
}

// A note's place in another file: its column counted in code points of its line.
void write_note_location(JsonWriter& json, const FileReport& report, const Note& note) {
    if (note.file.empty()) {
        write_location(json, report, &note.offset);
        return;
    }
    std::uint64_t column = 1;
    for (std::string_view before =
             std::string_view(note.line_text).substr(0, static_cast<std::size_t>(note.column - 1));
         !before.empty(); ++column) {
        before.remove_prefix(std::max<std::size_t>(utf8_length(before), 1));
    }
    write_physical_location(json, note.file, std::pair{note.line, column});
}

void write_fix(JsonWriter& json, const FileReport& report, const Fix& fix) {
    json.key("fixes");
    json.begin_array();
    json.begin_object();
    write_text(json, "description",
               fix.kind == FixKind::Certain
                   ? fix.title + " (certain: morvcfg-check --fix applies it)"
                   : "Guess: " + fix.title + " (morvcfg-check --fix --unsafe-fixes applies it)");
    json.key("artifactChanges");
    json.begin_array();
    json.begin_object();
    json.key("artifactLocation");
    json.begin_object();
    json.field("uri", uri_of(report.name));
    json.end_object();
    json.key("replacements");
    json.begin_array();
    for (const Replacement& replacement : fix.replacements) {
        const auto [start_line, start_column] = character_place(report, replacement.begin);
        const auto [end_line, end_column] = character_place(report, replacement.end);
        json.begin_object();
        json.key("deletedRegion");
        json.begin_object();
        json.field("startLine", static_cast<std::int64_t>(start_line));
        json.field("startColumn", static_cast<std::int64_t>(start_column));
        json.field("endLine", static_cast<std::int64_t>(end_line));
        json.field("endColumn", static_cast<std::int64_t>(end_column));
        json.end_object();
        if (!replacement.text.empty()) {
            write_text(json, "insertedContent", replacement.text);
        }
        json.end_object();
    }
    json.end_array();
    json.end_object();
    json.end_array();
    json.end_object();
    json.end_array();
}

void write_rules(JsonWriter& json) {
    json.key("rules");
    json.begin_array();
    for (const WarningCategory& category : kWarningCategories) {
        json.begin_object();
        json.field("id", category.name);
        write_text(json, "shortDescription", category.covers);
        json.field("helpUri", "man:morvcfg-check(1)");
        // What code-scanning services show beside a result: the kind's explanation.
        json.key("help");
        json.begin_object();
        json.field("text", explanation_text(category.category));
        json.field("markdown", explanation_markdown(category.category));
        json.end_object();
        json.key("defaultConfiguration");
        json.begin_object();
        json.field("level", "warning");
        json.end_object();
        json.end_object();
    }
    json.end_array();
}

void write_result(JsonWriter& json, const FileReport& report, const Finding& finding, Verdict verdict) {
    json.begin_object();
    json.field("ruleId", name_of(finding.category));
    json.field("ruleIndex", static_cast<std::int64_t>(finding.category));
    json.field("level", verdict == Verdict::Error ? "error" : "warning");
    write_text(json, "message", finding.message);
    json.key("locations");
    json.begin_array();
    json.begin_object();
    write_location(json, report, &finding.offset);
    json.end_object();
    json.end_array();
    if (!finding.notes.empty()) {
        json.key("relatedLocations");
        json.begin_array();
        for (std::size_t i = 0; i < finding.notes.size(); ++i) {
            json.begin_object();
            json.field("id", static_cast<std::int64_t>(i));
            write_text(json, "message", finding.notes[i].message);
            write_note_location(json, report, finding.notes[i]);
            json.end_object();
        }
        json.end_array();
    }
    if (finding.fix) {
        write_fix(json, report, *finding.fix);
    }
    // An excused result: by a comment in the file (inSource) or by the project file (external).
    if (excused(verdict)) {
        json.key("suppressions");
        json.begin_array();
        json.begin_object();
        json.field("kind", verdict == Verdict::ExcusedInSource ? "inSource" : "external");
        json.end_object();
        json.end_array();
    }
    json.end_object();
}

}  // namespace

void write_sarif(std::string& out, std::span<const FileReport> reports, const ReportOptions& options) {
    JsonWriter json(out);
    json.begin_object();
    json.field("$schema", "https://docs.oasis-open.org/sarif/sarif/v2.1.0/errata01/os/schemas/sarif-schema-2.1.0.json");
    json.field("version", "2.1.0");
    json.key("runs");
    json.begin_array();
    json.begin_object();

    json.key("tool");
    json.begin_object();
    json.key("driver");
    json.begin_object();
    json.field("name", "morvcfg-check");
    json.field("version", checker_version());
    json.field("semanticVersion", checker_version());
    json.field("informationUri", "man:morvcfg-check(1)");
    write_rules(json);
    json.end_object();
    json.end_object();

    // Files that could not be read are the run's own failures, not results.
    const bool all_read =
        std::none_of(reports.begin(), reports.end(), [](const FileReport& report) { return !report.error.empty(); });
    json.key("invocations");
    json.begin_array();
    json.begin_object();
    json.key("executionSuccessful");
    json.boolean(all_read);
    if (!all_read) {
        json.key("toolExecutionNotifications");
        json.begin_array();
        for (const FileReport& report : reports) {
            if (report.error.empty()) {
                continue;
            }
            json.begin_object();
            json.field("level", "error");
            write_text(json, "message", report.error);
            json.key("locations");
            json.begin_array();
            json.begin_object();
            write_location(json, report, nullptr);
            json.end_object();
            json.end_array();
            json.end_object();
        }
        json.end_array();
    }
    json.end_object();
    json.end_array();

    json.field("columnKind", "unicodeCodePoints");
    json.key("results");
    json.begin_array();
    for (const FileReport& report : reports) {
        const ReportOptions& in_force = options_in_force(report, options);
        for (const Finding& finding : report.result.findings) {
            if (const Verdict verdict = in_force.verdict(finding); verdict != Verdict::Disabled) {
                write_result(json, report, finding, verdict);
            }
        }
    }
    json.end_array();

    json.end_object();
    json.end_array();
    json.end_object();
}

}  // namespace morvcfg
