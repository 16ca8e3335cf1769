// The GitLab form: a Code Quality report, one JSON array of the warnings reported, which GitLab
// shows in a merge request's changes and widget. Excused warnings are left out, as the report
// cannot mark them; errors are "major" issues, warnings "minor".
//
// A warning's fingerprint is what GitLab compares between the report of a merge request and that
// of its target branch, to tell new warnings from old ones. It is made of what stays when lines
// are added or removed elsewhere in the file: the file's name, the category, the text of the line
// the warning is on, and how many warnings of that category on a line of that same text come
// before it in the file, so that two equal lines still give two fingerprints.
#include <cstdint>
#include <map>
#include <numeric>
#include <string>
#include <tuple>

#include "checker/forms/json_writer.h"
#include "checker/forms/report.h"

namespace morvcfg {
namespace {

// FNV-1a, 64 bits, from `basis`: two of them make a fingerprint of 128 bits.
std::uint64_t fnv1a(std::string_view bytes, std::uint64_t basis) {
    return std::accumulate(bytes.begin(), bytes.end(), basis, [](std::uint64_t hash, char c) {
        return (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3ULL;
    });
}

std::string hexadecimal(std::uint64_t value) {
    constexpr char kHex[] = "0123456789abcdef";
    std::string out(16, '0');
    for (std::size_t i = 16; i-- > 0; value >>= 4U) {
        out[i] = kHex[value & 0xfU];
    }
    return out;
}

// The fields of a fingerprint, each with its length before it, so that no two lists of fields
// give the same bytes.
std::string fingerprint(std::initializer_list<std::string_view> fields) {
    std::string bytes;
    for (const std::string_view field : fields) {
        bytes.append(std::to_string(field.size())).append(":").append(field);
    }
    return hexadecimal(fnv1a(bytes, 0xcbf29ce484222325ULL)) + hexadecimal(fnv1a(bytes, 0x84222325cbf29ce4ULL));
}

}  // namespace

void write_gitlab(std::string& out, std::span<const FileReport> reports, const ReportOptions& options) {
    JsonWriter json(out);
    json.begin_array();
    for (const FileReport& report : reports) {
        const ReportOptions& in_force = options_in_force(report, options);
        // Warnings so far of each category on a line of each text.
        std::map<std::pair<Category, std::string_view>, std::uint64_t> seen;
        for (const Finding& finding : report.result.findings) {
            const Verdict verdict = in_force.verdict(finding);
            if (!reported(verdict)) {
                continue;
            }
            const std::uint64_t line = character_place(report, finding.offset).first;
            const auto text = report.source_lines.find(line);
            const std::string_view line_text = text != report.source_lines.end() ? text->second : std::string_view();
            const std::uint64_t before = seen[{finding.category, line_text}]++;
            json.begin_object();
            json.field("description", finding.message);
            json.field("check_name", name_of(finding.category));
            json.field("fingerprint",
                       fingerprint({report.name, name_of(finding.category), line_text, std::to_string(before)}));
            json.field("severity", verdict == Verdict::Error ? "major" : "minor");
            json.key("location");
            json.begin_object();
            json.field("path", report.name);
            json.key("lines");
            json.begin_object();
            json.field("begin", static_cast<std::int64_t>(line));
            json.end_object();
            json.end_object();
            json.end_object();
        }
    }
    json.end_array();
}

}  // namespace morvcfg
