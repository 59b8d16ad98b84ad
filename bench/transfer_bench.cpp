// Decoding a drop or a paste of 10,000 addresses, one per line, in each text format, beside a
// plain copy of the same bytes.
#include <benchmark/benchmark.h>

#include <string>

#include "runtime/codepage.h"
#include "runtime/unicode.h"
#include "ui/dropped_addresses.h"

namespace {

constexpr int kLines = 10000;

std::string lines() {
    std::string text;
    for (int i = 0; i < kLines; ++i)
        text += (i % 4 ? "https://www.example.com/articles/"
                       : "https://ja.wikipedia.org/wiki/日本語_") +
                std::to_string(i) + "\r\n";
    return text;
}

std::string utf16Bytes(const std::string& utf8) {
    const std::u16string units = klw::utf8ToUtf16(utf8);
    std::string out;
    for (char16_t u : units) {
        out.push_back(static_cast<char>(u & 0xFF));
        out.push_back(static_cast<char>(u >> 8));
    }
    return out;
}

std::string ansiBytes(const std::string& utf8) {
    // The Japanese words in Shift-JIS.
    std::string out;
    const std::string word = "日本語";
    for (std::size_t at = 0;;) {
        const std::size_t next = utf8.find(word, at);
        out.append(utf8, at, next == std::string::npos ? std::string::npos : next - at);
        if (next == std::string::npos) return out;
        out += "\x93\xFA\x96\x7B\x8C\xEA";
        at = next + word.size();
    }
}

void decode(benchmark::State& state, klw::TransferFormat format, const std::string& block) {
    for (auto _ : state) {
        auto addresses = klw::addressesInBlock(format, block, klw::ansiCodePage());
        benchmark::DoNotOptimize(addresses.data());
        if (addresses.size() != kLines) state.SkipWithError("wrong number of lines");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * block.size()));
}

void Utf8Text(benchmark::State& state) {
    decode(state, klw::TransferFormat::PlainTextUtf8, lines());
}
void UnicodeText(benchmark::State& state) {
    decode(state, klw::TransferFormat::UnicodeText, utf16Bytes(lines()));
}
void AnsiText(benchmark::State& state) {
    decode(state, klw::TransferFormat::Text, ansiBytes(lines()));
}
void CopyOfTheUtf16Bytes(benchmark::State& state) {
    const std::string block = utf16Bytes(lines());
    for (auto _ : state) {
        std::string copy = block;
        benchmark::DoNotOptimize(copy.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * block.size()));
}

BENCHMARK(Utf8Text)->Unit(benchmark::kMicrosecond);
BENCHMARK(UnicodeText)->Unit(benchmark::kMicrosecond);
BENCHMARK(AnsiText)->Unit(benchmark::kMicrosecond);
BENCHMARK(CopyOfTheUtf16Bytes)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
