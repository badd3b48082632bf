// A 256 MB download from lighttpd on the loopback interface: through HTTPHandle into a file and
// into memory, and with the curl command line into a file and into /dev/null. The handle should
// stay within 1.1x of the command line; into memory it also pays for touching 256 MB of fresh
// memory, measured on its own as the floor.

#include "pemblon/net/HTTPHandle.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

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

void curlCommand(benchmark::State& state, const std::string& target) {
    const std::string command = "curl -s -f -o " + target + " " + fixture().url();
    for (auto _ : state)
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("curl failed");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kSize));
}

void BM_CurlCommandLineToFile(benchmark::State& state) {
    curlCommand(state, fixture().out.file("curl.bin"));
}

void BM_CurlCommandLineToDevNull(benchmark::State& state) {
    curlCommand(state, "/dev/null");
}

void BM_HTTPHandleToFile(benchmark::State& state) {
    PBN::Net::HTTPHandle handle(ostring(fixture().server->url().c_str()));
    const ostring target(fixture().out.file("handle.bin").c_str());
    for (auto _ : state)
        if (!handle.doGET(target, ostring("/big.bin")))
            state.SkipWithError("download failed");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kSize));
}

void BM_HTTPHandleToMemory(benchmark::State& state) {
    PBN::Net::HTTPHandle handle(ostring(fixture().server->url().c_str()));
    for (auto _ : state) {
        char* data = nullptr;
        if (handle.doGET(data, ostring("/big.bin")) != kSize)
            state.SkipWithError("download failed");
        delete[] data;
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kSize));
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

BENCHMARK(BM_CurlCommandLineToFile)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_HTTPHandleToFile)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_CurlCommandLineToDevNull)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_HTTPHandleToMemory)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_FreshMemoryTouch)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

BENCHMARK_MAIN();
