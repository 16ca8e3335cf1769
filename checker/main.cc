#include <algorithm>
#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "checker/check.h"
#include "checker/report.h"
#include "translator/system_environment.h"

namespace {

constexpr std::string_view kUsage =
    "usage: morvcfg-check [--format=gcc|json|sarif] [--summary] [-Wno-NAME]... FILE...\n"
    "       morvcfg-check --help | --version\n";

enum class Format { Gcc, Json, Sarif };

void print(FILE* stream, std::string_view text) {
    (void)std::fwrite(text.data(), 1, text.size(), stream);
}

std::string help() {
    std::string text(kUsage);
    text +=
        "\nExplains what morvcfg will silently do with each description file: warnings in the form\n"
        "FILE:LINE:COLUMN: warning: MESSAGE [-Wname]. Exit status 0 without warnings, 1 with\n"
        "warnings, 2 when a file cannot be read or the arguments are wrong.\n\n"
        "  --format=gcc  warnings as compilers write them (the default)\n"
        "  --format=json one JSON document: each file's warnings and configuration\n"
        "  --format=sarif  one SARIF 2.1.0 log, for code-scanning services\n"
        "  --summary     with the gcc form, also print the configuration morvcfg would generate\n"
        "  --version     print the version and stop\n"
        "  -Wno-NAME     leave out one kind of warning; the kinds are:\n";
    for (const morvcfg::WarningCategory& category : morvcfg::kWarningCategories) {
        text += "    " + std::string(category.name) + std::string(18 - category.name.size(), ' ') +
                std::string(category.covers) + "\n";
    }
    return text;
}

bool known_category(std::string_view name) {
    return std::ranges::any_of(morvcfg::kWarningCategories,
                               [name](const morvcfg::WarningCategory& category) { return category.name == name; });
}

// What the command line asks for; `status` is set when the run ends here.
struct Arguments {
    Format format = Format::Gcc;
    morvcfg::ReportOptions options;
    std::vector<std::string> files;
    std::optional<int> status;
};

Arguments parse_arguments(std::span<const std::string> args) {
    Arguments parsed;
    bool options_done = false;
    for (const std::string& word : args) {
        const std::string_view arg(word);
        if (options_done || !arg.starts_with("-") || arg == "-") {
            parsed.files.emplace_back(arg);
        } else if (arg == "--") {
            options_done = true;
        } else if (arg == "--help" || arg == "--version") {
            print(stdout, arg == "--help" ? help() : "morvcfg-check " + std::string(morvcfg::checker_version()) + "\n");
            parsed.status = 0;
            return parsed;
        } else if (arg == "--summary") {
            parsed.options.summary = true;
        } else if (arg == "--format=gcc" || arg == "--format=json" || arg == "--format=sarif") {
            parsed.format = arg == "--format=gcc" ? Format::Gcc : arg == "--format=json" ? Format::Json : Format::Sarif;
        } else if (arg.starts_with("-Wno-") && known_category(arg.substr(5))) {
            parsed.options.disabled.emplace(arg.substr(5));
        } else {
            print(stderr, "morvcfg-check: unknown option '" + std::string(arg) + "'\n" + std::string(kUsage));
            parsed.status = 2;
            return parsed;
        }
    }
    if (parsed.files.empty()) {
        print(stderr, kUsage);
        parsed.status = 2;
    }
    return parsed;
}

// Checks one file; an error is reported on standard error as well.
morvcfg::FileReport check_file(const std::string& file, Format format, morvcfg::Environment& environment) {
    morvcfg::FileReport report{file, {}, {}, {}};
    if (const auto source = environment.open(file); !source) {
        report.error = "cannot open the file";
    } else if (report.result = morvcfg::check(*source); report.result.read_failed) {
        report.error = "cannot read the file";
    }
    if (!report.error.empty()) {
        print(stderr, file + ": error: " + report.error + "\n");
    } else if (format == Format::Sarif) {
        // SARIF counts columns in characters: the file is read once more to count them.
        if (const auto again = environment.open(file)) {
            report.code_point_columns = morvcfg::code_point_columns(*again, report.result);
        }
    }
    return report;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> words = morvcfg::start_process(argc, argv);
    const Arguments arguments = parse_arguments(std::span<const std::string>(words).subspan(words.empty() ? 0 : 1));
    if (arguments.status) {
        return *arguments.status;
    }
    morvcfg::SystemEnvironment environment;
    int status = 0;
    std::vector<morvcfg::FileReport> reports;
    for (const std::string& file : arguments.files) {
        morvcfg::FileReport report = check_file(file, arguments.format, environment);
        if (!report.error.empty()) {
            status = 2;
        } else if (status == 0 && morvcfg::reported_warnings(report, arguments.options) > 0) {
            status = 1;
        }
        if (arguments.format == Format::Gcc) {
            std::string out;
            morvcfg::write_gcc(out, report, arguments.options);
            print(stdout, out);
        } else {
            reports.push_back(std::move(report));
        }
    }
    std::string out;
    if (arguments.format == Format::Json) {
        morvcfg::write_json(out, reports, arguments.options);
    } else if (arguments.format == Format::Sarif) {
        morvcfg::write_sarif(out, reports, arguments.options);
    }
    print(stdout, out);
    return status;
}
