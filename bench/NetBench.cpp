// A 256 MB download from lighttpd on the loopback interface: through HTTPHandle into a file and
// into memory, against the curl command line into a file and into /dev/null. On a shared machine
// the load changes from one second to the next, so each comparison runs the two sides in turn,
// round after round, and reports the median of each and their ratio: the handle should stay
// within 1.1x of the command line into a file and within 1.3x into memory, where it also pays
// for touching 256 MB of fresh memory (measured on its own as the floor).

#include "pemblon/net/HTTPHandle.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <wx/init.h>

#include "pemblon/tests/net/LoopbackServers.h"

using PBN::Strings::ostring;

namespace {

constexpr size_t kSize = size_t(256) << 20;

struct Fixture {
    wxInitializer wx;
    std::unique_ptr<NetTest::Lighttpd> server;
    NetTest::TempDir out;
    Fixture() {
        curl_global_init(CURL_GLOBAL_ALL);
        server = NetTest::startLighttpd();
        NetTest::writeFile(server->root() + "/big.bin", NetTest::patternBytes(kSize));
    }
    std::string url() const { return server->url() + "/big.bin"; }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

constexpr int kRounds = 15;

bool curlCommand(const std::string& target) {
    const std::string command = "curl -s -f -o " + target + " " + fixture().url();
    return std::system(command.c_str()) == 0;
}

bool handleToFile(PBN::Net::HTTPHandle& handle) {
    return handle.doGET(ostring(fixture().out.file("handle.bin").c_str()), ostring("/big.bin"));
}

bool handleToMemory(PBN::Net::HTTPHandle& handle) {
    char* data = nullptr;
    const bool whole = handle.doGET(data, ostring("/big.bin")) == kSize;
    delete[] data;
    return whole;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Runs the command line and the handle in turn, kRounds times each, and reports the median
// milliseconds of each side and their ratio (handle / command line).
void sideBySide(benchmark::State& state, const std::function<bool()>& command,
                const std::function<bool()>& handle) {
    using Clock = std::chrono::steady_clock;
    const auto timed = [](const std::function<bool()>& f, std::vector<double>& into) {
        const auto start = Clock::now();
        const bool ok = f();
        into.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        return ok;
    };
    std::vector<double> commandMs, handleMs;
    for (auto _ : state) {
        for (int round = 0; round < kRounds; ++round) {
            if (!timed(command, commandMs) || !timed(handle, handleMs)) {
                state.SkipWithError("download failed");
                return;
            }
        }
    }
    state.counters["curl_ms"] = median(commandMs);
    state.counters["handle_ms"] = median(handleMs);
    state.counters["ratio"] = median(handleMs) / median(commandMs);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kRounds * kSize * 2));
}

void BM_FileAgainstCurlCommandLine(benchmark::State& state) {
    PBN::Net::HTTPHandle handle(ostring(fixture().server->url().c_str()));
    sideBySide(
        state, [] { return curlCommand(fixture().out.file("curl.bin")); },
        [&] { return handleToFile(handle); });
}

void BM_MemoryAgainstCurlCommandLineToDevNull(benchmark::State& state) {
    PBN::Net::HTTPHandle handle(ostring(fixture().server->url().c_str()));
    sideBySide(
        state, [] { return curlCommand("/dev/null"); }, [&] { return handleToMemory(handle); });
}

// The floor of any download into memory: touching 256 MB of fresh memory once.
void BM_FreshMemoryTouch(benchmark::State& state) {
    for (auto _ : state) {
        char* block = new char[kSize + 1];
        std::memset(block, 1, kSize + 1);
        benchmark::DoNotOptimize(block);
        delete[] block;
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kSize));
}

} // namespace

BENCHMARK(BM_FileAgainstCurlCommandLine)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_MemoryAgainstCurlCommandLineToDevNull)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);
BENCHMARK(BM_FreshMemoryTouch)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

BENCHMARK_MAIN();
