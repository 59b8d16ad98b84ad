// Writer and reader of the list file on 100,000 addresses, beside two copies of the same bytes:
// memcpy, and one Stream to another through a 4096-byte buffer (what any file copy must do).
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

namespace {

constexpr int kEntries = 100000;

// Plain web addresses, and about one in `japaneseOneIn` with Japanese words
// (0: none, 1: all).
std::vector<std::string> addresses(unsigned japaneseOneIn) {
    const char* sites[] = {"www.example.com",  "news.example.co.jp", "blog.example.org",
                           "shop.example.net", "docs.example.io",    "www.example.jp"};
    const char* words[] = {"index",   "article", "products", "search", "archive", "2024",
                           "release", "notes",   "category", "items",  "view",    "static"};
    const char* japanese[] = {"東京都", "日本語",   "大阪府", "京都市", "富士山", "新幹線",
                              "北海道", "ラーメン", "寿司",   "桜",     "検索",   "ニュース"};
    std::vector<std::string> jp;
    for (const char* w : japanese) jp.push_back(w);

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

// The image from one memory stream to another in blocks of the writer's and reader's buffer size.
void StreamCopy(benchmark::State& state) {
    const std::string& image = fixture().image;
    klw::MemoryStream source(image);
    klw::MemoryStream target;
    target.reserve(image.size());
    char block[4096];
    for (auto _ : state) {
        source.seek(0, klw::SeekOrigin::Begin);
        target.clear();
        while (const std::size_t n = source.read(block, sizeof block)) target.write(block, n);
        benchmark::DoNotOptimize(target.data().data());
    }
    if (target.data() != image) state.SkipWithError("the copy differs");
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
BENCHMARK(StreamCopy)->Unit(benchmark::kMillisecond);
BENCHMARK(Write)->Unit(benchmark::kMillisecond);
BENCHMARK(Read)->Unit(benchmark::kMillisecond);
BENCHMARK(WriteAscii)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadAscii)->Unit(benchmark::kMillisecond);
BENCHMARK(WriteJapanese)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadJapanese)->Unit(benchmark::kMillisecond);

// The console report, then the speeds of writer and reader as fractions of both copies'.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        // With repetitions, the median of the runs (machines shared with builds are noisy).
        for (const Run& r : runs) {
            const auto it = r.counters.find("bytes_per_second");
            if (it == r.counters.end()) continue;
            const std::string name = r.run_name.function_name;
            if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "median")
                median_[name] = it->second.value;
            else if (r.run_type == Run::RT_Iteration && !median_.count(name))
                speed_[name] = it->second.value;
        }
        for (const auto& [name, speed] : median_) speed_[name] = speed;
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        const double copy = speed_["Copy"];
        const double streamCopy = speed_["StreamCopy"];
        if (copy <= 0 || streamCopy <= 0) return;
        std::printf("\nimage %zu bytes, %d entries\n", fixture().image.size(), kEntries);
        std::printf("%-14s %9s  %8s  %12s\n", "", "MB/s", "of copy", "of stream copy");
        for (const auto& [name, speed] : speed_)
            std::printf("%-14s %9.1f  %8.3f  %12.3f\n", name.c_str(), speed / 1e6, speed / copy,
                        speed / streamCopy);
    }

private:
    std::map<std::string, double> speed_;
    std::map<std::string, double> median_;
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
