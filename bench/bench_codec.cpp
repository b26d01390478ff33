// The codec runs over every drawn-object block a template or answer carries, and the answer
// timer's work is dominated by reading the answer file.
#include "components/codec/Codec.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>

namespace {

std::string sample(std::size_t n) {
    std::mt19937 rng(1);
    std::string s(n, '\0');
    for (char& c : s) {
        c = static_cast<char>(rng() & 0xFF);
    }
    return s;
}

void BM_EncodeFileBytes(benchmark::State& state) {
    const std::string data = sample(1 << 20);
    for (auto _ : state) {
        benchmark::DoNotOptimize(fc::codec::encodeBytes(data));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(data.size()));
}
BENCHMARK(BM_EncodeFileBytes)->Unit(benchmark::kMillisecond);

void BM_DecodeFileBytes(benchmark::State& state) {
    const std::string encoded = fc::codec::encodeBytes(sample(1 << 20));
    for (auto _ : state) {
        benchmark::DoNotOptimize(fc::codec::tryDecodeBytes(encoded));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(encoded.size()));
}
BENCHMARK(BM_DecodeFileBytes)->Unit(benchmark::kMillisecond);

void BM_KlpString(benchmark::State& state) {
    const std::string digits(600, '7'); // a 60-character connection text, scrambled
    for (auto _ : state) {
        benchmark::DoNotOptimize(fc::codec::DecodeString(fc::codec::EncodeString(digits)));
    }
}
BENCHMARK(BM_KlpString)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
