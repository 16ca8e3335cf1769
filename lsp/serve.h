#pragma once

#include <functional>
#include <string>

#include "checker/report.h"
#include "generator/text_writer.h"
#include "lsp/handlers.h"
#include "translator/text_reader.h"

namespace morvcfg::lsp {

// Runs the language server on `input` and `output` until the client says `exit` or the input ends;
// returns the process's exit status (0 after shutdown and exit, 1 otherwise). `log` takes what can
// be told to no one but standard error; `open_file` opens the files documents include.
int serve(ByteSource& input, ByteSink& output, const ReportOptions& options,
          const std::function<void(const std::string&)>& log, const FileOpener& open_file = {});

}  // namespace morvcfg::lsp
