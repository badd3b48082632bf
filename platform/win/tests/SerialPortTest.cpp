#include "platform/win/SerialPort.h"
#include "platform/win/tests/PtyBridge.h"

#include <chrono>
#include <gtest/gtest.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

using win::SerialPort;

namespace {

class SerialPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        win::SetComPortLookup([this](unsigned n) {
            return n == 1 ? bridge_.endA() : n == 100 ? bridge_.endB() : std::string();
        });
    }
    void TearDown() override { win::SetComPortLookup(nullptr); }

    // Reads until count bytes arrived or a second passed.
    static std::string readSome(SerialPort& port, size_t count) {
        std::string got;
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(1);
        while (got.size() < count && std::chrono::steady_clock::now() < end) {
            char buffer[256];
            const ssize_t n = port.read(buffer, sizeof buffer, 50);
            if (n < 0)
                break;
            got.append(buffer, static_cast<size_t>(n));
        }
        return got;
    }

    wintest::PtyBridge bridge_;
};

} // namespace

TEST(ComPortNames, NumbersComeFromWindowsNamesOnly) {
    EXPECT_EQ(win::ComPortNumber("\\\\.\\COM1"), 1u);
    EXPECT_EQ(win::ComPortNumber("com105"), 105u);
    EXPECT_EQ(win::ComPortNumber("\\\\.\\COM"), 0u);
    EXPECT_EQ(win::ComPortNumber("COM0"), 0u);
    EXPECT_EQ(win::ComPortNumber("COM01"), 0u);
    EXPECT_EQ(win::ComPortNumber("COM1x"), 0u);
    EXPECT_EQ(win::ComPortNumber("LPT1"), 0u);
}

TEST(ComPortNames, RecordedPathWinsOverTheSerialDevice) {
    setenv("ZEKO_REGISTRY_DIR", "/nonexistent/zeko_serial_test", 1); // an empty device store
    win::SetComPortLookup([](unsigned n) { return n == 7 ? std::string("/tmp/recorded") : std::string(); });
    EXPECT_EQ(win::ComPortDevicePath("\\\\.\\COM7"), "/tmp/recorded");
    EXPECT_EQ(win::ComPortDevicePath("\\\\.\\COM1"), "/dev/ttyS0");
    win::SetComPortLookup(nullptr);
    EXPECT_EQ(win::ComPortDevicePath("COM7"), "/dev/ttyS6");
    EXPECT_EQ(win::ComPortDevicePath("nothing"), "");
}

TEST(LineSettingsText, ReadsTheTerminalsSettingsAndRefusesOthers) {
    win::LineSettings s;
    ASSERT_TRUE(win::ParseLineSettings("baud=14400 parity=N data=8 stop=1", s));
    EXPECT_EQ(s.baud, 14400u);
    EXPECT_EQ(s.parity, 'N');
    EXPECT_EQ(s.dataBits, 8u);
    EXPECT_EQ(s.stopBits, 1u);
    win::LineSettings kept = s;
    EXPECT_FALSE(win::ParseLineSettings("baud= parity=N data=8 stop=1", kept));
    EXPECT_FALSE(win::ParseLineSettings("baud=9600 parity=X", kept));
    EXPECT_FALSE(win::ParseLineSettings("baud=9600 data=9", kept));
    EXPECT_FALSE(win::ParseLineSettings("speed=9600", kept));
    win::LineSettings fresh;
    EXPECT_FALSE(win::ParseLineSettings("parity=N", fresh)); // no rate at all
    EXPECT_EQ(kept.baud, 14400u);
}

TEST_F(SerialPortTest, BytesCrossTheCableBothWays) {
    SerialPort a, b;
    ASSERT_TRUE(a.open("\\\\.\\COM1"));
    ASSERT_TRUE(b.open("\\\\.\\COM100"));
    ASSERT_TRUE(a.configure("baud=115200 parity=N data=8 stop=1"));
    ASSERT_TRUE(b.configure("baud=115200 parity=N data=8 stop=1"));
    const std::string text("line\r\n\0\x80\xff", 9);
    ASSERT_TRUE(a.write(text.data(), text.size()));
    EXPECT_EQ(readSome(b, text.size()), text);
    ASSERT_TRUE(b.write("back", 4));
    EXPECT_EQ(readSome(a, 4), "back");
}

TEST_F(SerialPortTest, OpenIsExclusiveUntilClosed) {
    SerialPort a, again;
    ASSERT_TRUE(a.open("COM1"));
    if (geteuid() != 0) { // root may open an exclusive terminal anyway
        EXPECT_FALSE(again.open("COM1"));
    }
    again.close();
    EXPECT_TRUE(a.close());
    EXPECT_TRUE(again.open("COM1"));
}

TEST_F(SerialPortTest, MissingDeviceDoesNotOpen) {
    SerialPort port;
    EXPECT_FALSE(port.open("COM55")); // /dev/ttyS54 does not exist here
    EXPECT_FALSE(port.open("not a port"));
    EXPECT_FALSE(port.configure("baud=9600"));
    EXPECT_EQ(port.read(nullptr, 1, 0), -1);
}

TEST_F(SerialPortTest, RatesWithoutConstantsAreSetAndSettingsComeBack) {
    SerialPort a;
    ASSERT_TRUE(a.open("COM1"));
    termios before{};
    ASSERT_EQ(tcgetattr(a.fd(), &before), 0);
    EXPECT_TRUE(a.configure("baud=56000 parity=N data=8 stop=1"));
    EXPECT_TRUE(a.configure("baud=38400 parity=N data=8 stop=1"));
    termios now{};
    ASSERT_EQ(tcgetattr(a.fd(), &now), 0);
    EXPECT_EQ(cfgetospeed(&now), speed_t(B38400));
    EXPECT_EQ(now.c_lflag & (ICANON | ECHO), 0u);
    ASSERT_TRUE(a.restoreSettings());
    ASSERT_EQ(tcgetattr(a.fd(), &now), 0);
    EXPECT_EQ(cfgetospeed(&now), cfgetospeed(&before));
}

TEST_F(SerialPortTest, ReadWaitsNoLongerThanAsked) {
    SerialPort a;
    ASSERT_TRUE(a.open("COM1"));
    char c;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(a.read(&c, 1, 100), 0);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, std::chrono::milliseconds(90));
    EXPECT_LT(took, std::chrono::milliseconds(2000));
}

TEST_F(SerialPortTest, PurgeDropsWhatWasNotRead) {
    SerialPort a, b;
    ASSERT_TRUE(a.open("COM1"));
    ASSERT_TRUE(b.open("COM100"));
    ASSERT_TRUE(a.write("stale", 5));
    ASSERT_EQ(readSome(b, 0), ""); // nothing asked for
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ASSERT_TRUE(b.purge());
    ASSERT_TRUE(a.write("new", 3));
    EXPECT_EQ(readSome(b, 3), "new");
}

// A line whose other side goes away (socat killed, a USB adapter pulled) must read as gone, not
// as "nothing yet": a reader that waits for data would otherwise spin on it.
TEST(SerialPortHangUp, ClosedOtherSideReadsAsAnError) {
    int master = -1, slave = -1;
    char name[128] = {};
    ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
    ::close(slave);
    win::SetComPortLookup([&](unsigned n) { return n == 9 ? std::string(name) : std::string(); });
    SerialPort port;
    ASSERT_TRUE(port.open("COM9"));
    ASSERT_TRUE(port.configure("baud=115200 parity=N data=8 stop=1"));
    ::close(master);
    char buffer[16];
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(port.read(buffer, sizeof buffer, 500), -1);
    EXPECT_EQ(port.read(buffer, sizeof buffer, 500), -1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(400));
    win::SetComPortLookup(nullptr);
}
