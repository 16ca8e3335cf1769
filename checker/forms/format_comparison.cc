// The comparison of two description files (--compare) in the forms that can write one: as text,
// a line a change; as JSON; as Markdown, for a merge request's comment.
#include <string>

#include "checker/forms/json_writer.h"
#include "checker/forms/report.h"

namespace morvcfg {
namespace {

std::string shown(const std::string& value) {
    return value.empty() ? "(none)" : value;
}

std::string defines_of(const CheckResult& result) {
    std::string names;
    for (const auto& [name, value] : result.defines) {
        names.append(names.empty() ? "" : ", ").append(name);
    }
    return names.empty() ? "(none)" : names;
}

}  // namespace

void write_comparison_text(std::string& out, const Comparison& comparison, const ComparedFiles& files) {
    for (const ValueChange& change : comparison.changes) {
        out += change.name + " " + shown(change.before) + " -> " + shown(change.after) + " (" + change.cause + ")\n";
    }
    if (comparison.changes.empty() && !comparison.same_defines) {
        out += "the pass-through copy's defines: " + defines_of(*files.before_result) + " -> " +
               defines_of(*files.after_result) + "\n";
    }
}

void write_comparison_json(std::string& out, const Comparison& comparison, const ComparedFiles& files) {
    JsonWriter json(out);
    json.begin_object();
    json.field("old", files.before);
    json.field("new", files.after);
    json.key("same");
    json.boolean(comparison.same());
    json.key("same_defines");
    json.boolean(comparison.same_defines);
    json.key("changes");
    json.begin_array();
    for (const ValueChange& change : comparison.changes) {
        json.begin_object();
        json.field("name", change.name);
        json.field("before", change.before);
        json.field("after", change.after);
        json.field("file", change.line == 0 ? std::string() : change.in_new ? files.after : files.before);
        json.field("line", static_cast<std::int64_t>(change.line));
        json.field("cause", change.cause);
        json.end_object();
    }
    json.end_array();
    json.end_object();
}

void write_comparison_markdown(std::string& out, const Comparison& comparison, const ComparedFiles& files) {
    out += "#### What the firmware gets: " + markdown_cell(files.before) + " → " + markdown_cell(files.after) + "\n\n";
    if (comparison.same()) {
        out +=
            "No change: `morv_cfg.c`, `morv_cfg.h` (apart from the build stamp) and the pass-through copy's "
            "defines stay the same.\n";
        return;
    }
    if (!comparison.changes.empty()) {
        out += "| Setting | Before | After | Cause |\n| --- | --- | --- | --- |\n";
        for (const ValueChange& change : comparison.changes) {
            out += "| `" + change.name + "` | " + markdown_cell(shown(change.before)) + " | " +
                   markdown_cell(shown(change.after)) + " | " + markdown_cell(change.cause) + " |\n";
        }
    }
    if (comparison.changes.empty()) {
        out += "The pass-through copy's defines: " + markdown_cell(defines_of(*files.before_result)) + " → " +
               markdown_cell(defines_of(*files.after_result)) + "\n";
    }
}

}  // namespace morvcfg
