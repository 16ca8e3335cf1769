#pragma once

// The project file, .morvcfg-check: the checker's options as a team decides them once, for the
// description files of its folder and the folders below. It holds the command line's own words
// (-Wno-NAME, -WNAME, -Werror, -Werror=NAME, -Wno-error=NAME), one or more a line, with # comments;
// a section [PATTERN] gives its options to the files whose path matches the pattern.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "checker/analysis/verdict.h"
#include "translator/environment.h"

namespace morvcfg {

// The name the checker looks for, in the checked file's folder and each folder above it.
inline constexpr std::string_view kProjectFileName = ".morvcfg-check";

// An option as the file writes it, and where: line and column from 1.
struct ProjectOption {
    std::string text;
    std::uint64_t line = 0;
    std::uint64_t column = 0;
};

// The options of the file's start (for every file, `pattern` empty) or of one [PATTERN] section.
struct ProjectSection {
    std::string pattern;
    std::vector<ProjectOption> options;
};

struct ProjectFile {
    std::string path;  // as found, for messages
    std::vector<ProjectSection> sections;
};

// A project file as read, or where and why it cannot be used ("unknown option '-Wfoo'", with a
// did-you-mean where one is near).
struct ParsedProjectFile {
    ProjectFile file;
    std::optional<ProjectOption> error;  // its text is the message
};

ParsedProjectFile parse_project_file(std::string_view text, std::string path);

// True when `path` ('/' between folders, relative to the project file's folder) matches `pattern`:
// `*` any characters but '/', `?` one of them, `**` any folders. A pattern without '/' matches the
// file's name in any folder, as an .editorconfig section does.
bool glob_match(std::string_view pattern, std::string_view path);

// The options for the file at `relative` (as glob_match() takes it), in the order they apply: the
// file's start, then each section that matches, in file order.
std::vector<ProjectOption> options_for(const ProjectFile& file, std::string_view relative);

// How the search for a project file reads the file system.
struct ProjectFileSearch {
    // Where relative paths start: an absolute folder.
    std::string working_folder;
    // Whether '\\' separates folders too and a drive letter starts a path, as on Windows.
    bool windows_paths = false;
    // The bytes of the file at `path`, or nothing: with `why` empty when there is no such file,
    // with the reason when one is there but cannot be read.
    std::function<std::optional<std::string>(const std::string& path, std::string& why)> read;
};

// The search for project files through `files` (note [one way to reach files]): paths start from
// its working folder, and a file that cannot be read counts as none there unless something is
// there (a project file that cannot be read is said, not passed over).
ProjectFileSearch project_file_search(Environment& files);

// The project file that applies to a description file, and its options for it in order; or why
// none can be used.
struct AppliedProjectFile {
    std::string path;  // empty when none was found
    std::vector<ProjectOption> options;
    // "PATH:LINE:COLUMN: error: MESSAGE", or "PATH: error: cannot read the project file: WHY".
    std::string error;
};

// The project file for the file at `file`: `named` when not empty (--config), else the first
// .morvcfg-check in the file's folder or a folder above it. Its sections are matched against the
// file's path relative to the project file's folder.
AppliedProjectFile project_file_for(const std::string& file, const std::string& named, const ProjectFileSearch& search);

// The options for a file that a project file gives options: the run's form (`command`), the
// project file's -W options, whose -Wno-NAME excuse the category (see ReportOptions::excused),
// then the command line's `command_words`, which win.
ReportOptions options_with_project(const ReportOptions& command, const std::vector<std::string>& command_words,
                                   const std::vector<ProjectOption>& project);

// What gives a file its options besides its project file: the run's options (the command line's,
// or an editor's settings), the command line's -W words, which come after a project file's, and
// --config FILE and --no-config.
struct OptionSources {
    ReportOptions options;
    std::vector<std::string> warning_words;
    std::string config_file;
    bool no_config = false;
};

// The options in force for a file, and the project file that gave them.
struct PathOptions {
    ReportOptions options;
    std::string project_path;  // empty when no project file applies
    // Why the project file cannot be used ("PATH:LINE:COLUMN: error: ..."); the file then has the
    // run's options, and a command line reports it instead of checking the file.
    std::string error;
};

// note [options for a path]: the one answer to which options a file is checked with, asked by the
// command line, the build step, the language server and the page alike: the project file above
// `path` (or --config's), its sections for the file, then the command line's words. Without a
// `search` (a page without files, --no-config) the file has the run's options.
PathOptions options_for_path(const std::string& path, const OptionSources& sources, const ProjectFileSearch* search);

// Applies one of the checker's -W options to `options`, as the command line does; the error in
// words when it is not one, or names no category.
std::optional<std::string> apply_warning_option(ReportOptions& options, std::string_view arg);

}  // namespace morvcfg
