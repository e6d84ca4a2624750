// The four 2D estimators on 25, 100 and 1000 point pairs: scanned pixels
// against map coordinates around (5 000 000, 5 000 000). Microseconds per fit.
#include "Tarvis.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

// A gently distorted grid of n pairs, numbered alike in both lists.
void MakePairs(int n, KaPointList& pixels, KaPointList& map) {
    int const side = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(n))));
    for (int k = 0; k < n; ++k) {
        double const X = 150.0 + 19000.0 * (k % side) / side + 3.0 * std::sin(k);
        double const Y = 220.0 + 19000.0 * (k / side) / side + 3.0 * std::cos(k);
        double const u = X / 10000 - 1, v = Y / 10000 - 1;
        double const w = 1 + 2e-3 * u - 1e-3 * v;
        double const x = 5000500 + 500 * (u - 0.02 * v + 0.001 * u * u * v) / w;
        double const y = 5000000 + 500 * (0.03 * u + v - 0.002 * u * v * v) / w;
        auto const id = static_cast<unsigned int>(k + 1);
        pixels.Add(new KaPoint(id, X, Y));
        map.Add(new KaPoint(id, x, y));
    }
}

template <bool (KaCalcTrafo2D::*Estimator)(KaPointList*)>
void BM_Fit(benchmark::State& state) {
    KaPointList pixels, map;
    MakePairs(static_cast<int>(state.range(0)), pixels, map);
    KaCalcTrafo2D fit(&map);
    for (auto _ : state) {
        bool const ok = (fit.*Estimator)(&pixels);
        benchmark::DoNotOptimize(ok);
        benchmark::DoNotOptimize(fit.p);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

} // namespace

BENCHMARK_TEMPLATE(BM_Fit, &KaCalcTrafo2D::CalcTrafoHelmert)
    ->Arg(25)
    ->Arg(100)
    ->Arg(1000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_Fit, &KaCalcTrafo2D::CalcTrafoAffin)
    ->Arg(25)
    ->Arg(100)
    ->Arg(1000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_Fit, &KaCalcTrafo2D::CalcTrafoProjectiv)
    ->Arg(25)
    ->Arg(100)
    ->Arg(1000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_Fit, &KaCalcTrafo2D::CalcTrafoPolynom)
    ->Arg(25)
    ->Arg(100)
    ->Arg(1000)
    ->Unit(benchmark::kMicrosecond);
