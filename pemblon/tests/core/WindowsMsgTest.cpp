#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <sstream>
#include <thread>

#include "pemblon/core/Exception.h"
#include "pemblon/core/StreamManip.h"
#include "pemblon/core/WindowsMsg.h"

using PBN::Exception;
using PBN::StreamManip;
using PBN::WindowsMsg;

namespace {

std::ostream& repeat(std::ostream& os, const int& n) {
    for (int i = 0; i < n; ++i)
        os << '*';
    return os;
}

struct Received {
    HWND window = nullptr;
    UINT msg = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    DWORD thread = 0;
    unsigned objects = 0;
};
Received received;

LRESULT recordingProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    received = {window,
                msg,
                wParam,
                lParam,
                GetCurrentThreadId(),
                reinterpret_cast<WindowsMsg*>(wParam)->getObjectsCount()};
    return 77;
}

} // namespace

TEST(StreamManip, AppliesItsFunction) {
    std::ostringstream os;
    StreamManip<std::ostream, int> stars(&repeat, 3);
    StreamManip<std::ostream, int> none(nullptr, 3);
    os << stars << "|" << none << "|";
    StreamManip<std::ostream, int> copy(none);
    copy = stars;
    PBN::operator<<(os, copy);
    EXPECT_EQ(os.str(), "***||***");
}

TEST(WindowsMsg, ObjectList) {
    int a, b, p;
    WindowsMsg msg(0x8001);
    msg.insertObject(&a, 0);
    msg.insertObject(&b, 5);
    msg.insertObject(&p, 0);
    EXPECT_EQ(msg.getObjectAt(0), &p);
    EXPECT_EQ(msg.getObjectAt(1), &a);
    msg.insertObject(&p, 3);
    msg.insertObject(&p, -1);
    EXPECT_EQ(msg.getObjectsCount(), 5u);
    EXPECT_EQ(msg.getObjectAt(4), &p);
    EXPECT_EQ(msg.getObjectAt(5), nullptr);

    msg.removeObject(&p);
    EXPECT_EQ(msg.getObjectAt(0), &a);
    msg.removeObjectAt(9);
    msg.removeObjectAt(1);
    EXPECT_EQ(msg.getObjectsCount(), 3u);
    WindowsMsg copy(msg);
    msg.clearObjects();
    EXPECT_EQ(msg.getObjectsCount(), 0u);
    EXPECT_EQ(copy.getObjectsCount(), 3u);
    EXPECT_EQ(copy.getMsgId(), 0x8001u);
}

TEST(WindowsMsg, SendDeliversItselfAsWParam) {
    HWND window = CreateMessageWindow(&recordingProc);
    int object;
    WindowsMsg msg(0x8002);
    msg.insertObject(&object, -1);
    EXPECT_FALSE(msg.hasBeenSent());
    EXPECT_EQ(msg.send(window, 42), 77);
    EXPECT_TRUE(msg.hasBeenSent());
    EXPECT_EQ(received.window, window);
    EXPECT_EQ(received.msg, 0x8002u);
    EXPECT_EQ(received.wParam, reinterpret_cast<WPARAM>(&msg));
    EXPECT_EQ(received.lParam, 42);
    EXPECT_EQ(received.objects, 1u);

    EXPECT_TRUE(DestroyWindow(window));
    WindowsMsg late(0x8003);
    try {
        late.send(window, 0);
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.getSeverity(), 10);
        EXPECT_EQ(e.getMessage().str(), "Attempted to send message to invalid window");
    }
    EXPECT_FALSE(late.hasBeenSent());
    EXPECT_THROW(late.send(nullptr, 0), Exception);
}

TEST(WindowsMsg, SendFromAnotherThreadRunsOnTheOwner) {
    HWND window = CreateMessageWindow(&recordingProc);
    std::atomic<bool> finished{false};
    LRESULT result = 0;
    WindowsMsg msg(0x8004);
    std::thread sender([&] {
        result = msg.send(window, 1);
        finished = true;
    });
    while (!finished)
        DispatchSentMessages();
    sender.join();
    EXPECT_EQ(result, 77);
    EXPECT_EQ(received.thread, GetCurrentThreadId());
    DestroyWindow(window);
}

TEST(Win32, SystemErrorTexts) {
    EXPECT_EQ(SystemErrorText(2), "The system cannot find the file specified.\r\n");
    EXPECT_EQ(SystemErrorText(0x80070002u), SystemErrorText(2));
    EXPECT_EQ(SystemErrorText(0x8000FFFFu), "Catastrophic failure\r\n");
    EXPECT_EQ(SystemErrorText(0x80041234u), "");
    EXPECT_EQ(SystemErrorText(99999), "");
}

namespace {

HWND peerWindow = nullptr;

// Answers by sending to the peer's window, owned by the sending thread.
LRESULT relayProc(HWND, UINT msg, WPARAM, LPARAM) {
    return SendMessageW(peerWindow, msg + 1, 0, 0) + 1;
}

LRESULT echoProc(HWND, UINT msg, WPARAM, LPARAM) {
    return msg;
}

} // namespace

TEST(Win32, SendersWaitingOnEachOtherDoNotDeadlock) {
    // The main thread owns the relay; the worker owns the echo window and sends to the relay,
    // whose procedure sends back to the worker while the worker is still waiting.
    HWND relay = CreateMessageWindow(&relayProc);
    std::atomic<bool> finished{false};
    LRESULT result = 0;
    std::thread worker([&] {
        peerWindow = CreateMessageWindow(&echoProc);
        result = SendMessageW(relay, 10, 0, 0);
        DestroyWindow(peerWindow);
        finished = true;
    });
    while (!finished)
        DispatchSentMessages();
    worker.join();
    EXPECT_EQ(result, 12);
    DestroyWindow(relay);
}

TEST(Win32, DestroyingAWindowReleasesItsWaitingSenders) {
    HWND window = CreateMessageWindow(&echoProc);
    std::atomic<bool> finished{false};
    LRESULT result = -1;
    std::thread sender([&] {
        result = SendMessageW(window, 5, 0, 0);
        finished = true;
    });
    // Give the sender time to queue, then destroy instead of dispatching.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(DestroyWindow(window));
    sender.join();
    EXPECT_TRUE(finished);
    EXPECT_EQ(result, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(DestroyWindow(window));
    EXPECT_EQ(GetWindowThreadProcessId(window, nullptr), 0u);
}
