// The signature search and the conversions on whole DexDrive files, with a plain memchr/memcmp
// scan as the reference.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

#include "cardformat/card_format.h"
#include "cardformat/conversion_rule.h"

namespace {

using cardformat::CardFormat;

constexpr std::size_t kDexFileSize = 134976;

// A DexDrive file with the signature at 3904, or none at all; the rest holds many 'M's, so that
// a scan for the first byte has work to do.
std::vector<std::uint8_t> DexFile(bool withSignature) {
    std::vector<std::uint8_t> bytes(kDexFileSize);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>((i * 131) % 251 + 1);
    }
    std::copy(cardformat::kDexHeader.begin(), cardformat::kDexHeader.end(), bytes.begin());
    if (withSignature) {
        std::copy(cardformat::ImageSignature.begin(), cardformat::ImageSignature.end(),
                  bytes.begin() + cardformat::kDexHeaderSize);
    }
    return bytes;
}

std::optional<std::size_t> ReferenceScan(const std::vector<std::uint8_t>& bytes) {
    const auto* data = bytes.data();
    const std::size_t n = bytes.size();
    for (std::size_t at = 0; at + 6 <= n;) {
        const void* m = std::memchr(data + at, 'M', n - 5 - at);
        if (m == nullptr) {
            break;
        }
        at = static_cast<std::size_t>(static_cast<const std::uint8_t*>(m) - data);
        if (std::memcmp(data + at, cardformat::ImageSignature.data(), 6) == 0) {
            return at;
        }
        ++at;
    }
    return std::nullopt;
}

void BM_FindImageSignature(benchmark::State& state) {
    const auto bytes = DexFile(state.range(0) != 0);
    for (auto _ : state) {
        benchmark::DoNotOptimize(cardformat::FindImageSignature(bytes));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

void BM_ReferenceScan(benchmark::State& state) {
    const auto bytes = DexFile(state.range(0) != 0);
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReferenceScan(bytes));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

void BM_ConvertBytes(benchmark::State& state) {
    const auto bytes = DexFile(state.range(0) != 0);
    const auto* rule = cardformat::FindRule(CardFormat::DexDrive, CardFormat::Bleem);
    for (auto _ : state) {
        benchmark::DoNotOptimize(cardformat::ConvertBytes(*rule, bytes));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

}  // namespace

// Argument 1: the signature stands at 3904; 0: it is absent and the whole file is scanned.
BENCHMARK(BM_FindImageSignature)->Arg(1)->Arg(0);
BENCHMARK(BM_ReferenceScan)->Arg(1)->Arg(0);
BENCHMARK(BM_ConvertBytes)->Arg(1)->Arg(0);

BENCHMARK_MAIN();
