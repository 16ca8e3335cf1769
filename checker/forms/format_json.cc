// The JSON form of the checker's reports: one document for the whole run.
#include "checker/analysis/messages.h"
#include "checker/analysis/settings.h"
#include "checker/forms/json_writer.h"
#include "checker/forms/report.h"
#include "generator/header_writer.h"
#include "generator/source_writer.h"

namespace morvcfg {
namespace {

void write_place(JsonWriter& json, const CheckResult& result, std::uint64_t offset) {
    const auto [line, column] = line_and_column(result, offset);
    json.field("line", static_cast<std::int64_t>(line));
    json.field("column", static_cast<std::int64_t>(column));
}

// A fix: whether it is certain, and its replacements with both ends as places and byte offsets.
void write_fix(JsonWriter& json, const CheckResult& result, const Fix& fix) {
    json.begin_object();
    json.key("certain");
    json.boolean(fix.kind == FixKind::Certain);
    json.field("title", fix.title);
    json.key("replacements");
    json.begin_array();
    for (const Replacement& replacement : fix.replacements) {
        json.begin_object();
        for (const auto& [key, offset] : {std::pair{"start", replacement.begin}, std::pair{"end", replacement.end}}) {
            json.key(key);
            json.begin_object();
            write_place(json, result, offset);
            json.field("offset", static_cast<std::int64_t>(offset));
            json.end_object();
        }
        json.field("text", replacement.text);
        json.end_object();
    }
    json.end_array();
    json.end_object();
}

void write_warnings(JsonWriter& json, const FileReport& report, const ReportOptions& run) {
    const ReportOptions& options = options_in_force(report, run);
    json.key("warnings");
    json.begin_array();
    for (const Finding& finding : report.result.findings) {
        const Verdict verdict = options.verdict(finding);
        if (verdict == Verdict::Disabled) {
            continue;
        }
        json.begin_object();
        json.field("category", name_of(finding.category));
        json.field("level", verdict == Verdict::Error ? "error" : "warning");
        if (excused(verdict)) {
            // Excused: by a comment on its line, or by the project file; not counted.
            json.field("ignored", verdict == Verdict::ExcusedInSource ? "in-source" : "project-file");
        }
        write_place(json, report.result, finding.offset);
        json.field("message", finding.message);
        json.key("notes");
        json.begin_array();
        for (const Note& note : finding.notes) {
            json.begin_object();
            if (note.file.empty()) {
                write_place(json, report.result, note.offset);
            } else {
                json.field("file", note.file);
                json.field("line", static_cast<std::int64_t>(note.line));
                json.field("column", static_cast<std::int64_t>(note.column));
            }
            json.field("message", note.message);
            json.end_object();
        }
        json.end_array();
        json.key("fixes");
        json.begin_array();
        if (finding.fix) {
            write_fix(json, report.result, *finding.fix);
        }
        json.end_array();
        json.end_object();
    }
    json.end_array();
}

// Where a value comes from: {"kind", "text", "line", "subnet_line"}, each line left out where it
// is a default (the language server's morvcfg/configuration gives the same).
void write_origin(JsonWriter& json, const ValueOrigin& origin, const CheckResult& result) {
    json.begin_object();
    json.field("kind", std::string(origin_kind_name(origin.kind)));
    json.field("text", origin_text(origin, result));
    if (origin.at) {
        json.field("line", static_cast<std::int64_t>(origin_line(origin.at, result)));
    }
    if (origin.subnet_at) {
        json.field("subnet_line", static_cast<std::int64_t>(origin_line(origin.subnet_at, result)));
    }
    json.end_object();
}

void write_configuration(JsonWriter& json, const CheckResult& result) {
    const std::vector<GeneratedSetting> settings = configuration_of(result);
    const auto arrays = source_arrays(result.config, result.network);
    const auto macros = header_macros(result.config);
    json.key("configuration");
    json.begin_object();
    json.key("addresses");
    json.begin_object();
    for (const AddressArray& array : arrays) {
        json.field(array.name, dotted(array.value));
    }
    json.end_object();
    json.key("macros");
    json.begin_object();
    for (const HeaderMacro& macro : macros) {
        json.field(macro.name, std::int64_t{macro.value});
    }
    json.end_object();
    // The origin of each address and macro, by name; a define's is beside it.
    json.key("origins");
    json.begin_object();
    for (std::size_t i = 0; i < arrays.size() + macros.size() && i < settings.size(); ++i) {
        json.key(settings[i].name);
        write_origin(json, settings[i].origin, result);
    }
    json.end_object();
    json.key("defines");
    json.begin_array();
    for (std::size_t i = arrays.size() + macros.size(); i < settings.size(); ++i) {
        json.begin_object();
        json.field("name", settings[i].name);
        json.field("value", settings[i].value);
        json.key("origin");
        write_origin(json, settings[i].origin, result);
        json.end_object();
    }
    json.end_array();
    json.end_object();
}

}  // namespace

void write_json(std::string& out, std::span<const FileReport> reports, const ReportOptions& options) {
    JsonWriter json(out);
    json.begin_object();
    json.key("tool");
    json.begin_object();
    json.field("name", "morvcfg-check");
    json.field("version", checker_version());
    json.end_object();
    json.key("files");
    json.begin_array();
    for (const FileReport& report : reports) {
        json.begin_object();
        json.field("file", report.name);
        if (!report.error.empty()) {
            json.field("error", report.error);
        } else {
            write_warnings(json, report, options);
            write_configuration(json, report.result);
        }
        json.end_object();
    }
    json.end_array();
    json.end_object();
}

}  // namespace morvcfg
