#include "pemblon/files/Config.h"
#include "pemblon/files/ConfigItem.h"
#include "pemblon/xml/XMLDoc.h"

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <unistd.h>

using PBN::Files::Config;
using PBN::Files::ConfigItem;
using PBN::Strings::ostring;

namespace {

std::string numbers(int count) {
    std::ostringstream os;
    for (int i = 0; i < count; ++i)
        os << (i ? " " : "") << (i * 7919 % 100003 - 50000);
    return os.str();
}

} // namespace

// ConfigItem<int>::getList over a list of N values (linear in N).
static void BM_ConfigGetIntList(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    char path[] = "/tmp/pbn-settings-bench-XXXXXX";
    const int fd = mkstemp(path);
    close(fd);
    Config config(path, "", "1.0");
    config.writeDefault();
    config.itemValue("list", numbers(count).c_str());
    ConfigItem<int> item(config);
    for (auto _ : state) {
        bool ok = false;
        std::vector<int> out = item.getList("list", &ok);
        benchmark::DoNotOptimize(out.data());
        if (!ok || static_cast<int>(out.size()) != count)
            state.SkipWithError("list not read");
    }
    state.SetComplexityN(count);
    std::remove(path);
}
BENCHMARK(BM_ConfigGetIntList)->RangeMultiplier(10)->Range(1000, 100000)->Complexity(benchmark::oN);

// The anchor: the same text through one istringstream.
static void BM_IstringstreamLoop(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const std::string text = numbers(count);
    for (auto _ : state) {
        std::istringstream in(text);
        std::vector<int> out;
        int v = 0;
        while (in >> v)
            out.push_back(v);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetComplexityN(count);
}
BENCHMARK(BM_IstringstreamLoop)->RangeMultiplier(10)->Range(1000, 100000)->Complexity(benchmark::oN);

// One key looked up among 10,000 siblings (the last one: the longest walk).
static void BM_ConfigKeyLookup10k(benchmark::State& state) {
    char path[] = "/tmp/pbn-settings-bench-XXXXXX";
    const int fd = mkstemp(path);
    close(fd);
    Config config(path, "", "1.0");
    config.writeDefault();
    for (int i = 0; i < 10000; ++i)
        config.itemValue(("group/key" + std::to_string(i)).c_str(), std::to_string(i).c_str());
    const ostring last("group/key9999");
    for (auto _ : state)
        benchmark::DoNotOptimize(config.itemValue(last));
    std::remove(path);
}
BENCHMARK(BM_ConfigKeyLookup10k);

int main(int argc, char** argv) {
    PBN::XML::XMLDoc::initLib();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
