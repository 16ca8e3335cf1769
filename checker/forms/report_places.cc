// Where in a file the places a report points at stand, read again from the file: their columns in
// characters (for SARIF) and the lines they are on (for the GCC form's excerpts).
#include <algorithm>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "checker/analysis/utf8.h"
#include "checker/forms/report.h"

namespace morvcfg {

namespace {

// Every place a report of the result points at, in file order, each once.
std::vector<std::uint64_t> places_of(const CheckResult& result) {
    std::vector<std::uint64_t> offsets;
    for (const Finding& finding : result.findings) {
        offsets.push_back(finding.offset);
        offsets.push_back(finding.end);
        std::transform(finding.notes.begin(), finding.notes.end(), std::back_inserter(offsets),
                       [](const Note& note) { return note.offset; });
        if (finding.fix) {
            for (const Replacement& replacement : finding.fix->replacements) {
                offsets.push_back(replacement.begin);
                offsets.push_back(replacement.end);
            }
        }
    }
    std::sort(offsets.begin(), offsets.end());
    offsets.erase(std::unique(offsets.begin(), offsets.end()), offsets.end());
    return offsets;
}

}  // namespace

std::pair<std::uint64_t, std::uint64_t> character_place(const FileReport& report, std::uint64_t offset) {
    const auto [line, byte_column] = line_and_column(report.result, offset);
    const auto found = report.code_point_columns.find(offset);
    return {line, found != report.code_point_columns.end() ? found->second : byte_column};
}

std::map<std::uint64_t, std::uint64_t> code_point_columns(ByteSource& file, const CheckResult& result) {
    const std::vector<std::uint64_t> offsets = places_of(result);

    // One pass over the file, counting the characters of each line up to each wanted offset. A
    // character cut by the end of a read waits in `carry` for the rest of its bytes.
    std::map<std::uint64_t, std::uint64_t> columns;
    auto wanted = offsets.begin();
    std::uint64_t offset = 0;      // of the first byte in `bytes`
    std::uint64_t characters = 0;  // since the line began
    std::string bytes;
    char buffer[4096];
    bool at_end = false;
    while (wanted != offsets.end() && !at_end) {
        const std::ptrdiff_t count = file.read(buffer, sizeof buffer);
        at_end = count <= 0;
        bytes.append(buffer, count > 0 ? static_cast<std::size_t>(count) : 0);
        std::size_t i = 0;
        while (i < bytes.size() && wanted != offsets.end()) {
            if (offset + i == *wanted) {
                columns.emplace(*wanted++, characters + 1);
                continue;
            }
            std::size_t length = utf8_length(std::string_view(bytes).substr(i));
            if (length == 0 && !at_end && bytes.size() - i < 4 && static_cast<unsigned char>(bytes[i]) >= 0xC2) {
                break;  // perhaps the start of a character whose rest has not been read
            }
            length = std::max<std::size_t>(length, 1);
            // A wanted offset inside a character points at that character.
            while (wanted != offsets.end() && *wanted < offset + i + length) {
                columns.emplace(*wanted++, characters + 1);
            }
            // The byte-order mark takes no column.
            const bool mark = offset + i == 0 && result.byte_order_mark != 0;
            characters = bytes[i] == '\n' ? 0 : characters + (mark ? 0 : 1);
            i += length;
        }
        bytes.erase(0, i);
        offset += i;
    }
    // Places at the very end of the file, after its last character.
    for (; wanted != offsets.end() && at_end && bytes.empty(); ++wanted) {
        columns.emplace(*wanted, characters + 1 + (*wanted - offset));
    }
    return columns;
}

std::map<std::uint64_t, std::string> source_lines(ByteSource& file, const CheckResult& result) {
    std::map<std::uint64_t, std::string> lines;
    for (const Finding& finding : result.findings) {
        lines.emplace(line_and_column(result, finding.offset).first, "");
        for (const Note& note : finding.notes) {
            if (note.file.empty()) {
                lines.emplace(line_and_column(result, note.offset).first, "");
            }
        }
    }
    auto wanted = lines.begin();
    std::uint64_t line = 1;
    std::uint64_t offset = 0;
    char buffer[4096];
    for (std::ptrdiff_t count = 0; wanted != lines.end() && (count = file.read(buffer, sizeof buffer)) > 0;) {
        for (std::size_t i = 0; i < static_cast<std::size_t>(count) && wanted != lines.end(); ++i, ++offset) {
            if (buffer[i] == '\n') {
                wanted = line == wanted->first ? std::next(wanted) : wanted;
                ++line;
            } else if (line == wanted->first && offset >= result.byte_order_mark &&
                       wanted->second.size() < kMaxShownLine) {
                wanted->second += buffer[i];
            }
        }
    }
    return lines;
}

}  // namespace morvcfg
