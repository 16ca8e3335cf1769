#include "translator/run.h"

#include <string>

#include "generator/header_writer.h"
#include "generator/source_writer.h"
#include "translator/directive_table.h"

namespace morvcfg {
namespace {

constexpr std::size_t kPassThroughBuffer = std::size_t{256} * 1024;

// True when the pass-through output would overwrite one of the generated files.
bool pass_through_is_generated(Environment& environment, const std::string& pass_through) {
    return environment.same_file(pass_through, std::string(kSourceFile)) ||
           environment.same_file(pass_through, std::string(kHeaderFile));
}

// True when running would destroy an input: both arguments one file, or either of them one of
// the generated files, which are emptied before the description file is read.
bool outputs_overlap_input(Environment& environment, const std::string& description, const std::string& pass_through) {
    return environment.same_file(description, pass_through) ||
           environment.same_file(description, std::string(kSourceFile)) ||
           environment.same_file(description, std::string(kHeaderFile)) ||
           pass_through_is_generated(environment, pass_through);
}

}  // namespace

bool translate(PieceReader& description, NetConfig& config, TextWriter& pass_through) {
    // Most lines of most files are ordinary lines ending in CR LF, which the pass-through output
    // holds exactly as they stand: runs of them go out whole, straight from the reader's buffer
    // (the writer borrows them until the reader reuses it), without taking their pieces.
    const char keyword_start = kKeywordPrefix.front();
    description.before_reuse([&pass_through] { (void)pass_through.flush(); });
    // A byte-order mark stays at the start of the output, where it was.
    if (description.skip_byte_order_mark()) {
        pass_through.write_verbatim(kByteOrderMark);
    }
    std::span<char> piece;
    bool written = true;
    for (;;) {
        pass_through.write_borrowed(description.next_verbatim(keyword_start));
        if (!description.next(piece)) {
            break;
        }
        dispatch(piece, config, pass_through);
        if (!pass_through.ok()) {
            written = false;
            break;
        }
    }
    // Nothing borrowed outlives the pass.
    written = pass_through.flush() && written;
    description.before_reuse({});
    return !description.failed() && written;
}

int run(std::span<const char* const> args, Environment& environment) {
    if (args.size() != 3) {
        environment.report(kFileOpenError);
        return -1;
    }
    const std::string description_path(args[1]);
    const std::string pass_through_path(args[2]);
    if (outputs_overlap_input(environment, description_path, pass_through_path)) {
        environment.report(kFileOpenError);
        return -1;
    }

    // The opens come in this order, and a failure leaves the files opened so far empty.
    const std::unique_ptr<ByteSink> source_file = environment.create(std::string(kSourceFile));
    if (!source_file) {
        return -1;
    }
    const std::unique_ptr<ByteSink> header_file = environment.create(std::string(kHeaderFile));
    if (!header_file) {
        return -1;
    }
    const std::unique_ptr<ByteSource> description_file = environment.open(description_path);
    if (!description_file) {
        return -1;
    }
    // Where names ignore case, MORV_CFG.C is morv_cfg.c, which did not exist when the names were
    // compared. Now that the generated files exist their identity shows it; refused here, they stay
    // empty, as after a failed open.
    if (pass_through_is_generated(environment, pass_through_path)) {
        environment.report(kFileOpenError);
        return -1;
    }
    const std::unique_ptr<ByteSink> pass_through_file = environment.create(pass_through_path);
    if (!pass_through_file) {
        return -1;
    }

    NetConfig config;
    TextWriter source(*source_file);
    TextWriter header(*header_file);
    // The pass-through output is as large as the description file: fewer, larger writes.
    TextWriter pass_through(*pass_through_file, kPassThroughBuffer);
    PieceReader description(*description_file);

    // After a failed pass the generated files stay empty, as after a failed open.
    bool ok = translate(description, config, pass_through) && pass_through.flush();
    if (ok) {
        const Address network = derive(config);
        write_source(source, config, network, [&environment] { return environment.now(); });
        ok = source.flush();
    }
    if (ok) {
        write_header(header, config);
        ok = header.flush();
    }
    // Closed in this order whatever happened; every close counts.
    ok = source.close() && ok;
    ok = description_file->close() && ok;
    ok = pass_through.close() && ok;
    ok = header.close() && ok;
    return ok ? 0 : -1;
}

}  // namespace morvcfg
