// Writer and reader of the list file on 100,000 addresses, beside a plain copy of the same bytes.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "persist/memory_list_control.h"
#include "persist/object_stream_reader.h"
#include "persist/object_stream_writer.h"
#include "runtime/codepage.h"

namespace {

constexpr int kEntries = 100000;

// Plain web addresses, and about one in `japaneseOneIn` with Japanese words in the ANSI code page
// (0: none, 1: all).
std::vector<std::string> addresses(unsigned japaneseOneIn) {
    const char* sites[] = {"www.example.com",  "news.example.co.jp", "blog.example.org",
                           "shop.example.net", "docs.example.io",    "www.example.jp"};
    const char* words[] = {"index",   "article", "products", "search", "archive", "2024",
                           "release", "notes",   "category", "items",  "view",    "static"};
    const char* japanese[] = {"東京都", "日本語",   "大阪府", "京都市", "富士山", "新幹線",
                              "北海道", "ラーメン", "寿司",   "桜",     "検索",   "ニュース"};
    std::vector<std::string> jp;
    for (const char* w : japanese) jp.push_back(klw::ansi(w));

    std::mt19937 rng(12345);
    std::vector<std::string> out;
    out.reserve(kEntries);
    for (int i = 0; i < kEntries; ++i) {
        std::string a = rng() % 4 ? "https://" : "http://";
        if (japaneseOneIn != 0 && rng() % japaneseOneIn == 0) {
            a += rng() % 2 ? "ja.wikipedia.org/wiki/" : "www.example.jp/search?q=";
            a += jp[rng() % jp.size()];
            if (rng() % 2) a += "_" + jp[rng() % jp.size()];
        } else {
            a += sites[rng() % std::size(sites)];
            for (unsigned n = 1 + rng() % 4; n > 0; --n) {
                a += '/';
                a += words[rng() % std::size(words)];
            }
            a += "/" + std::to_string(rng() % 100000) + (rng() % 2 ? ".html" : "?page=2&sort=new");
        }
        out.push_back(std::move(a));
    }
    return out;
}

struct Fixture {
    klw::MemoryListControl list;
    std::string image;

    explicit Fixture(unsigned japaneseOneIn) {
        list.setEntries(addresses(japaneseOneIn));
        klw::MemoryStream s;
        klw::ObjectStreamWriter w(s);
        w.EmitSignature();
        w.EmitObject(list);
        w.flush();
        image = s.data();
    }
};

// The list of the figures: one address in five Japanese.
Fixture& fixture() {
    static Fixture f(5);
    return f;
}
Fixture& asciiFixture() {
    static Fixture f(0);
    return f;
}
Fixture& japaneseFixture() {
    static Fixture f(1);
    return f;
}

void Copy(benchmark::State& state) {
    const std::string& image = fixture().image;
    std::vector<char> target(image.size());
    for (auto _ : state) {
        std::memcpy(target.data(), image.data(), image.size());
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * image.size()));
}

void write(benchmark::State& state, Fixture& f) {
    klw::MemoryStream s;
    s.reserve(f.image.size());
    for (auto _ : state) {
        s.clear();
        klw::ObjectStreamWriter w(s);
        w.EmitSignature();
        w.EmitObject(f.list);
        w.flush();
        benchmark::DoNotOptimize(s.data().data());
    }
    if (s.data() != f.image) state.SkipWithError("the writer wrote another image");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f.image.size()));
    state.SetItemsProcessed(state.iterations() * kEntries);
}

void read(benchmark::State& state, Fixture& f) {
    klw::MemoryStream s(f.image);
    klw::MemoryListControl target;
    for (auto _ : state) {
        s.seek(0, klw::SeekOrigin::Begin);
        klw::ObjectStreamReader r(s);
        r.ParseRoot(target);
        benchmark::DoNotOptimize(target.count());
    }
    if (target.entries() != f.list.entries()) state.SkipWithError("the reader read other entries");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f.image.size()));
    state.SetItemsProcessed(state.iterations() * kEntries);
}

void Write(benchmark::State& state) { write(state, fixture()); }
void Read(benchmark::State& state) { read(state, fixture()); }
// The two kinds of address on their own, to show what each costs.
void WriteAscii(benchmark::State& state) { write(state, asciiFixture()); }
void ReadAscii(benchmark::State& state) { read(state, asciiFixture()); }
void WriteJapanese(benchmark::State& state) { write(state, japaneseFixture()); }
void ReadJapanese(benchmark::State& state) { read(state, japaneseFixture()); }

BENCHMARK(Copy)->Unit(benchmark::kMillisecond);
BENCHMARK(Write)->Unit(benchmark::kMillisecond);
BENCHMARK(Read)->Unit(benchmark::kMillisecond);
BENCHMARK(WriteAscii)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadAscii)->Unit(benchmark::kMillisecond);
BENCHMARK(WriteJapanese)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadJapanese)->Unit(benchmark::kMillisecond);

// The console report, then the speeds of writer and reader as fractions of the copy's.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            const auto it = r.counters.find("bytes_per_second");
            if (r.run_type == Run::RT_Iteration && it != r.counters.end())
                speed_[r.benchmark_name()] = it->second.value;
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        const double copy = speed_["Copy"];
        if (copy <= 0) return;
        std::printf("\nimage %zu bytes, %d entries\n", fixture().image.size(), kEntries);
        for (const auto& [name, speed] : speed_)
            std::printf("%-14s %9.1f MB/s  %.3f of copy\n", name.c_str(), speed / 1e6,
                        speed / copy);
    }

private:
    std::map<std::string, double> speed_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
