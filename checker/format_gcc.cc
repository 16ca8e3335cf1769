// The GCC form of the checker's reports, and the configuration as plain text.
#include <algorithm>

#include "checker/messages.h"
#include "checker/report.h"
#include "checker/utf8.h"
#include "generator/header_writer.h"
#include "generator/source_writer.h"

namespace morvcfg {
namespace {

std::string position(const FileReport& report, std::uint64_t offset) {
    const auto [line, column] = line_and_column(report.result, offset);
    return report.name + ":" + std::to_string(line) + ":" + std::to_string(column) + ": ";
}

void write_summary(std::string& out, const FileReport& report) {
    const CheckResult& result = report.result;
    out += report.name + ": the configuration morvcfg generates\n";
    // Names are padded to 24 characters, counted as a terminal shows them: a UTF-8 character is one.
    const auto row = [&out](std::string_view name, const std::string& value) {
        std::size_t width = 0;
        for (std::string_view rest = name; !rest.empty(); ++width) {
            rest.remove_prefix(std::max<std::size_t>(utf8_length(rest), 1));
        }
        out += "  " + std::string(name) + std::string(width < 24 ? 24 - width : 1, ' ') + value + "\n";
    };
    for (const AddressArray& array : source_arrays(result.config, result.network)) {
        row(array.name, dotted(array.value));
    }
    const auto& pools = result.config.pools;
    for (std::size_t i = 0; i < pools.size(); ++i) {
        row("ETH0_RCV_" + std::string(kPoolClassNames[i]) + "_SZ", std::to_string(pools[i].receive_size()) + " (" +
                                                                       std::to_string(pools[i].block_size) + " x " +
                                                                       std::to_string(pools[i].blocks) + ")");
    }
    for (const auto& [name, value] : result.defines) {
        row(name, value);
    }
}

}  // namespace

std::size_t reported_warnings(const FileReport& report, const ReportOptions& options) {
    std::size_t count = 0;
    for (const Finding& finding : report.result.findings) {
        count += options.disabled.contains(finding.category) ? 0 : 1;
    }
    return count;
}

void write_gcc(std::string& out, const FileReport& report, const ReportOptions& options) {
    for (const Finding& finding : report.result.findings) {
        if (options.disabled.contains(finding.category)) {
            continue;
        }
        out.append(position(report, finding.offset))
            .append("warning: ")
            .append(finding.message)
            .append(" [-W")
            .append(finding.category)
            .append("]\n");
        for (const Note& note : finding.notes) {
            out.append(position(report, note.offset)).append("note: ").append(note.message).append("\n");
        }
    }
    // A file that was not read has no configuration to show.
    if (options.summary && report.error.empty()) {
        write_summary(out, report);
    }
}

}  // namespace morvcfg
