#pragma once

// note [output forms]: the checker's reports are written in one of several forms, each a writer of
// the same reports behind this one interface, chosen by name from one table (output_forms()). A
// new form is a file of its own that defines its writer and a row in that table: the command line,
// --help and the run ask the table, and nothing else changes.
#include <span>
#include <string>
#include <string_view>

#include "checker/forms/report.h"

namespace morvcfg {

struct OutputForm {
    // What a report needs read again from its file, beyond its warnings.
    enum class Places {
        None,
        SourceLines,       // the lines warnings point into, shown under them (unless -fno-...-caret)
        CodePointColumns,  // columns counted in characters
        LineTexts,         // the lines warnings point into, whatever the options (fingerprints)
    };

    std::string_view name;  // --format=NAME
    std::string_view help;  // what --help says of it
    Places places;
    // True for a form that writes each file's report as soon as it is checked; false for one that
    // writes one document for the whole run, after the last file.
    bool per_file;
    // Writes the reports (one at a time for a per-file form) under the run's options.
    void (*write)(std::string& out, std::span<const FileReport> reports, const ReportOptions& options);
    // For a form whose service shows only some of its warnings: the environment variable that may
    // name a file the service shows as a page, and the writer of what is appended to that file
    // after the last report (every warning, so that none is lost); empty and null for the others.
    std::string_view summary_variable{};
    void (*write_summary)(std::string& out, std::span<const FileReport> reports,
                          const ReportOptions& options) = nullptr;
    // The writer of a comparison of two files (--compare), for the forms that have one; null for
    // the others.
    void (*write_comparison)(std::string& out, const Comparison& comparison, const ComparedFiles& files) = nullptr;
};

// Every form, the default first, in the order --help lists them.
std::span<const OutputForm> output_forms();
// The form of a name; null for a name that is none.
const OutputForm* output_form_named(std::string_view name);
// The names of the forms, `between` each two and `last` before the last: "gcc, json and sarif".
std::string output_form_names(std::string_view between, std::string_view last);

}  // namespace morvcfg
