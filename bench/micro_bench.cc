// Microbenchmarks of the pass's hot paths, to find where the time goes.
#include <benchmark/benchmark.h>

#include <string>

#include "translator/directive_table.h"
#include "translator/run.h"
#include "translator/scanner.h"
#include "translator/text_reader.h"

namespace {

std::string mixed_text(std::size_t lines) {
    std::string text;
    for (std::size_t i = 0; i < lines; ++i) {
        if (i % 7 == 3) {
            text += "MORV_DEV_ADR(dev_" + std::to_string(i) + ", 0xA000" + std::to_string(i % 10) + "000);\r\n";
        } else if (i % 7 == 5) {
            text += "MORV_IFCFG(10.1." + std::to_string(i % 256) + ".3, 255.255.0.0);\r\n";
        } else {
            text += "CRE_TSK(TASK_" + std::to_string(i) + ", { TA_HLNG|TA_ACT, 0, task_entry, 8, 2048, NULL });\r\n";
        }
    }
    return text;
}

// cppcheck-suppress constParameterCallback ; the benchmark library passes a mutable state
void BM_Scan(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(morvcfg::scan("MORV_IFCFG 192.168.100.200 255.255.255.0 ", "%s %s %s"));
        benchmark::DoNotOptimize(morvcfg::scan("192.168.100.200", "%u.%u.%u.%u"));
    }
}
BENCHMARK(BM_Scan);

// cppcheck-suppress constParameterCallback ; the benchmark library passes a mutable state
void BM_MatchOrdinary(benchmark::State& state) {
    const std::string line = "CRE_TSK(TASK_1, { TA_HLNG|TA_ACT, 0, task_entry, 8, 2048, NULL });\n";
    for (auto _ : state) {
        benchmark::DoNotOptimize(morvcfg::match_directive(line));
    }
}
BENCHMARK(BM_MatchOrdinary);

// cppcheck-suppress constParameterCallback ; the benchmark library passes a mutable state
void BM_Translate(benchmark::State& state) {
    const std::string text = mixed_text(20000);
    for (auto _ : state) {
        morvcfg::StringSource source(text);
        morvcfg::PieceReader reader(source);
        morvcfg::StringSink sink;
        morvcfg::TextWriter pass_through(sink);
        morvcfg::NetConfig config;
        benchmark::DoNotOptimize(morvcfg::translate(reader, config, pass_through));
        benchmark::DoNotOptimize(pass_through.close());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_Translate);

}  // namespace

BENCHMARK_MAIN();
