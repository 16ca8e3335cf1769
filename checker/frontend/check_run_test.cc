// morvcfg-check's runs in memory: the command line's files checked or fixed, standard input, the
// report and what is said beside it, and the exit status.
#include "checker/frontend/check_run.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "translator/faulty_environment.h"
#include "translator/memory_environment.h"

namespace morvcfg {
namespace {

struct Ran {
    int status = 0;
    std::string out;
    std::string err;
    std::map<std::string, std::string> files;
};

// Standard input that cannot be read.
class BrokenInput final : public ByteSource {
public:
    std::ptrdiff_t read(char* /*buffer*/, std::size_t /*size*/) override { return -1; }
    bool close() override { return true; }
};

// Runs the command line `line` (words apart by blanks) on memory files, with `input` on standard
// input, or standard input broken.
Ran run(const std::string& line, std::map<std::string, std::string> files, const std::string& input = "",
        bool input_broken = false) {
    std::vector<std::string> args;
    std::istringstream words(line);
    for (std::string word; words >> word;) {
        args.push_back(word);
    }
    const ParsedCommandLine parsed = parse_command_line(args);
    EXPECT_TRUE(parsed.command) << line << ": " << parsed.error;
    if (!parsed.command) {
        return {};
    }
    MemoryEnvironment environment;
    environment.files = std::move(files);
    StringSource standard_input(input);
    BrokenInput broken;
    StringSink out;
    StringSink err;
    ByteSource* const input_stream = input_broken ? static_cast<ByteSource*>(&broken) : &standard_input;
    const CheckerHost host{environment, *input_stream, out, err, false};
    const CommandLine::Action action = parsed.command->action;
    const int status = action == CommandLine::Action::Compare    ? compare_files(*parsed.command, host)
                       : action == CommandLine::Action::Textconv ? textconv_file(*parsed.command, host)
                                                                 : check_files(*parsed.command, host);
    return {status, out.contents(), err.contents(), environment.files};
}

const std::string kPartial =
    ":1:17: warning: '1.2.3' gives only 3 of the 4 components of LocalHost: component 4 keeps 1, so LocalHost is "
    "1.2.3.1 [-Woperand]\n";
const std::string kPartialError =
    ":1:17: error: '1.2.3' gives only 3 of the 4 components of LocalHost: component 4 keeps 1, so LocalHost is "
    "1.2.3.1 [-Werror=operand]\n";

TEST(CheckRunTest, ReportsAsTheOptionsAsk) {
    const std::map<std::string, std::string> files = {{"a.cfg", "MORV_LOCAL(1.2.3)\n  MORV_DNS(1.2.3.4)\n"}};
    const std::string indented =
        "a.cfg:2:3: warning: directive MORV_DNS is indented, so the line is ordinary text and is copied unchanged; a "
        "directive must start in the first column [-Wnot-directive]\n";
    const struct {
        std::string line;
        int status;
        std::string out;
    } cases[] = {
        {"-fno-diagnostics-show-caret a.cfg", 1, "a.cfg" + kPartial + indented},
        {"a.cfg", 1,
         "a.cfg" + kPartial + "    1 | MORV_LOCAL(1.2.3)\n      |                 ^\n" + indented +
             "    2 |   MORV_DNS(1.2.3.4)\n      |   ^~~~~~~~\n      | --\n"},
        {"-fno-diagnostics-show-caret -Wno-operand a.cfg", 1, indented},
        {"-Wno-operand -Wno-not-directive a.cfg", 0, ""},
        {"-fno-diagnostics-show-caret -Werror=operand -Wno-not-directive a.cfg", 1, "a.cfg" + kPartialError},
        {"-fno-diagnostics-show-caret -Werror -Wno-error=operand -Wno-not-directive a.cfg", 1, "a.cfg" + kPartial},
        {"-fno-diagnostics-show-caret -Wno-operand -Werror=operand -Wno-not-directive a.cfg", 1,
         "a.cfg" + kPartialError},
        {"-fno-diagnostics-show-caret -fdiagnostics-parseable-fixits -Wno-operand a.cfg", 1,
         indented + "fix-it:\"a.cfg\":{2:1-2:3}:\"\"\n"},
    };
    for (const auto& c : cases) {
        const Ran ran = run(c.line, files);
        EXPECT_EQ(ran.status, c.status) << c.line;
        EXPECT_EQ(ran.out, c.out) << c.line;
        EXPECT_EQ(ran.err, "") << c.line;
    }
    // JSON and SARIF: one document for the whole run.
    const Ran json = run("--format=json a.cfg a.cfg", files);
    EXPECT_EQ(json.status, 1);
    EXPECT_TRUE(json.out.starts_with("{\n")) << json.out;
    EXPECT_EQ(run("--format=sarif -Wno-operand -Wno-not-directive a.cfg", files).status, 0);
}

// The GitHub form appends a table of every warning to the file GITHUB_STEP_SUMMARY names, after
// what earlier steps wrote there; a summary that cannot be written fails the run.
TEST(CheckRunTest, GithubSummaryListsEveryWarning) {
    FaultyEnvironment environment;
    std::string board;
    for (int i = 0; i < 12; ++i) {
        board += "  MORV_DNS(1.2.3.4)\n";
    }
    environment.files = {{"a|b.cfg", board}, {"summary.md", "earlier\n"}, {"clean.cfg", "text\n"}};
    const auto command = parse_command_line(std::vector<std::string>{"--format=github", "a|b.cfg", "clean.cfg"});
    ASSERT_TRUE(command.command);
    std::string variable = "summary.md";
    for (const bool fails : {false, true}) {
        if (fails) {
            environment.unwritable.insert("summary.md");
        }
        StringSource input("");
        StringSink out;
        StringSink err;
        const int status = check_files(
            *command.command, {environment, input, out, err, false, [&](const char* name) {
                                   return std::string(name) == "GITHUB_STEP_SUMMARY" ? variable : std::string();
                               }});
        EXPECT_EQ(status, fails ? 2 : 1);
        if (fails) {
            EXPECT_EQ(err.contents(),
                      "morvcfg-check: error: cannot append the summary to summary.md (GITHUB_STEP_SUMMARY)\n");
            continue;
        }
        const std::string& summary = environment.files["summary.md"];
        EXPECT_TRUE(summary.starts_with("earlier\n### morvcfg-check\n\n12 warnings in 1 file:\n\n| File |")) << summary;
        EXPECT_NE(summary.find("| a\\|b.cfg | 12:3 | warning | directive MORV\\_DNS is indented,"), std::string::npos)
            << summary;
        EXPECT_EQ(std::count(summary.begin(), summary.end(), '\n'), 1 + 6 + 12 + 1) << summary;
        EXPECT_EQ(std::count(out.contents().begin(), out.contents().end(), '\n'), 12);
    }
}

TEST(CheckRunTest, StandardInputIsReadOnceAndNamedAsAsked) {
    const struct {
        std::string line;
        std::string input;
        int status;
        std::string out;
        std::string err;
    } cases[] = {
        {"-fno-diagnostics-show-caret -", "MORV_LOCAL(1.2.3)\n", 1, "<stdin>" + kPartial, ""},
        {"-fno-diagnostics-show-caret --stdin-filename boards/b.cfg -", "MORV_LOCAL(1.2.3)\n", 1,
         "boards/b.cfg" + kPartial, ""},
        // Fixed standard input goes to standard output, and the report to standard error.
        {"-fno-diagnostics-show-caret --fix --stdin-filename=b.cfg -", "  MORV_LOCAL(1.2.3)\n", 1,
         "MORV_LOCAL(1.2.3)\n",
         "b.cfg: applied 1 fix\n  the configuration morvcfg generates changes:\n    LocalHost: 127.0.0.1 -> 1.2.3.1\n"
         "b.cfg" +
             kPartial},
        {"--diff -", "  MORV_DNS(1.2.3.4)\n", 1,
         "--- <stdin>\n+++ <stdin>\n@@ -1 +1 @@\n-  MORV_DNS(1.2.3.4)\n+MORV_DNS(1.2.3.4)\n", ""},
        // Its #include lines are beside the name it is given.
        {"-fno-diagnostics-show-caret --stdin-filename boards/main.cfg -", "#include \"inc.cfg\"\n", 1,
         "boards/main.cfg:1:1: warning: '#include \"inc.cfg\"' names a file that holds directives, but morvcfg reads "
         "only this file and never follows an include: the directives in 'boards/inc.cfg' set nothing "
         "[-Wincluded-directive]\nboards/inc.cfg:1:1: note: the first directive in it, which sets nothing\n",
         ""},
        {"-fno-diagnostics-show-caret -", "#include \"inc.cfg\"\n", 0, "", ""},
    };
    for (const auto& c : cases) {
        const Ran ran = run(c.line, {{"boards/inc.cfg", "MORV_DNS(10.0.0.2);\n"}}, c.input);
        EXPECT_EQ(ran.status, c.status) << c.line;
        EXPECT_EQ(ran.out, c.out) << c.line;
        EXPECT_EQ(ran.err, c.err) << c.line;
    }
    // Standard input that cannot be read says so in one way, checked or fixed.
    for (const std::string line : {"-", "--fix -", "--diff -"}) {
        const Ran ran = run(line, {}, "", true);
        EXPECT_EQ(ran.status, 2) << line;
        EXPECT_EQ(ran.err, "<stdin>: error: cannot read standard input\n") << line;
    }
}

// Adopting on old files: --statistics counts what there is; --add-ignore excuses it in place and
// says that the configuration stays; a project file's verdicts count in both.
TEST(CheckRunTest, StatisticsAndAddIgnore) {
    const std::map<std::string, std::string> files = {
        {"a.cfg", "  MORV_DNS(192.168.0.2);\n  MORV_LOCAL(127.0.0.2);\nMORV_LOCAL(1.2.3)\n"},
        {"b.cfg", "MORV_DNS(192.168.0.2) x;\n"},
        {"/.morvcfg-check", "-Wno-operand\n"}};
    const Ran statistics = run("--statistics a.cfg b.cfg", files);
    EXPECT_EQ(statistics.status, 1);
    EXPECT_EQ(statistics.out,
              "2  not-directive  [*] a line that looks like a directive but is ordinary text\n"
              "1  ignored-text   [*] text after the operands that is ignored (a comment is not)\n"
              "[*] a certain fix exists for some of them: morvcfg-check --fix applies it\n");
    const Ran added = run("--add-ignore a.cfg b.cfg", files);
    EXPECT_EQ(added.status, 0);
    EXPECT_EQ(added.out, "");
    EXPECT_EQ(added.files.at("a.cfg"),
              "// morvcfg-check: ignore-next-line[not-directive]\n  MORV_DNS(192.168.0.2);\n"
              "// morvcfg-check: ignore-next-line[not-directive]\n  MORV_LOCAL(127.0.0.2);\nMORV_LOCAL(1.2.3)\n");
    EXPECT_EQ(added.files.at("b.cfg"), "MORV_DNS(192.168.0.2) x;  /* morvcfg-check: ignore[ignored-text] */\n");
    EXPECT_EQ(added.err,
              "a.cfg: added 2 ignore comments\n  the configuration morvcfg generates stays the same\n"
              "b.cfg: added 1 ignore comment\n  the configuration morvcfg generates stays the same\n");
    EXPECT_EQ(run("--add-ignore a.cfg b.cfg", added.files).files, added.files);
}

// --compare: what the firmware gets differently, each change with its cause; nothing, and status
// 0, for a change the firmware does not see.
TEST(CheckRunTest, ComparesWhatTheFirmwareGets) {
    const std::string base =
        "/* board */\nMORV_IFCFG(10.1.2.20, 255.255.255.0);\nMORV_DEFGW(10.1.2.1);\n"
        "MORV_DNS(10.1.2.53);\nMORV_DEV_ADR(uart0, 0x40004400);\nMORV_MPF_SMALL(128, 32);\n";
    const auto replaced = [&base](std::string_view from, std::string_view to) {
        std::string text = base;
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    const struct {
        const char* what;
        std::string after;
        int status;
        std::string out;
    } cases[] = {
        {"a changed gateway", replaced("MORV_DEFGW(10.1.2.1)", "MORV_DEFGW(10.1.2.254)"), 1,
         "GateWay 10.1.2.1 -> 10.1.2.254 (new.cfg:3)\n"},
        {"a new subnet moves the gateway and the name server",
         replaced("MORV_MPF_SMALL", "MORV_IFCFG(10.1.3.20, 255.255.255.0);\nMORV_MPF_SMALL"), 1,
         "ThisIs 10.1.2.20 -> 10.1.3.20 (new.cfg:6)\n"
         "NetWorkAddress 10.1.2.0 -> 10.1.3.0 (derived from new.cfg:6)\n"
         "GateWay 10.1.2.1 -> 10.1.3.1 (moved into the new subnet set at new.cfg:6)\n"
         "DomainNameServer 10.1.2.53 -> 10.1.3.53 (moved into the new subnet set at new.cfg:6)\n"
         "SubNetBroadCast 10.1.2.255 -> 10.1.3.255 (derived from new.cfg:6)\n"},
        {"a removed subnet moves the gateway and name server into the default one",
         replaced("MORV_IFCFG(10.1.2.20, 255.255.255.0);\n", ""), 1,
         "ThisIs 10.1.2.20 -> 192.168.0.254 (no line sets it any more: old.cfg:2 did)\n"
         "NetWorkAddress 10.1.2.0 -> 192.168.0.0 (no line sets it any more: old.cfg:2 did)\n"
         "GateWay 10.1.2.1 -> 192.168.0.1 (moved into the default subnet)\n"
         "DomainNameServer 10.1.2.53 -> 192.168.0.53 (moved into the default subnet)\n"
         "SubNetBroadCast 10.1.2.255 -> 192.168.0.255 (no line sets it any more: old.cfg:2 did)\n"},
        {"a removed define", replaced("MORV_DEV_ADR(uart0, 0x40004400);\n", ""), 1,
         "UART0_START_ADDRESS 0x40004400 -> (none) (no line sets it any more: old.cfg:5 did)\n"},
        {"a pool change", replaced("MORV_MPF_SMALL(128, 32)", "MORV_MPF_SMALL(256, 32)"), 1,
         "ETH0_SMALL_BLOCK_SIZE 128 -> 256 (new.cfg:6)\n"
         "ETH0_RCV_SMALL_SZ 4096 -> 8192 (derived from new.cfg:6)\n"},
        {"a comment", replaced("/* board */", "/* the board, revision B */"), 0, ""},
        {"lines reordered without effect",
         replaced("MORV_DEFGW(10.1.2.1);\nMORV_DNS(10.1.2.53);", "MORV_DNS(10.1.2.53);\nMORV_DEFGW(10.1.2.1);"), 0, ""},
        {"a line moved to the end, where nothing sets its value again",
         replaced("MORV_DEFGW(10.1.2.1);\n", "") + "MORV_DEFGW(10.1.2.1);\n", 0, ""},
        {"lines reordered with effect, the later one wins",
         replaced("MORV_DEFGW(10.1.2.1);\n", "MORV_DEFGW(10.1.2.1);\nMORV_DEFGW(10.1.2.9);\n") +
             "MORV_DEFGW(10.1.2.1);\n",
         0, ""},
        {"a directive moved into #if 0, which morvcfg still applies",
         replaced("MORV_DEFGW(10.1.2.1);\n", "#if 0\nMORV_DEFGW(10.1.2.1);\n#endif\n"), 0, ""},
        {"CR LF for LF",
         [&base] {
             std::string crlf;
             for (const char c : base) {
                 crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
             }
             return crlf;
         }(),
         0, ""},
        {"a byte-order mark", "\xEF\xBB\xBF" + base, 0, ""},
        {"a repeated define", base + "MORV_DEV_ADR(UART0, 0x40004400);\n", 1,
         "the pass-through copy's defines: UART0_START_ADDRESS -> UART0_START_ADDRESS, UART0_START_ADDRESS\n"},
    };
    for (const auto& c : cases) {
        const Ran ran = run("--compare old.cfg new.cfg", {{"old.cfg", base}, {"new.cfg", c.after}});
        EXPECT_EQ(ran.status, c.status) << c.what;
        EXPECT_EQ(ran.out, c.out) << c.what;
        EXPECT_EQ(ran.err, "") << c.what;
    }
    // Two lines that set the gateway, swapped: the later one wins.
    const Ran swapped =
        run("--compare old.cfg new.cfg", {{"old.cfg", "MORV_DEFGW(10.1.2.1);\nMORV_DEFGW(10.1.2.9);\n"},
                                          {"new.cfg", "MORV_DEFGW(10.1.2.9);\nMORV_DEFGW(10.1.2.1);\n"}});
    EXPECT_EQ(swapped.status, 1);
    EXPECT_EQ(swapped.out, "GateWay 192.168.0.9 -> 192.168.0.1 (new.cfg:2, moved into the default subnet)\n");
    // A name server given outside the old subnet and inside the new one is no longer moved.
    const Ran back = run("--compare old.cfg new.cfg", {{"old.cfg", "MORV_DNS(10.0.0.2);\n"},
                                                       {"new.cfg", "MORV_DNS(10.0.0.2);\nMORV_IFCFG(10.0.0.20);\n"}});
    EXPECT_NE(back.out.find("DomainNameServer 192.168.0.2 -> 10.0.0.2 (no longer moved: inside the new subnet set at "
                            "new.cfg:2)\n"),
              std::string::npos)
        << back.out;
    // Either side may be standard input; JSON and Markdown say the same.
    const Ran piped = run("--compare --format=json - new.cfg", {{"new.cfg", cases[0].after}}, base);
    EXPECT_EQ(piped.status, 1);
    EXPECT_NE(piped.out.find("\"cause\": \"new.cfg:3\""), std::string::npos) << piped.out;
    const Ran markdown = run("--compare --format=markdown old.cfg old.cfg", {{"old.cfg", base}});
    EXPECT_EQ(markdown.status, 0);
    EXPECT_NE(markdown.out.find("No change"), std::string::npos) << markdown.out;
    EXPECT_EQ(run("--compare old.cfg missing.cfg", {{"old.cfg", base}}).status, 2);
}

// For a git diff driver: the file as it is, then a row a value, each line it comes from named by
// its text (a line end left out, a long line cut, a control character shown), so that a line added
// above leaves every row as it was.
TEST(CheckRunTest, TextconvPrintsTheFileAndWhereEachValueComesFrom) {
    const std::string file = "/* b */\r\nMORV_IFCFG(10.1.2.3,255.255.0.0);\r\nMORV_DEFGW(10.9.0.1);\x01 " +
                             std::string(60, 'x') + "\nMORV_DEV_ADR(uart0,0x1)";
    const Ran ran = run("--textconv b.cfg", {{"b.cfg", file}});
    EXPECT_EQ(ran.status, 0);  // warnings or none: git takes only status 0
    // @S: the subnet's line, @G: the gateway's, cut after 72 bytes.
    std::string expected =
        "ThisIs                  10.1.2.3         @S\n"
        "SubNetMask              255.255.0.0      @S\n"
        "NetWorkAddress          10.1.0.0         derived from @S\n"
        "LocalHost               127.0.0.1        default\n"
        "GateWay                 10.1.0.1         @G, moved into the subnet set at @S\n"
        "DomainNameServer        10.1.0.1         default, moved into the subnet set at @S\n"
        "BroadCast               255.255.255.255  default\n"
        "SubNetBroadCast         10.1.255.255     derived from @S\n"
        "NTPServer               129.6.15.28      default\n"
        "SMTPServer              0.0.0.0          default\n"
        "POP3Server              0.0.0.0          default\n"
        "ETH0_RCV_VERY_SMALL_SZ  0 (0 x 0)        derived\n"
        "ETH0_RCV_SMALL_SZ       0 (0 x 0)        derived\n"
        "ETH0_RCV_MIDDLE_SZ      0 (0 x 0)        derived\n"
        "ETH0_RCV_LARGE_SZ       0 (0 x 0)        derived\n"
        "UART0_START_ADDRESS     0x00000001       \"MORV_DEV_ADR(uart0,0x1)\"\n";
    const std::map<std::string, std::string> lines = {
        {"@S", "\"MORV_IFCFG(10.1.2.3,255.255.0.0);\""},
        {"@G", "\"MORV_DEFGW(10.9.0.1);<U+0001> " + std::string(49, 'x') + "...\""}};
    for (std::size_t at = 0; (at = expected.find('@', at)) != std::string::npos;) {
        const std::string& line = lines.at(expected.substr(at, 2));
        expected.replace(at, 2, line);
        at += line.size();
    }
    EXPECT_EQ(ran.out, file + "\n==== what the firmware gets (morvcfg-check --textconv) ====\n" + expected);
    EXPECT_EQ(run("--textconv missing.cfg", {}).status, 2);
}

TEST(CheckRunTest, FixesInPlaceAndSaysWhatChanged) {
    const std::map<std::string, std::string> files = {{"a.cfg", "  MORV_DNS(10.0.0.2);\r\nrest\r\n"},
                                                      {"clean.cfg", "MORV_DNS(10.0.0.2);\n"}};
    const Ran fixed = run("--fix -fno-diagnostics-show-caret a.cfg clean.cfg", files);
    EXPECT_EQ(fixed.status, 1);  // the name server is still outside the subnet
    EXPECT_EQ(fixed.files.at("a.cfg"), "MORV_DNS(10.0.0.2);\r\nrest\r\n");
    EXPECT_EQ(fixed.files.at("clean.cfg"), files.at("clean.cfg"));
    EXPECT_EQ(fixed.files.size(), 2U);  // nothing left beside them
    EXPECT_EQ(fixed.err,
              "a.cfg: applied 1 fix\n  the configuration morvcfg generates changes:\n"
              "    DomainNameServer: 192.168.0.1 -> 192.168.0.2\n");
    // A file that is not there is an error of its own; the others are still fixed.
    const Ran missing = run("--fix missing.cfg a.cfg", files);
    EXPECT_EQ(missing.status, 2);
    EXPECT_TRUE(missing.err.starts_with("missing.cfg: error: cannot open the file: No such file or directory\n"))
        << missing.err;
    EXPECT_EQ(missing.files.at("a.cfg"), "MORV_DNS(10.0.0.2);\r\nrest\r\n");
    // No configuration for a file that was not read.
    const Ran summary = run("--summary missing.cfg", files);
    EXPECT_EQ(summary.status, 2);
    EXPECT_EQ(summary.out, "");
    EXPECT_EQ(summary.err, "missing.cfg: error: cannot open the file: No such file or directory\n");
}

// A guess that breaks a line in two: the fix shown under the line, each marker under its own text,
// and the diff, which marks only the lines that change.
TEST(CheckRunTest, ShowsAGuessThatBreaksALine) {
    const std::map<std::string, std::string> files = {
        {"a.cfg",
         "MORV_DNS(192.168.0.53); MORV_NTPCFG(10.0.0.123); MORV_LOCAL(127.0.0.2);\nline two\nline three\nline "
         "four\nline five\n"}};
    const Ran shown = run("a.cfg", files);
    EXPECT_EQ(shown.out,
              "a.cfg:1:25: warning: a second directive, 'MORV_NTPCFG(10.0.0.123); MORV_LOCAL(127.0.0.2);', is "
              "ignored: morvcfg reads one directive a line, at the start of the line [-Wignored-text]\n"
              "    1 | MORV_DNS(192.168.0.53); MORV_NTPCFG(10.0.0.123); MORV_LOCAL(127.0.0.2);\n"
              "      |                         ^~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~\n"
              "      |                        -                        -\n"
              "      | MORV_NTPCFG(10.0.0.123);\n"
              "      | MORV_LOCAL(127.0.0.2);\n");
    const Ran diff = run("--diff --unsafe-fixes a.cfg", files);
    EXPECT_EQ(diff.status, 1);
    EXPECT_EQ(diff.out,
              "--- a.cfg\n+++ a.cfg\n@@ -1,4 +1,6 @@\n"
              "-MORV_DNS(192.168.0.53); MORV_NTPCFG(10.0.0.123); MORV_LOCAL(127.0.0.2);\n"
              "+MORV_DNS(192.168.0.53);\n+MORV_NTPCFG(10.0.0.123);\n+MORV_LOCAL(127.0.0.2);\n"
              " line two\n line three\n line four\n");
    // An operand list left open still has its directives put on lines of their own.
    const Ran open =
        run("--diff --unsafe-fixes b.cfg", {{"b.cfg", "MORV_DNS(192.168.0.53 MORV_NTPCFG(10.0.0.123);\n"}});
    EXPECT_EQ(open.out,
              "--- b.cfg\n+++ b.cfg\n@@ -1 +1,2 @@\n-MORV_DNS(192.168.0.53 MORV_NTPCFG(10.0.0.123);\n"
              "+MORV_DNS(192.168.0.53\n+MORV_NTPCFG(10.0.0.123);\n");
}

}  // namespace
}  // namespace morvcfg
