// Reading and writing a point file of a million points (number, X, Y, Z) with
// KaPointList, beside a plain getline + strtod loop and fprintf.
#include "Tarvis.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {

eKaPointRWMask const Columns[] = {PRW_NUMBER, PRW_X, PRW_Y, PRW_Z, static_cast<eKaPointRWMask>(0)};

std::filesystem::path const& Folder() {
    static std::filesystem::path const dir = [] {
        auto const d = std::filesystem::temp_directory_path() / "tarvis_point_bench";
        std::filesystem::create_directories(d);
        return d;
    }();
    return dir;
}

std::string const& PointFile() {
    static std::string const path = [] {
        auto const p = Folder() / "points.txt";
        if (std::filesystem::exists(p))
            return p.string();
        std::FILE* f = std::fopen(p.c_str(), "w");
        for (int i = 0; i < 1000000; ++i)
            std::fprintf(f, "%10d %21.16g %21.16g %21.16g\n", i + 1, 5431234.567890123 + i * 0.25,
                         5271234.987654321 - i * 0.125, 312.5 + (i % 1000) * 0.001);
        std::fclose(f);
        return p.string();
    }();
    return path;
}

long PeakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

struct Plain {
    int id;
    double x, y, z;
};

void BM_KaPointListReadFile(benchmark::State& state) {
    auto const& path = PointFile();
    for (auto _ : state) {
        KaPointList list;
        list.ReadFile(path.c_str(), KaPointFormat(Columns));
        benchmark::DoNotOptimize(list.Count());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(std::filesystem::file_size(path)));
    state.counters["peak_MB"] = static_cast<double>(PeakKilobytes()) / 1024.0;
}
BENCHMARK(BM_KaPointListReadFile)->Unit(benchmark::kMillisecond);

void BM_PlainRead(benchmark::State& state) {
    auto const& path = PointFile();
    for (auto _ : state) {
        std::vector<Plain> points;
        std::ifstream in(path);
        std::string line;
        while (std::getline(in, line)) {
            char* end = nullptr;
            Plain p{};
            p.id = static_cast<int>(std::strtol(line.c_str(), &end, 10));
            p.x = std::strtod(end, &end);
            p.y = std::strtod(end, &end);
            p.z = std::strtod(end, &end);
            points.push_back(p);
        }
        benchmark::DoNotOptimize(points.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(std::filesystem::file_size(path)));
    state.counters["peak_MB"] = static_cast<double>(PeakKilobytes()) / 1024.0;
}
BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond);

void BM_KaPointListWriteFile(benchmark::State& state) {
    KaPointList list;
    list.ReadFile(PointFile().c_str(), KaPointFormat(Columns));
    auto const out = (Folder() / "written.txt").string();
    for (auto _ : state)
        list.WriteFile(out.c_str());
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(std::filesystem::file_size(out)));
}
BENCHMARK(BM_KaPointListWriteFile)->Unit(benchmark::kMillisecond);

void BM_PlainWrite(benchmark::State& state) {
    std::vector<Plain> points;
    KaPointList const list(PointFile().c_str(), KaPointFormat(Columns));
    for (KaPoint const* p = list.First(); p; p = p->Next())
        points.push_back({static_cast<int>(p->GetId()), p->x, p->y, p->z});
    auto const out = (Folder() / "plain.txt").string();
    for (auto _ : state) {
        std::FILE* f = std::fopen(out.c_str(), "w");
        for (auto const& p : points)
            std::fprintf(f, " %10d %21.16g %21.16g %21.16g\n", p.id, p.x, p.y, p.z);
        std::fclose(f);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(std::filesystem::file_size(out)));
}
BENCHMARK(BM_PlainWrite)->Unit(benchmark::kMillisecond);

} // namespace
