#include "LoopbackHttpServer.h"
#include "platform/win/PortDevices.h"
#include "platform/win/ProfileText.h"
#include "platform/win/RegistryStore.h"
#include "platform/win/SerialPort.h"
#include "platform/win/SystemInfo.h"
#include "platform/win/WebDownload.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

class TempDirTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/zeko_winservices_test_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        setenv("ZEKO_REGISTRY_DIR", dir_.c_str(), 1);
        win::RegistryStore::resetAll();
    }
    void TearDown() override {
        win::failPortInstallations(0);
        win::failPortRemovals(0);
        std::system(("rm -rf '" + dir_ + "'").c_str());
    }
    std::string read(const std::string& path) {
        std::ifstream file(path, std::ios::binary);
        std::ostringstream text;
        text << file.rdbuf();
        return text.str();
    }
    std::string dir_;
};

TEST(TempFolderTest, TempThenTmpdirThenTmp) {
    setenv("TEMP", "/a", 1);
    setenv("TMPDIR", "/b", 1);
    EXPECT_EQ(win::temporaryFolder(), "/a");
    setenv("TEMP", "", 1);
    EXPECT_EQ(win::temporaryFolder(), "/b");
    unsetenv("TEMP");
    unsetenv("TMPDIR");
    EXPECT_EQ(win::temporaryFolder(), "/tmp");
}

using DownloadTest = TempDirTest;

TEST_F(DownloadTest, WritesTheBodyOfA200Answer) {
    LoopbackHttpServer server;
    std::string body(20000, 'x');
    server.serve(body);
    std::string path = dir_ + "/list.txt";
    // What a download killed mid-transfer left behind goes with the next one.
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    waitpid(child, nullptr, 0);
    std::ofstream(path + ".tmp" + std::to_string(child) + ".0") << "cut";
    DownloadResult result = DownloadToFile(server.url(), path);
    EXPECT_EQ(result.status, DownloadStatus::Ok) << result.error;
    EXPECT_EQ(read(path), body);
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 1);
}

TEST_F(DownloadTest, FailuresLeaveTheFileEmpty) {
    LoopbackHttpServer server;
    std::string path = dir_ + "/list.txt";
    std::ofstream(path) << "stale content";

    server.serve("<html>missing</html>", 404);
    DownloadResult notFound = DownloadToFile(server.url(), path);
    EXPECT_EQ(notFound.status, DownloadStatus::HttpError);
    EXPECT_EQ(notFound.httpStatus, 404);
    EXPECT_EQ(read(path), "");

    std::ofstream(path) << "stale content";
    server.serveRaw("HTTP/1.1 200 OK\r\nContent-Length: 1000\r\nConnection: close\r\n\r\n[ZEKO_DRIVERS]\n");
    EXPECT_EQ(DownloadToFile(server.url(), path).status, DownloadStatus::ConnectFailed);
    EXPECT_EQ(read(path), "");

    std::ofstream(path) << "stale content";
    DownloadResult refused =
        DownloadToFile("http://127.0.0.1:" + std::to_string(closedLoopbackPort()) + "/x", path);
    EXPECT_EQ(refused.status, DownloadStatus::ConnectFailed);
    EXPECT_FALSE(refused.error.empty());
    EXPECT_EQ(read(path), "");
}

// A download that fails makes no file: the refused address, an error page, a body cut short and
// an empty answer leave the folder as empty as they found it.
TEST_F(DownloadTest, AFailedOrEmptyDownloadMakesNoFile) {
    LoopbackHttpServer server;
    const std::string path = dir_ + "/list.txt";
    const auto folderIsEmpty = [&] { return std::filesystem::is_empty(dir_); };
    EXPECT_EQ(DownloadToFile("http://127.0.0.1:" + std::to_string(closedLoopbackPort()) + "/x", path).status,
              DownloadStatus::ConnectFailed);
    EXPECT_TRUE(folderIsEmpty());
    server.serve("<html>missing</html>", 404);
    EXPECT_EQ(DownloadToFile(server.url(), path).status, DownloadStatus::HttpError);
    EXPECT_TRUE(folderIsEmpty());
    server.serveRaw("HTTP/1.1 200 OK\r\nContent-Length: 1000\r\nConnection: close\r\n\r\n[ZEKO_DRIVERS]\n");
    EXPECT_EQ(DownloadToFile(server.url(), path).status, DownloadStatus::ConnectFailed);
    EXPECT_TRUE(folderIsEmpty());
    server.serve("");
    EXPECT_EQ(DownloadToFile(server.url(), path).status, DownloadStatus::Ok);
    EXPECT_TRUE(folderIsEmpty());
}

// The target's name may be another name of someone's file (a hard link a link check does not
// see): the download takes the name, the file under its other name stays as it was.
TEST_F(DownloadTest, AFileLinkedUnderTheTargetsNameIsNeverWrittenInto) {
    LoopbackHttpServer server;
    const std::string victim = dir_ + "/victim.txt";
    std::ofstream(victim) << "keep me";
    const std::string path = dir_ + "/list.txt";
    ASSERT_EQ(link(victim.c_str(), path.c_str()), 0);
    server.serve("payload");
    EXPECT_EQ(DownloadToFile(server.url(), path).status, DownloadStatus::Ok);
    EXPECT_EQ(read(path), "payload");
    EXPECT_EQ(read(victim), "keep me");
    server.serve("<html>missing</html>", 404);
    ASSERT_EQ(unlink(path.c_str()), 0);
    ASSERT_EQ(link(victim.c_str(), path.c_str()), 0);
    EXPECT_EQ(DownloadToFile(server.url(), path).status, DownloadStatus::HttpError);
    EXPECT_EQ(read(victim), "keep me");
}

TEST_F(DownloadTest, FollowsRedirectsToA200) {
    LoopbackHttpServer target;
    target.serve("[A]\nB=1\n");
    LoopbackHttpServer server;
    server.serveRaw("HTTP/1.1 302 Found\r\nLocation: " + target.url("/moved") +
                    "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
    std::string path = dir_ + "/list.txt";
    EXPECT_EQ(DownloadToFile(server.url(), path).status, DownloadStatus::Ok);
    EXPECT_EQ(read(path), "[A]\nB=1\n");
    EXPECT_EQ(target.paths(), std::vector<std::string>{"/moved"});
}

TEST_F(DownloadTest, NeverWritesThroughALinkOrIntoANonRegularFile) {
    LoopbackHttpServer server;
    server.serve("payload");
    std::string victim = dir_ + "/victim.txt";
    std::ofstream(victim) << "keep me";
    std::string link = dir_ + "/list.txt";
    ASSERT_EQ(symlink(victim.c_str(), link.c_str()), 0);
    EXPECT_EQ(DownloadToFile(server.url(), link).status, DownloadStatus::FileFailed);
    EXPECT_EQ(read(victim), "keep me");

    std::string fifo = dir_ + "/fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(DownloadToFile(server.url(), fifo).status, DownloadStatus::FileFailed);
    EXPECT_EQ(DownloadToFile(server.url(), dir_ + "/no/such/dir/list.txt").status,
              DownloadStatus::FileFailed);
}

// A server that answers late or trickles holds the download, not whoever cancels it: the
// cancel ends it at once, with an empty file, before or during the transfer.
TEST_F(DownloadTest, CancelEndsASlowDownloadAtOnce) {
    using namespace std::chrono;
    LoopbackHttpServer server;
    server.serve(std::string(4000, 'x'));
    const std::string path = dir_ + "/list.txt";
    for (size_t chunk : {size_t{0}, size_t{1}}) {
        SCOPED_TRACE(chunk ? "trickling" : "late");
        server.pace(chunk ? milliseconds(0) : seconds(20), chunk, milliseconds(50));
        std::ofstream(path) << "stale content";
        DownloadCancel cancel;
        DownloadOptions options;
        options.cancel = &cancel;
        std::thread stopper([&] {
            std::this_thread::sleep_for(milliseconds(400));
            cancel.cancel();
        });
        const auto start = steady_clock::now();
        DownloadResult result = DownloadToFile(server.url(), path, options);
        const auto took = steady_clock::now() - start;
        stopper.join();
        EXPECT_EQ(result.status, DownloadStatus::Cancelled);
        EXPECT_LT(took, milliseconds(1500));
        EXPECT_EQ(read(path), "");
    }
    // Cancelled before it starts: no request at all.
    const size_t requests = server.paths().size();
    DownloadCancel early;
    early.cancel();
    DownloadOptions options;
    options.cancel = &early;
    EXPECT_EQ(DownloadToFile(server.url(), path, options).status, DownloadStatus::Cancelled);
    std::this_thread::sleep_for(milliseconds(100));
    EXPECT_EQ(server.paths().size(), requests);
}

TEST_F(TempDirTest, GetPrivateProfileStringCutsAndFallsBack) {
    std::string path = dir_ + "/list.ini";
    std::ofstream(path) << "[S]\nK=1234567890\nE=\n";
    std::u16string file = u"" + std::u16string(path.begin(), path.end());
    char16_t out[8];
    EXPECT_EQ(GetPrivateProfileStringW(u"S", u"K", u"Not found", out, 8, file.c_str()), 7u);
    EXPECT_EQ(std::u16string(out), u"1234567");
    EXPECT_EQ(GetPrivateProfileStringW(u"S", u"E", u"Not found", out, 8, file.c_str()), 0u);
    EXPECT_EQ(GetPrivateProfileStringW(u"S", u"X", u"Missing", out, 8, file.c_str()), 7u);
    EXPECT_EQ(std::u16string(out), u"Missing");
    std::u16string absent = file + u".absent";
    GetPrivateProfileStringW(u"S", u"K", u"Def", out, 8, absent.c_str());
    EXPECT_EQ(std::u16string(out), u"Def");
}

using PortStoreTest = TempDirTest;

TEST_F(PortStoreTest, DatabaseClaimsTheLowestFreeNumberAndRefusesOthers) {
    HCOMDB db = nullptr;
    ASSERT_EQ(ComDBOpen(&db), ERROR_SUCCESS);
    DWORD port = 0;
    ASSERT_EQ(ComDBClaimPort(db, 1, FALSE, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(ComDBClaimPort(db, 1, FALSE, nullptr), ERROR_SHARING_VIOLATION);
    BOOL forced = FALSE;
    EXPECT_EQ(ComDBClaimPort(db, 1, TRUE, &forced), ERROR_SUCCESS);
    EXPECT_TRUE(forced);
    ASSERT_EQ(ComDBClaimNextFreePort(db, &port), ERROR_SUCCESS);
    EXPECT_EQ(port, 2u);
    EXPECT_EQ(ComDBClaimPort(db, 0, TRUE, nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(ComDBClaimPort(db, 257, TRUE, nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(ComDBReleasePort(db, 257), ERROR_INVALID_PARAMETER);
    ASSERT_EQ(ComDBReleasePort(db, 1), ERROR_SUCCESS);
    ASSERT_EQ(ComDBClaimNextFreePort(db, &port), ERROR_SUCCESS);
    EXPECT_EQ(port, 1u);
    for (DWORD n = 3; n <= 256; ++n)
        ASSERT_EQ(ComDBClaimPort(db, n, FALSE, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(ComDBClaimNextFreePort(db, &port), ERROR_NO_MORE_FREE_PORTS);
    EXPECT_EQ(ComDBClose(db), ERROR_SUCCESS);
}

// A manager killed while its install message is up holds COM1-COM99 claimed for COM100.
TEST_F(PortStoreTest, ClaimsEndWithTheProgramThatMadeThem) {
    std::ofstream(dir_ + "/zeko_ports.txt") << "next\t1\nclaimed\t7\n"; // no owner: stays
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        HCOMDB db = nullptr;
        ComDBOpen(&db);
        for (DWORD n = 1; n < 100; ++n)
            ComDBClaimPort(db, n, FALSE, nullptr);
        DWORD next = 0;
        ComDBClaimNextFreePort(db, &next);
        (void)!::write(ready[1], "r", 1);
        ::pause();
        ::_exit(0);
    }
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    ::close(ready[0]);
    ::close(ready[1]);
    HCOMDB db = nullptr;
    ASSERT_EQ(ComDBOpen(&db), ERROR_SUCCESS);
    EXPECT_EQ(ComDBClaimPort(db, 50, FALSE, nullptr), ERROR_SHARING_VIOLATION); // its owner runs
    EXPECT_EQ(ComDBClaimPort(db, 100, FALSE, nullptr), ERROR_SHARING_VIOLATION);
    ::kill(child, SIGKILL);
    ASSERT_EQ(::waitpid(child, nullptr, 0), child);
    ASSERT_EQ(ComDBOpen(&db), ERROR_SUCCESS);
    EXPECT_EQ(read(dir_ + "/zeko_ports.txt"), "next\t1\nclaimed\t7\n"); // the open tidied up
    for (DWORD n : {1u, 50u, 99u, 100u}) {
        EXPECT_EQ(ComDBClaimPort(db, n, FALSE, nullptr), ERROR_SUCCESS) << n;
        EXPECT_EQ(ComDBReleasePort(db, n), ERROR_SUCCESS);
    }
    EXPECT_EQ(ComDBClaimPort(db, 7, FALSE, nullptr), ERROR_SHARING_VIOLATION);
    // This process's own claims live on, and the installer passes them by.
    ASSERT_EQ(ComDBClaimPort(db, 1, FALSE, nullptr), ERROR_SUCCESS);
    std::optional<win::PortDevice> device = win::installPortDevice(u"zeko_vcom");
    ASSERT_TRUE(device);
    EXPECT_EQ(device->port, 2u);
    EXPECT_EQ(ComDBReleasePort(db, 1), ERROR_SUCCESS);
    EXPECT_TRUE(win::removePortDevice(device->instance));
    ComDBClose(db);
}

// A claim whose owner's id now belongs to another program (ids are reused) is gone: only the id
// and the start time together name the program that made it.
TEST_F(PortStoreTest, AClaimOfAReusedProcessIdIsGone) {
    std::ofstream(dir_ + "/zeko_ports.txt")
        << "next\t1\nclaimed\t5\t" << ::getpid() << "\t1\nclaimed\t6\t" << ::getpid() << "\t0\n";
    HCOMDB db = nullptr;
    ASSERT_EQ(ComDBOpen(&db), ERROR_SUCCESS);
    EXPECT_EQ(ComDBClaimPort(db, 5, FALSE, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(ComDBClaimPort(db, 6, FALSE, nullptr), ERROR_SUCCESS);
    // This process's own claim, with its real start time, holds.
    EXPECT_EQ(ComDBClaimPort(db, 5, FALSE, nullptr), ERROR_SHARING_VIOLATION);
    ComDBClose(db);
}

// Runs call in a child process and gives its exit status, or -1 when it has not ended within
// five seconds (the child is then killed): a store that blocks fails the test instead of hanging.
template <typename Call> int runWithin5Seconds(Call call) {
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(call());
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    int status = 0;
    while (::waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > end) {
            ::kill(child, SIGKILL);
            ::waitpid(child, nullptr, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
}

// A pipe, a socket, a link that leads to itself or a folder in the store's place is never waited
// on, never replaced and never taken for an empty store; it is named once, as what it is.
TEST_F(PortStoreTest, WhatIsNoFileInTheStoresPlaceIsLeftThereAndNamed) {
    using Kind = win::FileProblem::Kind;
    for (const char* kind : {"fifo", "socket", "loop", "folder"}) {
        // A folder of its own for each: a path is named once in a process.
        const std::string folder = dir_ + "/" + kind, store = folder + "/zeko_ports.txt";
        ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
        setenv("ZEKO_REGISTRY_DIR", folder.c_str(), 1);
        win::TakeUnreadableFiles();
        int socketFd = -1;
        if (kind == std::string("fifo")) {
            ASSERT_EQ(::mkfifo(store.c_str(), 0600), 0);
        } else if (kind == std::string("loop")) {
            ASSERT_EQ(::symlink(store.c_str(), store.c_str()), 0);
        } else if (kind == std::string("socket")) {
            socketFd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            std::snprintf(address.sun_path, sizeof address.sun_path, "%s", store.c_str());
            ASSERT_EQ(::bind(socketFd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        } else {
            ASSERT_EQ(::mkdir(store.c_str(), 0700), 0);
        }
        EXPECT_EQ(runWithin5Seconds([] {
                      win::checkPortStore();
                      return win::listPortDevices().empty() && !win::installPortDevice(u"ZekoComport") &&
                                     win::portDevicePath(1).empty()
                                 ? 0
                                 : 1;
                  }),
                  0)
            << kind;
        win::checkPortStore();
        const std::vector<win::UnreadableFile> named = win::TakeUnreadableFiles();
        ASSERT_EQ(named.size(), 1u) << kind;
        EXPECT_EQ(named[0].path, store);
        EXPECT_TRUE(named[0].keptAs.empty());
        EXPECT_EQ(named[0].problem.kind, kind == std::string("folder") ? Kind::Folder : Kind::NotAFile)
            << kind;
        // The cause of what could not be saved is the thing in the store's place.
        EXPECT_FALSE(win::installPortDevice(u"ZekoComport"));
        const std::optional<win::PortStoreFailure> failure = win::takePortStoreFailure();
        ASSERT_TRUE(failure) << kind;
        EXPECT_EQ(failure->cause, kind == std::string("folder") ? win::PortStoreFailure::Cause::Folder
                                                                : win::PortStoreFailure::Cause::NotAFile);
        struct stat status {};
        ASSERT_EQ(::lstat(store.c_str(), &status), 0);
        EXPECT_FALSE(S_ISREG(status.st_mode)) << kind;
        if (socketFd >= 0)
            ::close(socketFd);
    }
}

// Where the store can be read but not written, what it holds is read all the same, and the
// failed save gives its cause; run as an unprivileged user, to whom the folder is read-only.
TEST_F(PortStoreTest, AStoreThatCannotBeWrittenIsStillRead) {
    std::ofstream(dir_ + "/zeko_ports.txt")
        << "next\t2\nclaimed\t100\ndevice\t1\t100\tZekoComport (COM100)\tZeko virtual COM port (COM100)\t"
        << dir_ << "/zeko_COM100\n";
    ::chmod(dir_.c_str(), 0755);
    ::chmod((dir_ + "/zeko_ports.txt").c_str(), 0644);
    EXPECT_EQ(runWithin5Seconds([] {
                  if (::getuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
                      return 10;
                  const std::vector<win::PortDevice> devices = win::listPortDevices();
                  if (devices.size() != 1 || devices[0].port != 100)
                      return 1;
                  const std::optional<std::set<uint32_t>> claimed = win::claimedPorts();
                  if (!claimed || *claimed != std::set<uint32_t>{100})
                      return 2;
                  HCOMDB db = nullptr;
                  if (ComDBOpen(&db) != ERROR_SUCCESS)
                      return 3;
                  win::takePortStoreFailure();
                  if (win::removePortDevice(1))
                      return 4;
                  const std::optional<win::PortStoreFailure> failure = win::takePortStoreFailure();
                  if (!failure || failure->cause != win::PortStoreFailure::Cause::Error ||
                      (failure->error != EACCES && failure->error != EROFS))
                      return 5;
                  return win::listPortDevices().size() == 1 ? 0 : 6;
              }),
              0);
}

// A store that cannot be understood is set aside, as the registry's files are; device lines
// without a number are dropped, not written back for good.
TEST_F(PortStoreTest, ADamagedStoreIsSetAsideAndJunkDevicesAreDropped) {
    const std::string store = dir_ + "/zeko_ports.txt";
    std::ofstream(store, std::ios::binary) << std::string("\x7f\x45LF\0\0\x01garbage\n", 14);
    win::TakeUnreadableFiles();
    win::checkPortStore();
    std::vector<win::UnreadableFile> aside = win::TakeUnreadableFiles();
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_EQ(aside[0].problem.kind, win::FileProblem::Kind::BinaryData);
    EXPECT_EQ(read(aside[0].keptAs).size(), 14u);
    EXPECT_EQ(win::PortStoreProblem("next\t1\nclaimed\t3\nwhatever\n"),
              (win::FileProblem{win::FileProblem::Kind::NotPortRecord, 3}));
    EXPECT_EQ(win::PortStoreProblem("next\t1\nclaimed\t3"),
              win::FileProblem{win::FileProblem::Kind::LastLineCut});
    EXPECT_FALSE(win::PortStoreProblem("next\t1\n\nclaimed\t3\n"));

    std::ofstream(store) << "next\t3\ndevice\t0\t0\tjunk\tjunk\t\ndevice\t2\t0\tZekoComport\tx\t\n"
                            "device\t1\t4\tZekoComport (COM4)\tZeko virtual COM port (COM4)\t/dev/null\n";
    const std::vector<win::PortDevice> devices = win::listPortDevices();
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(devices[0].port, 4u);
    EXPECT_EQ(read(store).find("junk"), std::string::npos);
    EXPECT_TRUE(win::TakeUnreadableFiles().empty());
}

TEST_F(PortStoreTest, InstallerNumbersDevicesAndRemovalReleasesTheNumber) {
    HCOMDB db = nullptr;
    ASSERT_EQ(ComDBOpen(&db), ERROR_SUCCESS);
    ASSERT_EQ(ComDBClaimPort(db, 1, FALSE, nullptr), ERROR_SUCCESS);
    auto first = win::installPortDevice(u"ZekoComport");
    auto second = win::installPortDevice(u"ZekoComport");
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->port, 2u);
    EXPECT_EQ(first->friendlyName, u"Zeko virtual COM port (COM2)");
    EXPECT_EQ(second->port, 3u);
    EXPECT_EQ(ComDBClaimPort(db, 2, FALSE, nullptr), ERROR_SHARING_VIOLATION);

    EXPECT_TRUE(win::setPortDeviceHardwareId(first->instance, u"ZekoComport (COM2)"));
    EXPECT_TRUE(win::setPortDevicePath(first->instance, "/dev/pts/77"));
    EXPECT_FALSE(win::setPortDevicePath(first->instance, "bad\tpath"));
    EXPECT_EQ(win::portDevicePath(2), "/dev/pts/77");
    auto devices = win::listPortDevices();
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(devices[0].hardwareId, u"ZekoComport (COM2)");

    EXPECT_TRUE(win::removePortDevice(first->instance));
    EXPECT_FALSE(win::removePortDevice(first->instance));
    EXPECT_EQ(win::listPortDevices().size(), 1u);
    EXPECT_EQ(ComDBClaimPort(db, 2, FALSE, nullptr), ERROR_SUCCESS);
    auto third = win::installPortDevice(u"ZekoComport");
    ASSERT_TRUE(third);
    EXPECT_EQ(third->port, 4u);
    EXPECT_NE(third->instance, first->instance);

    win::failPortInstallations(1);
    EXPECT_FALSE(win::installPortDevice(u"ZekoComport"));
    win::failPortRemovals(1);
    EXPECT_FALSE(win::removePortDevice(third->instance));
    EXPECT_TRUE(win::removePortDevice(third->instance));
    ComDBClose(db);
}

} // namespace

// What the program opens for a COM number comes from the store, with no look-up of a test's own:
// a virtual port's link in the registry folder, a real device given a number, else ttyS.
TEST_F(PortStoreTest, ComNumbersOpenWhatTheStoreRecords) {
    EXPECT_EQ(win::ComPortDevicePath("COM3"), "/dev/ttyS2");
    auto device = win::installPortDevice(u"ZekoComport");
    ASSERT_TRUE(device);
    EXPECT_EQ(device->port, 1u);
    EXPECT_EQ(win::ComPortDevicePath("\\\\.\\COM1"), dir_ + "/zeko_COM1");

    EXPECT_TRUE(win::setSerialDevicePort(3, "/dev/ttyUSB0"));
    EXPECT_EQ(win::ComPortDevicePath("COM3"), "/dev/ttyUSB0");
    EXPECT_FALSE(win::setSerialDevicePort(1, "/dev/ttyUSB1")); // held by the virtual port
    EXPECT_FALSE(win::setSerialDevicePort(4, "bad\tpath"));
    // The installer never hands out a number a real device holds.
    auto next = win::installPortDevice(u"ZekoComport");
    ASSERT_TRUE(next);
    EXPECT_EQ(next->port, 2u);
    auto after = win::installPortDevice(u"ZekoComport");
    ASSERT_TRUE(after);
    EXPECT_EQ(after->port, 4u);

    // A line written by hand gives a number too, and survives the store's next write.
    std::ofstream(dir_ + "/zeko_ports.txt", std::ios::app) << "serial\t7\t/tmp/socat end\n";
    EXPECT_EQ(win::ComPortDevicePath("COM7"), "/tmp/socat end");
    ASSERT_TRUE(win::removePortDevice(after->instance));
    EXPECT_EQ(win::portDevicePath(7), "/tmp/socat end");
    EXPECT_TRUE(win::setSerialDevicePort(3, ""));
    EXPECT_EQ(win::ComPortDevicePath("COM3"), "/dev/ttyS2");
}
