// Tokenizer throughput on a keyword file of a million point lines, beside a plain
// getline + strtod loop over the same file.
#include "Tarvis.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

struct KaParserAccess {
    static void Next(KaParser& parser, std::istream& in) { parser.ParseForToken(in); }
};

namespace {

// Both loops read through the same large stream buffer.
constexpr std::size_t StreamBufferSize = 1 << 20;

void Open(std::ifstream& in, std::vector<char>& buffer, std::string const& path) {
    buffer.resize(StreamBufferSize);
    in.rdbuf()->pubsetbuf(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    in.open(path);
}

std::string const& PointFile() {
    static std::string const path = [] {
        auto const p = std::filesystem::temp_directory_path() / "tarvis_bench_points.txt";
        if (!std::filesystem::exists(p)) {
            std::FILE* f = std::fopen(p.c_str(), "w");
            for (int i = 0; i < 1000000; ++i)
                std::fprintf(f, "  %d   1234.5678901234567   -876.54321   12.5\n", 1001 + i);
            std::fclose(f);
        }
        return p.string();
    }();
    return path;
}

void BM_Tokenizer(benchmark::State& state) {
    auto const& path = PointFile();
    auto const bytes = static_cast<int64_t>(std::filesystem::file_size(path));
    std::vector<char> buffer;
    for (auto _ : state) {
        std::ifstream in;
        Open(in, buffer, path);
        KaParser parser;
        double sum = 0;
        for (KaParserAccess::Next(parser, in); parser.GetToken().GetType() != TokenEOF;
             KaParserAccess::Next(parser, in))
            sum += parser.GetToken().GetNumber();
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(BM_Tokenizer)->Unit(benchmark::kMillisecond);

void BM_GetlineStrtod(benchmark::State& state) {
    auto const& path = PointFile();
    auto const bytes = static_cast<int64_t>(std::filesystem::file_size(path));
    std::vector<char> buffer;
    for (auto _ : state) {
        std::ifstream in;
        Open(in, buffer, path);
        std::string line;
        double sum = 0;
        while (std::getline(in, line)) {
            char const* p = line.c_str();
            char* end = nullptr;
            for (;;) {
                double const v = std::strtod(p, &end);
                if (end == p)
                    break;
                sum += v;
                p = end;
            }
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(BM_GetlineStrtod)->Unit(benchmark::kMillisecond);

} // namespace
