// Reading and writing a point file of a million points (number, X, Y, Z) with
// KaPointList, beside a plain getline + strtod loop into a vector and fprintf.
// Besides MB/s each benchmark reports the peak heap of one untimed run of its
// operation (peak_heap_MB), counted by the global allocation functions below.
#include "Tarvis.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <malloc.h>
#include <new>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// Heap accounting, switched on only for the untimed measuring runs.
bool g_counting = false;
std::size_t g_heap = 0;
std::size_t g_peak = 0;

void Count(void* p) {
    if (g_counting && p) {
        g_heap += malloc_usable_size(p);
        if (g_heap > g_peak)
            g_peak = g_heap;
    }
}

void Uncount(void* p) {
    if (g_counting && p) {
        std::size_t const n = malloc_usable_size(p);
        g_heap = n < g_heap ? g_heap - n : 0;
    }
}

// The peak heap growth while op runs, in MB.
template <class Op>
double PeakHeapMB(Op&& op) {
    g_heap = g_peak = 0;
    g_counting = true;
    op();
    g_counting = false;
    return static_cast<double>(g_peak) / (1024.0 * 1024.0);
}

} // namespace

// Not inlined: the compiler would see malloc paired with operator delete (or new
// with free) and warn.
[[gnu::noinline]] void* operator new(std::size_t size) {
    void* p = std::malloc(size ? size : 1);
    if (!p)
        throw std::bad_alloc();
    Count(p);
    return p;
}

[[gnu::noinline]] void operator delete(void* p) noexcept {
    Uncount(p);
    std::free(p);
}

[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept {
    Uncount(p);
    std::free(p);
}

namespace {

eKaPointRWMask const Columns[] = {PRW_NUMBER, PRW_X, PRW_Y, PRW_Z, static_cast<eKaPointRWMask>(0)};
int const PointCount = 1000000;

// A folder of this process, removed at exit.
struct Folder {
    std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("tarvis_point_bench_" + std::to_string(::getpid()));
    Folder() { std::filesystem::create_directories(path); }
    ~Folder() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};

std::filesystem::path const& Dir() {
    static Folder const folder;
    return folder.path;
}

// The points in the layout KaPointList writes for the mask {1, 7, 8, 9}.
std::string const& PointFile() {
    static std::string const path = [] {
        auto const p = (Dir() / "points.txt").string();
        std::FILE* f = std::fopen(p.c_str(), "w");
        for (int i = 0; i < PointCount; ++i)
            std::fprintf(f, "%s %10d %21.16g %21.16g %21.16g", i ? "\n" : "", i + 1,
                         5431234.567890123 + i * 0.25, 5271234.987654321 - i * 0.125,
                         312.5 + (i % 1000) * 0.001);
        std::fclose(f);
        return p;
    }();
    return path;
}

std::int64_t FileBytes(std::string const& path) {
    return static_cast<std::int64_t>(std::filesystem::file_size(path));
}

struct Plain {
    int id;
    double x, y, z;
};

std::vector<Plain> PlainRead(std::string const& path) {
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
    return points;
}

void PlainWrite(std::vector<Plain> const& points, std::string const& path) {
    std::FILE* f = std::fopen(path.c_str(), "w");
    for (size_t i = 0; i < points.size(); ++i)
        std::fprintf(f, "%s %10d %21.16g %21.16g %21.16g", i ? "\n" : "", points[i].id, points[i].x,
                     points[i].y, points[i].z);
    std::fclose(f);
}

void BM_KaPointListReadFile(benchmark::State& state) {
    auto const& path = PointFile();
    auto const read = [&] {
        KaPointList list;
        benchmark::DoNotOptimize(list.ReadFile(path.c_str(), KaPointFormat(Columns)));
    };
    double const peak = PeakHeapMB(read);
    for (auto _ : state)
        read();
    state.SetBytesProcessed(state.iterations() * FileBytes(path));
    state.counters["peak_heap_MB"] = peak;
}
BENCHMARK(BM_KaPointListReadFile)->Unit(benchmark::kMillisecond);

void BM_PlainRead(benchmark::State& state) {
    auto const& path = PointFile();
    auto const read = [&] { benchmark::DoNotOptimize(PlainRead(path).data()); };
    double const peak = PeakHeapMB(read);
    for (auto _ : state)
        read();
    state.SetBytesProcessed(state.iterations() * FileBytes(path));
    state.counters["peak_heap_MB"] = peak;
}
BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond);

void BM_KaPointListWriteFile(benchmark::State& state) {
    KaPointList list(PointFile().c_str(), KaPointFormat(Columns));
    auto const out = (Dir() / "written.txt").string();
    double const peak = PeakHeapMB([&] { list.WriteFile(out.c_str()); });
    for (auto _ : state)
        list.WriteFile(out.c_str());
    state.SetBytesProcessed(state.iterations() * FileBytes(out));
    state.counters["peak_heap_MB"] = peak;
}
BENCHMARK(BM_KaPointListWriteFile)->Unit(benchmark::kMillisecond);

void BM_PlainWrite(benchmark::State& state) {
    std::vector<Plain> const points = PlainRead(PointFile());
    auto const out = (Dir() / "plain.txt").string();
    double const peak = PeakHeapMB([&] { PlainWrite(points, out); });
    for (auto _ : state)
        PlainWrite(points, out);
    state.SetBytesProcessed(state.iterations() * FileBytes(out));
    state.counters["peak_heap_MB"] = peak;
}
BENCHMARK(BM_PlainWrite)->Unit(benchmark::kMillisecond);

} // namespace
