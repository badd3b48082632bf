#include "camera_manager/diagnostics/records/SerialTransfer.h"
#include "camera_manager/diagnostics/records/SerialText.h"
#include "platform/win/SerialPort.h"
#include "platform/win/tests/PtyBridge.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>

namespace fs = std::filesystem;

namespace {

class SerialTransferTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("zeko_serial_transfer_" + std::to_string(getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        win::SetComPortLookup([this](unsigned n) {
            return n == 1 ? bridge_.endA() : n == 100 ? bridge_.endB() : std::string();
        });
    }
    void TearDown() override {
        win::SetComPortLookup(nullptr);
        fs::remove_all(dir_);
    }

    std::string makeFile(const std::string& name, size_t size) {
        std::string data(size, '\0');
        std::mt19937 random(static_cast<unsigned>(size));
        for (auto& c : data)
            c = static_cast<char>(random());
        std::ofstream(dir_ / name, std::ios::binary).write(data.data(), static_cast<std::streamsize>(size));
        return data;
    }
    std::string readFile(const std::string& name) {
        std::ifstream in(dir_ / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // Direction 0: COM1 sends to the camera's port; direction 1 the other way.
    SerialTransferJob job(int direction, int baudIndex) {
        SerialTransferJob j;
        j.source = dir_ / "source.bin";
        j.destination = dir_ / "destination.bin";
        const std::string com1 = serial::ComPortName(1), camera = serial::ComPortName(100);
        j.sendPort = direction == 0 ? com1 : camera;
        j.receivePort = direction == 0 ? camera : com1;
        j.sendBaud = j.receiveBaud = serial::BaudRates[baudIndex];
        j.blockSize = serial::TransferBlockSize(baudIndex);
        j.drainAtEnd = direction == 0;
        return j;
    }

    fs::path dir_;
    wintest::PtyBridge bridge_;
};

} // namespace

TEST_F(SerialTransferTest, FilesArriveByteForByteBothWaysAndBlockSizes) {
    for (size_t size : {size_t(0), size_t(1), size_t(1000), size_t(300 * 1024)}) {
        const std::string data = makeFile("source.bin", size);
        for (int direction : {0, 1}) {
            for (int baudIndex : {7, 10}) {
                SCOPED_TRACE(testing::Message() << size << " bytes, direction " << direction << ", baud "
                                                << serial::BaudRates[baudIndex]);
                fs::remove(dir_ / "destination.bin");
                std::atomic<bool> running{true};
                int lastPercent = -1;
                SerialTransfer::Callbacks callbacks;
                callbacks.progress = [&](int percent) { lastPercent = percent; };
                const SerialTransferResult result =
                    SerialTransfer::run(job(direction, baudIndex), callbacks, running);
                EXPECT_TRUE(result.complete());
                EXPECT_EQ(result.received, size);
                EXPECT_EQ(readFile("destination.bin"), data);
                if (size > 0) {
                    EXPECT_EQ(lastPercent, 100);
                }
            }
        }
    }
}

TEST_F(SerialTransferTest, StopMidTransferEndsSoonAndReportsIncomplete) {
    makeFile("source.bin", 2 * 1024 * 1024);
    bridge_.pause(true); // nothing arrives, so the first block waits
    SerialTransfer transfer;
    std::atomic<bool> done{false};
    SerialTransferResult result;
    SerialTransfer::Callbacks callbacks;
    callbacks.finished = [&](const SerialTransferResult& r) {
        result = r;
        done = true;
    };
    ASSERT_TRUE(transfer.start(job(0, 10), callbacks));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const auto start = std::chrono::steady_clock::now();
    transfer.stop();
    transfer.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start,
              std::chrono::milliseconds(1500)); // well before the 2 s give-up
    ASSERT_TRUE(done);
    EXPECT_FALSE(result.complete());
    EXPECT_LT(result.received, result.size);
    bridge_.pause(false);
}

TEST_F(SerialTransferTest, StopWhileTheLineIsFullEndsSoon) {
    makeFile("source.bin", 4 * 1024 * 1024);
    bridge_.pause(true); // a block this large cannot be written while nothing is taken
    SerialTransferJob j = job(0, 10);
    j.blockSize = 2 * 1024 * 1024;
    SerialTransfer transfer;
    ASSERT_TRUE(transfer.start(j, {}));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const auto start = std::chrono::steady_clock::now();
    transfer.stop();
    transfer.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start,
              std::chrono::milliseconds(1500)); // well before the 5 s write wait
    bridge_.pause(false);
}

TEST_F(SerialTransferTest, LostBytesEndTheTransferInsteadOfWaitingForEver) {
    makeFile("source.bin", 4000);
    bridge_.pause(true);
    SerialTransferJob j = job(1, 10);
    j.stallTimeoutMs = 200;
    std::atomic<bool> running{true};
    const auto start = std::chrono::steady_clock::now();
    const SerialTransferResult result = SerialTransfer::run(j, {}, running);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_FALSE(result.complete());
    bridge_.pause(false);
}

TEST_F(SerialTransferTest, UnopenablePortOrFileIsIncompleteEvenWhenEmpty) {
    makeFile("source.bin", 0);
    std::atomic<bool> running{true};
    SerialTransferJob noPort = job(0, 10);
    noPort.receivePort = serial::ComPortName(250); // /dev/ttyS249 does not exist here
    EXPECT_FALSE(SerialTransfer::run(noPort, {}, running).complete());
    SerialTransferJob noFolder = job(0, 10);
    noFolder.destination = (dir_ / "missing" / "out.bin").string();
    EXPECT_FALSE(SerialTransfer::run(noFolder, {}, running).complete());
}

TEST_F(SerialTransferTest, DestinationNamingTheSourceKeepsIt) {
    const std::string data = makeFile("source.bin", 5000);
    SerialTransferJob j = job(1, 7);
    j.destination = j.source;
    std::atomic<bool> running{true};
    EXPECT_TRUE(SerialTransfer::run(j, {}, running).complete());
    EXPECT_EQ(readFile("source.bin"), data);
}

TEST_F(SerialTransferTest, TransferLeavesBothPortsFreeAndUnchanged) {
    makeFile("source.bin", 100);
    std::atomic<bool> running{true};
    ASSERT_TRUE(SerialTransfer::run(job(0, 7), {}, running).complete());
    win::SerialPort a, b;
    EXPECT_TRUE(a.open(serial::ComPortName(1)));
    EXPECT_TRUE(b.open(serial::ComPortName(100)));
    termios tio{};
    ASSERT_EQ(tcgetattr(a.fd(), &tio), 0);
    EXPECT_EQ(cfgetospeed(&tio), speed_t(B115200)); // the bridge's own setting, not 38400
}

// A peer that stops sending halfway: the transfer gives up within its time-out, the file that
// was there stays as it was, and what did arrive is kept beside it under a name of its own.
TEST_F(SerialTransferTest, IncompleteTransferKeepsTheDestinationAndSetsThePartAside) {
    const std::string data = makeFile("source.bin", 64 * 1024);
    std::ofstream(dir_ / "destination.bin") << "the old file";
    std::ofstream(dir_ / "destination.bin.partial") << "an older partial file";
    SerialTransferJob j = job(0, 10);
    j.stallTimeoutMs = 300;
    SerialTransfer::Callbacks callbacks;
    callbacks.received = [&](uint64_t received) {
        if (received >= 4096)
            bridge_.pause(true); // the peer falls silent
    };
    std::atomic<bool> running{true};
    const auto start = std::chrono::steady_clock::now();
    const SerialTransferResult result = SerialTransfer::run(j, callbacks, running);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1500));
    EXPECT_FALSE(result.complete());
    EXPECT_EQ(readFile("destination.bin"), "the old file");
    EXPECT_EQ(readFile("destination.bin.partial"), "an older partial file");
    ASSERT_EQ(result.partialPath, (dir_ / "destination.bin.1.partial").string());
    EXPECT_EQ(readFile("destination.bin.1.partial"), data.substr(0, result.received));
    bridge_.pause(false);
}

TEST_F(SerialTransferTest, StoppedTransferLeavesTheDestinationAsItWas) {
    makeFile("source.bin", 2 * 1024 * 1024);
    std::ofstream(dir_ / "destination.bin") << "the old file";
    bridge_.pause(true);
    SerialTransfer transfer;
    SerialTransferResult result;
    SerialTransfer::Callbacks callbacks;
    callbacks.finished = [&](const SerialTransferResult& r) { result = r; };
    ASSERT_TRUE(transfer.start(job(0, 10), callbacks));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    transfer.stop();
    transfer.join();
    EXPECT_FALSE(result.complete());
    EXPECT_EQ(readFile("destination.bin"), "the old file");
    // Source, destination and, when a byte arrived, the part set aside; no temporary file.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()),
              result.partialPath.empty() ? 2 : 3);
    bridge_.pause(false);
}
