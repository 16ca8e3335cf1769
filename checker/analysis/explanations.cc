#include "checker/analysis/explanations.h"

#include "checker/analysis/ignores.h"

namespace morvcfg {
namespace {

using namespace std::string_view_literals;

// Every kind, in the order of the enum. Each example gives its warning and no other when checked on
// its own, without a project file.
constexpr std::array<Explanation, kWarningCategories.size()> kExplanations = {{
    {.category = Category::Operand,
     .meaning = "A directive operand that morvcfg does not read, or reads only in part: an address with fewer "
                "than four components, a word where a number belongs, a pool directive without its block "
                "count. The components or settings it leaves unread keep the values they had, so the firmware "
                "gets a value nobody wrote. The message names which operand, which components keep their "
                "values, and what the setting is afterwards.",
     .example = "/* this board's own loopback */\n"
                "MORV_LOCAL(127.0.1);\n"sv,
     .warning = "example.cfg:2:19: warning: '127.0.1' gives only 3 of the 4 components of LocalHost: component "
                "4 keeps 1, so LocalHost is 127.0.1.1 [-Woperand]\n"},
    {.category = Category::DeviceDefine,
     .meaning = "A `MORV_DEV_ADR` directive that writes no define, and why: no name (also where a comma stands "
                "for it, so that the address is taken for the name), no address, a capital `0X`, no `0x`, or "
                "no hexadecimal digits. The C that expects the define does not compile, or picks up an old one.",
     .example = "MORV_DEV_ADR(UART0, 0X40004400);\n"sv,
     .warning = "example.cfg:1:21: warning: the address '0X40004400' starts with a capital 0X; only a "
                "lower-case 0x is read: no define is written [-Wdevice-define]\n"},
    {.category = Category::DefineName,
     .meaning = "A `MORV_DEV_ADR` define whose name, once upper-cased, is not a C name, so that the C that "
                "includes the pass-through output does not compile: a character other than a letter, a digit "
                "or `_` (as in `uart-1` or `gpio.a`), a first digit (`2nd_uart`), or a character outside C's "
                "basic set, which compilers for small targets often reject.",
     .example = "MORV_DEV_ADR(uart-1, 0x40004400);\n"sv,
     .warning = "example.cfg:1:14: warning: the define 'UART-1_START_ADDRESS' is not a C name: '-' may not "
                "stand in a C name, so the C preprocessor rejects the line [-Wdefine-name]\n"},
    {.category = Category::NotDirective,
     .meaning = "A line that looks like a directive but is ordinary text: indented, not in upper case, an "
                "unknown `MORV_` word (with the nearest keyword), or a keyword called after other text on its "
                "line, such as `/* old */ MORV_LOCAL(127.0.0.2);`. morvcfg copies it to the pass-through "
                "output and sets nothing from it.\n"
                "\n"
                "A line C does not read as code draws no such warning: one inside a comment, or in a block "
                "that `#if 0` switches off, was switched off by its author, and morvcfg copies it, which "
                "agrees.",
     .example = "#define BOARD_REV 2\n"
                "  MORV_DNS(192.168.0.2);\n"sv,
     .warning = "example.cfg:2:3: warning: directive MORV_DNS is indented, so the line is ordinary text and is "
                "copied unchanged; a directive must start in the first column [-Wnot-directive]\n"},
    {.category = Category::CommentedDirective,
     .meaning = "A directive line inside a `/* ... */` comment that spans lines: morvcfg reads lines, not "
                "comments, and applies it anyway, although C and the reader see it switched off. A note points "
                "at the line that opens the comment. A directive with a comment that closes on its own line, "
                "and a `//` line, are not warned about.",
     .example = "/* the lab's gateway, for now:\n"
                "MORV_DEFGW(192.168.0.1);\n"
                "*/\n"sv,
     .warning = "example.cfg:2:1: warning: MORV_DEFGW stands inside a /* */ comment, but morvcfg reads lines, "
                "not comments: the directive is applied anyway [-Wcommented-directive]\n"
                "example.cfg:1:1: note: the comment opens here\n"},
    {.category = Category::ConditionalDirective,
     .meaning = "A directive line inside a preprocessor conditional (`#if`, `#ifdef`, `#ifndef`, `#elif`, "
                "`#else`, up to its `#endif`, nested, with blanks allowed after the `#`): morvcfg applies "
                "every branch, and the last setting wins. A block that `#if 0` (or the branch after `#if 1`) "
                "switches off is said to be skipped; any other condition is the build's to decide. Notes point "
                "at the line that opens the conditional and, in a later branch, at the line that starts it.\n"
                "\n"
                "The branch `#if 1` reads, and the block of an include guard (`#ifndef NAME` followed by "
                "`#define NAME`), are read by C as well and draw no warning, when the guard wraps the whole "
                "file: its `#ifndef` comes before any other text but comments and blank lines, and its "
                "`#endif` after all of it. Any other `#ifndef NAME` block is a condition the build decides.",
     .example = "#ifdef BOARD_REV_B\n"
                "MORV_DEFGW(192.168.0.1);\n"
                "#endif\n"sv,
     .warning = "example.cfg:2:1: warning: MORV_DEFGW stands in the conditional block '#ifdef BOARD_REV_B', "
                "but morvcfg reads every line whatever the condition: the directive is applied anyway "
                "[-Wconditional-directive]\n"
                "example.cfg:1:1: note: the conditional opens here\n"},
    {.category = Category::SplitComment,
     .meaning = "A directive line that opens a `/* */` comment it does not close (with a note where it "
                "closes), or that closes a comment opened before it: morvcfg takes the whole line out, so the "
                "pass-through output keeps the comment's other end alone, and the C that includes it no longer "
                "compiles or loses lines to the comment.",
     .example = "MORV_DNS(192.168.0.2); /* the lab's\n"
                "   name server */\n"sv,
     .warning = "example.cfg:1:24: warning: this directive line opens a comment that closes on line 2: morvcfg "
                "takes the line out, opening and all, so the pass-through output keeps the comment's end "
                "without its start [-Wsplit-comment]\n"
                "example.cfg:2:16: note: the comment closes here; in the pass-through output this */ closes "
                "nothing\n"},
    {.category = Category::ContinuedComment,
     .meaning = "A `//` comment that ends in a backslash, which makes C read the next line as part of the "
                "comment, when that line holds a directive (which morvcfg applies anyway) or a word that would "
                "be one. When the comment's own line is no directive, the pass-through output, which leaves "
                "the directive's line out, has the comment take in the line after it instead.",
     .example = "// lab gateway: see net\\\n"
                "MORV_DEFGW(192.168.0.1);\n"sv,
     .warning = "example.cfg:1:1: warning: this // comment ends in a backslash, which continues it onto line "
                "2: C reads MORV_DEFGW there as part of the comment, but morvcfg applies the directive anyway, "
                "and in the pass-through output, which leaves that line out, the comment takes in the line "
                "after it [-Wcontinued-comment]\n"
                "example.cfg:2:1: note: line 2 starts here\n"},
    {.category = Category::IncludedDirective,
     .meaning = "An `#include \"file\"` of a file that holds directive lines: morvcfg reads one file and never "
                "follows an include, so those directives set nothing. The file is looked for where the C "
                "preprocessor looks first, beside the description file; a note points at its first directive.",
     .example = "#include \"net.cfg\"\n"sv,
     .warning = "example.cfg:1:1: warning: '#include \"net.cfg\"' names a file that holds directives, but "
                "morvcfg reads only this file and never follows an include: the directives in 'net.cfg' set "
                "nothing [-Wincluded-directive]\n"
                "net.cfg:1:1: note: the first directive in it, which sets nothing\n",
     .included = "MORV_DNS(192.168.0.2);\n"sv},
    {.category = Category::KeywordSuffix,
     .meaning = "A keyword followed by more characters that is still taken as that directive, such as "
                "`MORV_DNSSERVER`, which is `MORV_DNS`: morvcfg compares only the keyword's own letters. The "
                "line sets what the shorter keyword sets, whatever the longer word was meant to say.",
     .example = "MORV_DNSSERVER(192.168.0.2);\n"sv,
     .warning = "example.cfg:1:9: warning: 'MORV_DNSSERVER' is taken as MORV_DNS; the rest of the word, "
                "'SERVER', is ignored [-Wkeyword-suffix]\n"},
    {.category = Category::IgnoredText,
     .meaning = "Text after the operands, or after the fourth component of an address, that morvcfg ignores: a "
                "second address, a word, a prefix length such as `/16`, a second directive on the same line. A "
                "comment is not ignored text.",
     .example = "MORV_DNS(192.168.0.2) primary;\n"sv,
     .warning = "example.cfg:1:23: warning: 'primary' is ignored: MORV_DNS takes one address [-Wignored-text]\n"},
    {.category = Category::Range,
     .meaning = "Address components above 255, negative or beyond 32 bits, pool numbers beyond 32 bits, and "
                "device addresses beyond 32 bits. morvcfg stores what it reads in 32 bits and writes it as it "
                "stands, so the C array of unsigned char gets a value that does not fit, or a number that "
                "wrapped.",
     .example = "MORV_SMTPCFG(192.168.0.300);\n"sv,
     .warning = "example.cfg:1:24: warning: component 4 of SMTPServer '300' is above 255: it is written as "
                "300, which does not fit the unsigned char array [-Wrange]\n"},
    {.category = Category::SubnetMask,
     .meaning = "A subnet mask whose one bits are not contiguous, such as `255.0.255.0`. morvcfg derives this "
                "host's subnet from it as it stands, and moves the gateway and name server into that subnet.",
     .example = "MORV_IFCFG(192.168.0.20, 255.0.255.0);\n"sv,
     .warning = "example.cfg:1:26: warning: subnet mask 255.0.255.0 is not contiguous: its one bits do not all "
                "come before its zero bits [-Wsubnet-mask]\n"},
    {.category = Category::SubnetMove,
     .meaning = "A gateway or name server that the file gives outside this host's subnet, which morvcfg moves "
                "into it (and the message says to what): the firmware gets an address the file never wrote. "
                "The defaults are moved into every subnet a file sets, as designed, and draw no warning, "
                "unless a line that looks like the directive for that address (indented, or not in upper case) "
                "is why the default is kept: then the warning has a note pointing at that line. `--summary` "
                "shows where every address lands.",
     .example = "MORV_IFCFG(10.1.2.20, 255.255.255.0);\n"
                "MORV_DEFGW(10.1.3.1);\n"sv,
     .warning = "example.cfg:2:1: warning: the gateway 10.1.3.1 is outside this host's subnet "
                "10.1.2.0/255.255.255.0: it is written as 10.1.2.1 [-Wsubnet-move]\n"
                "example.cfg:1:1: note: this host's subnet is set here\n"},
    {.category = Category::ImpossibleAddress,
     .meaning = "An address no host can have: this host at its subnet's network address (host part all zeros) "
                "or broadcast address (host part all ones), the gateway or name server (as `morv_cfg.c` holds "
                "them) at either, a time, mail or mailbox server that the file puts at either, or the gateway "
                "at this host's own address. With a mask of /31 or /32 every address is a host's, and only the "
                "last of these is warned about.",
     .example = "MORV_IFCFG(10.1.2.0, 255.255.255.0);\n"
                "MORV_DEFGW(10.1.2.1);\n"sv,
     .warning = "example.cfg:1:1: warning: this host's address 10.1.2.0 is the network address of the subnet "
                "10.1.2.0/255.255.255.0: no host can have it [-Wimpossible-address]\n"},
    {.category = Category::Override,
     .meaning = "A directive that sets what an earlier one set, with a note where the earlier one is: only the "
                "last one counts, and the earlier line says something the firmware never gets.",
     .example = "MORV_DNS(192.168.0.2);\n"
                "MORV_DNS(192.168.0.3);\n"sv,
     .warning = "example.cfg:2:1: warning: MORV_DNS sets DomainNameServer again: 192.168.0.2 becomes "
                "192.168.0.3 [-Woverride]\n"
                "example.cfg:1:1: note: set earlier here by MORV_DNS\n"},
    {.category = Category::PoolSize,
     .meaning = "A receive memory-pool size (block size times block count) that is negative or does not fit 32 "
                "bits: `morv_cfg.h` gets the product as morvcfg computes it, and the firmware reserves a pool "
                "of that size.",
     .example = "MORV_MPF_SMALL(-4, 16);\n"sv,
     .warning = "example.cfg:1:1: warning: ETH0_RCV_SMALL_SZ is negative: -4 x 16 = -64 [-Wpool-size]\n"},
    {.category = Category::DuplicateDefine,
     .meaning = "Two `MORV_DEV_ADR` directives with the same upper-cased name: the pass-through output defines "
                "the same macro twice, the second redefining the first.",
     .example = "MORV_DEV_ADR(uart0, 0x40004400);\n"
                "MORV_DEV_ADR(UART0, 0x40004800);\n"sv,
     .warning = "example.cfg:2:14: warning: UART0_START_ADDRESS is defined again: the second define redefines "
                "the first [-Wduplicate-define]\n"
                "example.cfg:1:14: note: first defined here\n"},
    {.category = Category::Encoding,
     .meaning = "A UTF-16 file (what some editors call Unicode), in either byte order: one that starts with a "
                "UTF-16 byte-order mark, or one without a mark whose first characters have a NUL in every "
                "other byte. morvcfg reads it byte by byte, finds no directive in it and copies it as it is. "
                "One warning at 1:1 says so; the file's NUL, lone-CR and long-line warnings, one or more on "
                "every line, are left out. Save the file as UTF-8.",
     .example = "\xff\xfeM\x00O\x00R\x00V\x00_\x00L\x00O\x00"
                "C\x00"
                "A\x00L\x00(\x00"
                "1\x00"
                "2\x00"
                "7\x00.\x00"
                "0\x00.\x00"
                "0\x00.\x00"
                "2\x00)\x00;\x00\r\x00\n"
                "\x00"sv,
     .warning = "example.cfg:1:1: warning: the file is UTF-16 (it starts with a UTF-16 byte-order mark): "
                "morvcfg reads it byte by byte, finds no directive in it and copies it as it is; save it as "
                "UTF-8 [-Wencoding]\n",
     .not_on_a_line = "it is about the file as a whole, not one line of it"},
    {.category = Category::LongLine,
     .meaning = "A line longer than 255 characters, which morvcfg reads in pieces of at most 255 characters, "
                "each handled as a line of its own, with notes where a piece starts a directive or a "
                "directive's tail becomes ordinary text.",
     .example = "/* xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"
                "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"
                "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx "
                "*/\n"sv,
     .warning = "example.cfg:1:256: warning: line is 266 characters long: it is read as 2 pieces of at most "
                "255 characters, each handled as a line of its own [-Wlong-line]\n"},
    {.category = Category::LoneCr,
     .meaning = "A carriage return without a line feed, which morvcfg drops, so that the text on both sides "
                "becomes one line: a directive after it is then part of the line before.",
     .example = "#define RX_BUFFERS 8\r#define TX_BUFFERS 8\n"sv,
     .warning = "example.cfg:1:21: warning: carriage return without a line feed: it is dropped, and the text "
                "on both sides becomes one line [-Wlone-cr]\n"},
    {.category = Category::Nul,
     .meaning = "A NUL byte: ordinary text is copied with it to the pass-through output; a directive's text "
                "ends there.",
     .example = "text with a \x00 byte\n"sv,
     .warning = "example.cfg:1:13: warning: NUL byte in ordinary text: it is copied to the pass-through output "
                "as it is [-Wnul]\n"},
    {.category = Category::CtrlZ,
     .meaning = "Bytes after a Ctrl-Z, which morvcfg takes for the end of the file: the directives and text "
                "after it are never read.",
     .example = "MORV_DNS(192.168.0.2);\n"
                "\x1aMORV_DEFGW(192.168.0.1);\n"sv,
     .warning = "example.cfg:2:1: warning: Ctrl-Z ends the input: the 25 bytes after it are never read "
                "[-Wctrl-z]\n"},
    {.category = Category::UnusedIgnore,
     .meaning = "A `morvcfg-check: ignore` comment that excuses nothing on its line, names a category that "
                "does not exist (with a did-you-mean), names `encoding` (about the whole file, which only a "
                "project file can silence), or opens a bracket it does not close. A stale ignore would "
                "otherwise hide the next real warning on its line.",
     .example = "MORV_DNS(192.168.0.2);  /* morvcfg-check: ignore[subnet-move] */\n"sv,
     .warning = "example.cfg:1:28: warning: this ignore excuses nothing of -Wsubnet-move: line 1 has no such "
                "warning [-Wunused-ignore]\n",
     .not_on_a_line = "it is about an ignore comment itself"},
}};

constexpr bool explanations_in_order() {
    for (std::size_t i = 0; i < kExplanations.size(); ++i) {
        if (static_cast<std::size_t>(kExplanations[i].category) != i || kExplanations[i].meaning.empty() ||
            kExplanations[i].example.empty() || kExplanations[i].warning.empty()) {
            return false;
        }
    }
    return true;
}
static_assert(explanations_in_order(), "kExplanations explains every category, in the order of their enum");

}  // namespace

const Explanation& explanation_of(Category category) {
    return kExplanations[static_cast<std::size_t>(category)];
}

std::string silencing_of(Category category) {
    const std::string name(name_of(category));
    std::string said = "`-Wno-" + name +
                       "` leaves the kind out: on the command line, or in a `.morvcfg-check` project file for the "
                       "files of a folder or a section of them.";
    if (excusable_on_its_line(category)) {
        said += " A comment excuses one line: `/* morvcfg-check: ignore[" + name +
                "] */` on it, or `// morvcfg-check: ignore-next-line[" + name +
                "]` on the line before; `morvcfg-check --add-ignore` writes them.";
    } else {
        said += " No comment can excuse it on a line: " + std::string(explanation_of(category).not_on_a_line) + ".";
    }
    return said;
}

std::string fixing_of(Category category) {
    const std::string_view fix = category_row(category).fix;
    if (fix.empty()) {
        return "No fix is offered: nothing on the line tells what was meant, so only its author can mend it.";
    }
    const bool certain = fix.find("certain:") != std::string_view::npos;
    const bool guess = fix.find("guess:") != std::string_view::npos;
    return "Fixes, " + std::string(fix) + ". " +
           (certain && guess ? "`morvcfg-check --fix` applies the certain ones, and with `--unsafe-fixes` the "
                               "guesses too."
            : certain        ? "`morvcfg-check --fix` applies them."
                             : "`morvcfg-check --fix --unsafe-fixes` applies them, as they are guesses.");
}

}  // namespace morvcfg
