// The loop-back file transfer moves a file block by block and waits for each block to arrive
// before it sends the next; its rate over a pty pair shows what the block size costs.
#include "camera_manager/diagnostics/records/SerialText.h"
#include "camera_manager/diagnostics/records/SerialTransfer.h"
#include "platform/win/SerialPort.h"
#include "platform/win/tests/PtyBridge.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace {

namespace fs = std::filesystem;

constexpr size_t FileSize = 10 * 1024 * 1024;

const fs::path& folder() {
    static const fs::path dir = [] {
        char pattern[] = "/tmp/zeko_serial_bench_XXXXXX";
        const fs::path made = mkdtemp(pattern) ? pattern : "/tmp";
        std::string data(FileSize, '\0');
        std::mt19937 random(42);
        for (auto& c : data)
            c = static_cast<char>(random());
        std::ofstream(made / "source.bin", std::ios::binary)
            .write(data.data(), static_cast<std::streamsize>(data.size()));
        return made;
    }();
    return dir;
}

bool sameFiles(const fs::path& a, const fs::path& b) {
    std::ifstream x(a, std::ios::binary), y(b, std::ios::binary);
    return std::equal(std::istreambuf_iterator<char>(x), {}, std::istreambuf_iterator<char>(y), {});
}

void BM_SerialTransfer10MB(benchmark::State& state) {
    const int baudIndex = static_cast<int>(state.range(0));
    wintest::PtyBridge cable;
    win::SetComPortLookup([&](unsigned n) {
        return n == 1 ? cable.endA() : n == 100 ? cable.endB() : std::string();
    });
    SerialTransferJob job;
    job.source = folder() / "source.bin";
    job.destination = folder() / "destination.bin";
    job.sendPort = serial::ComPortName(1);
    job.receivePort = serial::ComPortName(100);
    job.sendBaud = job.receiveBaud = serial::BaudRates[baudIndex];
    job.blockSize = serial::TransferBlockSize(baudIndex);
    job.drainAtEnd = true;
    std::atomic<bool> running{true};
    bool identical = true;
    for (auto _ : state) {
        const SerialTransferResult result = SerialTransfer::run(job, {}, running);
        identical = identical && result.complete();
    }
    identical = identical && sameFiles(job.source, job.destination);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * FileSize));
    state.SetLabel(std::string(serial::BaudRates[baudIndex]) + " baud, " + std::to_string(job.blockSize) +
                   "-byte blocks, " + (identical ? "identical" : "DIFFERENT"));
    win::SetComPortLookup(nullptr);
}
BENCHMARK(BM_SerialTransfer10MB)->Arg(10)->Arg(7)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
