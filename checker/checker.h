#pragma once

#include <array>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "generator/net_config.h"
#include "translator/text_reader.h"

namespace morvcfg {

// A kind of warning, silenced with -Wno-<name>.
struct WarningCategory {
    std::string_view name;
    std::string_view covers;
};

// Every category, in the order --help lists them.
extern const std::array<WarningCategory, 15> kWarningCategories;

// Something the checker points at: a byte offset in the file as it is on disk.
struct Note {
    std::uint64_t offset = 0;
    std::string message;
};

struct Finding {
    std::uint64_t offset = 0;
    std::string_view category;
    std::string message;
    std::vector<Note> notes;
};

// Everything the checker learned from one description file.
struct CheckResult {
    bool read_failed = false;
    // Warnings in file order, each with its notes.
    std::vector<Finding> findings;
    // The record as the translator would write it (after derivation), and the network address.
    NetConfig config;
    Address network{};
    // The defines the pass-through output would hold, in order.
    std::vector<std::string> defines;
    // Offsets of the file's line feeds, to turn offsets into lines and columns.
    std::vector<std::uint64_t> line_feeds;
};

// Reads a description file exactly as the translator does (the same reader, dispatch, scanner and
// parsers) and explains what the translator will silently do with it.
CheckResult check(ByteSource& source);

// Writes the findings in the form FILE:LINE:COLUMN: warning: MESSAGE [-Wname], each followed by
// its notes, leaving out disabled categories. Returns the number of warnings written.
std::size_t write_diagnostics(std::string& out, std::string_view file, const CheckResult& result,
                              const std::set<std::string, std::less<>>& disabled);

// Writes the configuration the translator would generate, as plain text.
void write_summary(std::string& out, std::string_view file, const CheckResult& result);

}  // namespace morvcfg
