// AVI recording on its own thread: frame budgets, size and length limits, stopping by hand,
// pausing and resuming, films finished when the camera closes, film names, why a film could not be
// written, and what frames hold around a smaller area.

#include "tolvane_model/tests/ModelTestSupport.h"

#include "pemblon/core/Exception.h"
#include "platform/zeko/tests/RunCommand.h"

#include <chrono>
#include <cstdlib>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include <wx/app.h>
#include <wx/filefn.h>

using PBN::Strings::ostring;
using Tolvane_model::Camera;

namespace tvmtest {
namespace {

const char* smallColour = "[camera]\nserial = 200\nsensor = ZK1480-C\nwidth = 320\nheight = 240\n";
const char* smallMono = "[camera]\nserial = 201\nsensor = ZK5240-M\nwidth = 320\nheight = 240\n";

class RecordingTest : public ModelTest {
protected:
    void SetUp() override {
        ModelTest::SetUp();
        useCameras(smallColour);
        camera().init();
        zksim_JournalClear();
    }
    void TearDown() override {
        zksim_ForceAviSize(-1.0);
        zksim_ForceAddFrameResult(0);
        ModelTest::TearDown();
    }
    Camera& camera() { return *Camera::getInstance(); }
    std::string film(const char* name = "film.avi") const { return dir_ + "/" + name; }
    ostring path(const char* name = "film.avi") const { return ostring(film(name).c_str()); }
    int frames() const { return zksim_JournalCount("zkavi_AddFrame"); }
    // Serves the event loop until the film has taken `n` frames in all.
    bool framesReach(int n) const {
        return runUntil([&] { return frames() >= n; }, 60000);
    }
    // Serves the event loop until the listener has heard of `ends` ends in all.
    static bool endsReach(const CountingListener& listener, int ends = 1) {
        return runUntil([&] { return listener.recordEnds >= ends; }, 60000);
    }
    // The film's frames as ffmpeg decodes them, RGB, one after the other.
    std::string decoded(const std::string& path) const {
        return zeko::test::runCommand("ffmpeg -v error -i '" + path +
                                      "' -f rawvideo -pix_fmt rgb24 - 2>/dev/null");
    }
};

// A folder on a file system of its own, mounted in a mount namespace of this thread's own (a copy
// of the program's, so that nothing of it shows outside the test): a small disk, or a read-only
// one. False where the test may not mount.
bool mountScratch(const std::string& folder, const char* options, unsigned long flags) {
    static const bool ownNamespace =
        unshare(CLONE_NEWNS) == 0 && mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    return ownNamespace && mkdir(folder.c_str(), 0755) == 0 &&
           mount("tmpfs", folder.c_str(), "tmpfs", flags, options) == 0;
}

TEST_F(RecordingTest, LengthIsRecordedAsAnExactNumberOfFrames) {
    struct Case {
        double length, rate;
        int frames;
    };
    for (const Case c :
         {Case{0.2, 100.0, 20}, Case{0.1, 300.0, 30}, Case{1.0, 10.0, 10}, Case{0.05, 30.0, 2}}) {
        SCOPED_TRACE(testing::Message() << c.length << " s at " << c.rate);
        CountingListener listener;
        zksim_JournalClear();
        camera().startRecording(&listener, path(), c.length, c.rate, -1.0, 25);
        ASSERT_TRUE(endsReach(listener));
        EXPECT_EQ(frames(), c.frames);
        EXPECT_EQ(listener.recordEnds, 1);
        camera().removeListener(&listener);
    }
    if (haveFfprobe()) {
        EXPECT_EQ(filmFrames(film()), 2);
    }
}

TEST_F(RecordingTest, TimerRecordsUntilTheLengthEndsAndTheFilmPlays) {
    if (!haveFfprobe())
        GTEST_SKIP() << "ffprobe missing";
    CountingListener listener;
    camera().startRecording(&listener, path(), 1.0, 20.0, 2048.0, 25);
    ASSERT_TRUE(runUntil([&] { return listener.recordEnds == 1; }, 20000));
    EXPECT_EQ(frames(), 20);
    EXPECT_EQ(zksim_JournalCount("zkavi_ExitAVI"), 1);
    EXPECT_EQ(filmFrames(film()), 20);
    camera().removeListener(&listener);
}

TEST_F(RecordingTest, SizeLimitEndsTheFilmWhenTheReportedSizeReachesIt) {
    CountingListener listener;
    camera().startRecording(&listener, path(), -1.0, 100.0, 2048.0, 25);
    ASSERT_TRUE(framesReach(3));
    zksim_ForceAviSize(2097151.0);
    ASSERT_TRUE(framesReach(frames() + 2));
    EXPECT_EQ(listener.recordEnds, 0);
    zksim_ForceAviSize(2097152.0);
    ASSERT_TRUE(endsReach(listener));
    const int added = frames();
    if (haveFfprobe()) {
        EXPECT_EQ(filmFrames(film()), added);
    }
    camera().removeListener(&listener);
}

TEST_F(RecordingTest, NegativeSizeMeansNoSizeLimit) {
    CountingListener listener;
    camera().startRecording(&listener, path(), -1.0, 100.0, -1.0, 25);
    ASSERT_TRUE(framesReach(5));
    EXPECT_EQ(listener.recordEnds, 0);
    camera().stopRecording();
    camera().removeListener(&listener);
}

TEST_F(RecordingTest, LengthZeroHasNoCountDown) {
    CountingListener listener;
    camera().startRecording(&listener, path(), 0.0, 100.0, 2048.0, 25);
    ASSERT_TRUE(framesReach(25));
    EXPECT_EQ(listener.recordEnds, 0);
    camera().stopRecording();
    camera().removeListener(&listener);
}

TEST_F(RecordingTest, AMomentWithoutImageAddsNoFrameAndCountsNothing) {
    CountingListener listener;
    // The first frame is due a period after the start: the camera is gone by then.
    camera().startRecording(&listener, path(), 0.2, 2.0, 2048.0, 25);
    ZkSimCamera sim{};
    ASSERT_EQ(zksim_GetCamera(0, &sim), 0);
    ASSERT_EQ(zksim_SetCameraConnected(sim.deviceId, 0), 0);
    ASSERT_TRUE(runUntil([] { return zksim_JournalCount("zkavi_GetAVISize") >= 2; }, 60000));
    EXPECT_EQ(frames(), 0);
    EXPECT_EQ(listener.recordEnds, 0);
    camera().stopRecording();
    camera().removeListener(&listener);
}

TEST_F(RecordingTest, StopByHandFinishesTheFilmAndTellsNobody) {
    CountingListener listener;
    camera().startRecording(&listener, path(), -1.0, 100.0, 2048.0, 25);
    ASSERT_TRUE(framesReach(4));
    camera().stopRecording();
    const int added = frames();
    EXPECT_EQ(listener.recordEnds, 0);
    const std::vector<std::string> all = calls();
    EXPECT_EQ(std::vector<std::string>(all.end() - 3, all.end()),
              (std::vector<std::string>{"zkavi_StopAVI", "zkavi_CloseAVI", "zkavi_ExitAVI"}));
    EXPECT_NO_THROW(camera().stopRecording());
    if (haveFfprobe()) {
        EXPECT_EQ(filmFrames(film()), added);
    }
    camera().removeListener(&listener);
}

TEST_F(RecordingTest, ResumeAddsTheNewLengthToWhatRemains) {
    CountingListener listener;
    camera().startRecording(&listener, path(), 0.4, 100.0, 2048.0, 25);
    ASSERT_TRUE(framesReach(10));
    // Once paused, no frame is added until the film resumes.
    camera().pauseRecording();
    const int paused = frames();
    EXPECT_EQ(frames(), paused);
    camera().startRecording(&listener, path("ignored.avi"), 1.0, 100.0, 2048.0, 25);
    ASSERT_TRUE(endsReach(listener));
    EXPECT_EQ(frames(), 100);
    EXPECT_EQ(zksim_JournalCount("zkavi_InitAVI"), 1);
    EXPECT_NE(std::system(("test -e '" + film("ignored.avi") + "'").c_str()), 0);
    camera().removeListener(&listener);
}

TEST_F(RecordingTest, ResumeWithALengthAlreadyReachedEndsAtTheNextFrame) {
    CountingListener listener;
    camera().startRecording(&listener, path(), 0.4, 100.0, 2048.0, 25);
    ASSERT_TRUE(framesReach(30));
    camera().pauseRecording();
    const int paused = frames();
    camera().startRecording(&listener, path(), 0.2, 100.0, 2048.0, 25);
    ASSERT_TRUE(endsReach(listener));
    EXPECT_EQ(frames(), paused + 1);
    camera().removeListener(&listener);
}

TEST_F(RecordingTest, FrameRateZeroOrNegativeUsesTheCameraRate) {
    const int expected = static_cast<int>(std::ceil(camera().getFrameRate() - 1e-9));
    for (const double rate : {0.0, -1.0}) {
        CountingListener listener;
        zksim_JournalClear();
        camera().startRecording(&listener, path(), 1.0, rate, 2048.0, 25);
        ASSERT_TRUE(endsReach(listener));
        EXPECT_EQ(frames(), expected);
        camera().removeListener(&listener);
    }
}

TEST_F(RecordingTest, ClosingTheCameraFinishesARunningFilm) {
    if (!haveFfprobe())
        GTEST_SKIP() << "ffprobe missing";
    CountingListener listener;
    camera().startRecording(&listener, path("exit.avi"), -1.0, 100.0, 2048.0, 25);
    ASSERT_TRUE(framesReach(40));
    camera().exit();
    EXPECT_EQ(filmFrames(film("exit.avi")), frames());
    EXPECT_EQ(listener.recordEnds, 1); // its dialog no longer shows a recording

    camera().init();
    zksim_JournalClear();
    camera().startRecording(&listener, path("deleted.avi"), -1.0, 100.0, 2048.0, 25);
    ASSERT_TRUE(framesReach(35));
    camera().removeListener(&listener);
    Camera::destroyInstance();
    EXPECT_EQ(filmFrames(film("deleted.avi")), frames());
}

// A film faster than the machine takes its frames on its own thread: the event loop serves what
// else is waiting meanwhile.
TEST_F(RecordingTest, AFilmFasterThanTheMachineLeavesTheEventLoopToTheUser) {
    delete Camera::getInstance();
    useCameras("[camera]\nserial = 202\nsensor = ZK1480-C\nwidth = 2048\nheight = 1536\n");
    camera().init();
    CountingListener listener;
    camera().startRecording(&listener, path(), 0.4, 1000.0, -1.0, 25); // 400 frames
    ASSERT_TRUE(runUntil([this] { return frames() >= 2; }, 10000));
    const auto posted = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point served;
    bool done = false;
    wxTheApp->CallAfter([&] {
        served = std::chrono::steady_clock::now();
        done = true;
    });
    ASSERT_TRUE(runUntil([&] { return done; }, 120000));
    EXPECT_LT(served - posted, std::chrono::seconds(1)) << frames() << " frames meanwhile";
    EXPECT_TRUE(framesReach(3));
    EXPECT_EQ(listener.recordEnds, 0);
    camera().stopRecording();
    camera().removeListener(&listener);
}

TEST_F(RecordingTest, PathBeyondWindows1252IsRefusedNamingTheCharacterAndTouchesNothing) {
    writeFile(film("clip"), "keep");
    CountingListener listener;
    try {
        camera().startRecording(&listener,
                                ostring((std::wstring(dir_.begin(), dir_.end()) + L"/clip\u0142.avi")), -1.0,
                                10.0, 2048.0, 25);
        ADD_FAILURE() << "no exception";
    } catch (const PBN::Exception& e) {
        std::wstring reason = ostring(tolvaneText(108).c_str()).wstr();
        reason.replace(reason.find(L"%s"), 2, L"\"\u0142\" (U+0142)");
        EXPECT_EQ(e.getMessage().wstr(), ostring(tolvaneText(32).c_str()).wstr() + L"\n" + reason);
        EXPECT_EQ(e.getSeverity(), PBN::Exception::SEVERE);
    }
    EXPECT_EQ(zksim_JournalCount("zkavi_InitAVI"), 0);
    EXPECT_EQ(readFile(film("clip")), "keep");
}

// The suite's narrow text is Windows-1252: its letters and signs beyond Latin-1 (œ, €) name films.
TEST_F(RecordingTest, FilmNamesWithWindows1252LettersAreWrittenUnderThoseNames) {
    const std::wstring folder(dir_.begin(), dir_.end());
    for (const wchar_t* name : {L"/\u0153uvre.avi", L"/c\u0153ur \u20ac\u2019.avi"}) {
        const std::string utf8 = wxString(name).utf8_string();
        SCOPED_TRACE(utf8);
        CountingListener listener;
        try {
            camera().startRecording(&listener, ostring(folder + name), 0.2, 10.0, 2048.0, 25);
        } catch (const PBN::Exception& e) {
            FAIL() << e.getMessage().wxstr().utf8_string();
        }
        ASSERT_TRUE(endsReach(listener));
        camera().removeListener(&listener);
        EXPECT_TRUE(wxFileExists(wxString::FromUTF8(dir_ + utf8)));
        if (haveFfprobe()) {
            EXPECT_EQ(filmFrames(dir_ + utf8), 2);
        }
    }
}

// A film that cannot be written keeps the camera error's text and says why, as the folder tells.
TEST_F(RecordingTest, AFilmIntoAReadOnlyFolderSaysTheFolderCannotBeWritten) {
    const std::string folder = dir_ + "/locked";
    // An administrator writes into any folder of a writable disk: a read-only disk it is then.
    ASSERT_EQ(mkdir(folder.c_str(), 0555), 0);
    if (access(folder.c_str(), W_OK) == 0 &&
        (rmdir(folder.c_str()) != 0 || !mountScratch(folder, "size=64k", MS_RDONLY)))
        GTEST_SKIP() << "no read-only folder can be made here";
    CountingListener listener;
    try {
        camera().startRecording(&listener, ostring((folder + "/film.avi").c_str()), -1.0, 10.0, 2048.0, 25);
        ADD_FAILURE() << "no exception";
    } catch (const PBN::Exception& e) {
        std::string reason = tolvaneText(109);
        reason.replace(reason.find("%s"), 2, folder);
        EXPECT_EQ(e.getMessage().str(), "Camera error in zkavi_OpenAVI, code 303\n" + reason);
    }
    EXPECT_EQ(zksim_JournalCount("zkavi_ExitAVI"), 1);
    umount2(folder.c_str(), MNT_DETACH);
}

TEST_F(RecordingTest, AFilmOntoAFullDiskSaysTheDiskIsFullOnce) {
    const std::string folder = dir_ + "/small";
    if (!mountScratch(folder, "size=256k", 0))
        GTEST_SKIP() << "no small disk can be mounted here";
    zksim_SetFreeRunning(1); // a new image, and so a new frame of its own size, each time
    CountingListener listener;
    camera().startRecording(&listener, ostring((folder + "/film.avi").c_str()), -1.0, 100.0, -1.0, 25);
    EXPECT_TRUE(endsReach(listener));
    zksim_SetFreeRunning(0);
    camera().removeListener(&listener);
    EXPECT_EQ(listener.recordEnds, 1);
    ASSERT_EQ(dialogs.count, 1);
    std::string reason = tolvaneText(110);
    reason.replace(reason.find("%s"), 2, folder);
    EXPECT_NE(dialogs.lastMessage().find("Camera error in zkavi_AddFrame, code 303\n" + reason),
              std::string::npos)
        << dialogs.lastMessage();
    if (haveFfprobe()) {
        EXPECT_GT(filmFrames(folder + "/film.avi"), 0);
    }
    umount2(folder.c_str(), MNT_DETACH);
}

TEST_F(RecordingTest, FailedStartReleasesItsFilmWriterAndLeavesTheCameraIdle) {
    CountingListener listener;
    zksim_InjectFailure("zkavi_OpenAVI", ZKAVI_FILE_ERROR, 1);
    try {
        camera().startRecording(&listener, path(), -1.0, 10.0, 2048.0, 25);
        ADD_FAILURE() << "no exception";
    } catch (const PBN::Exception& e) {
        // The folder can be written: nothing tells more than that the film could not be.
        std::string reason = tolvaneText(107);
        reason.replace(reason.find("%s"), 2, film());
        EXPECT_EQ(e.getMessage().str(), "Camera error in zkavi_OpenAVI, code 303\n" + reason);
    }
    EXPECT_EQ(zksim_JournalCount("zkavi_ExitAVI"), 1);
    camera().startRecording(&listener, path(), 0.2, 10.0, 2048.0, 25);
    ASSERT_TRUE(endsReach(listener));
    if (haveFfprobe()) {
        EXPECT_EQ(filmFrames(film()), 2);
    }
    camera().removeListener(&listener);
}

TEST_F(RecordingTest, AnotherListenerStartsItsOwnFilmAfterFinishingTheRunningOne) {
    CountingListener first, second;
    camera().startRecording(&first, path("first.avi"), -1.0, 100.0, 2048.0, 25);
    ASSERT_TRUE(framesReach(3));
    camera().startRecording(&second, path("second.avi"), 0.2, 10.0, 2048.0, 25);
    const int firstFrames = frames();
    EXPECT_EQ(zksim_JournalCount("zkavi_InitAVI"), 2);
    ASSERT_TRUE(endsReach(second));
    EXPECT_EQ(frames(), firstFrames + 2);
    if (haveFfprobe()) {
        EXPECT_EQ(filmFrames(film("first.avi")), firstFrames);
        EXPECT_EQ(filmFrames(film("second.avi")), 2);
    }
    camera().removeListener(&first);
    camera().removeListener(&second);
}

TEST_F(RecordingTest, AFailedFrameEndsTheFilmAtOnceAndIsShownOnce) {
    CountingListener listener;
    zksim_ForceAddFrameResult(ZKAVI_NOTICE);
    camera().startRecording(&listener, path(), -1.0, 100.0, 2048.0, 25);
    ASSERT_TRUE(framesReach(2));
    camera().pauseRecording();
    EXPECT_EQ(dialogs.count, 0);
    zksim_ForceAddFrameResult(0);
    // A full disk: the frame fails, and so does closing the film; only the first is told.
    zksim_InjectFailure("zkavi_AddFrame", ZKAVI_FILE_ERROR, 1);
    zksim_InjectFailure("zkavi_CloseAVI", ZKAVI_FILE_ERROR, 1);
    const int added = frames();
    camera().startRecording(&listener, path(), -1.0, 100.0, 2048.0, 25);
    ASSERT_TRUE(endsReach(listener));
    EXPECT_EQ(dialogs.count, 1);
    EXPECT_NE(dialogs.lastMessage().find("zkavi_AddFrame, code 303"), std::string::npos)
        << dialogs.lastMessage();
    EXPECT_EQ(zksim_JournalCount("zkavi_ExitAVI"), 1);
    EXPECT_EQ(frames(), added + 1); // nothing runs any more
    EXPECT_NO_THROW(camera().stopRecording());
    EXPECT_EQ(zksim_JournalCount("zkavi_CloseAVI"), 1);
    EXPECT_EQ(dialogs.count, 1);
    camera().removeListener(&listener);
}

// The film holds the colours of the image the camera grabbed: red stays red.
TEST_F(RecordingTest, FilmFramesKeepTheColoursOfTheGrabbedImage) {
    if (!haveFfprobe())
        GTEST_SKIP() << "ffprobe missing";
    camera().setFrameRate(1.0); // one image a second: the film's first frame is the image read here
    const size_t bytes = 320 * 240 * 3;
    const unsigned char* image = camera().getActiveImage();
    ASSERT_NE(image, nullptr);
    const std::vector<unsigned char> grabbed(image, image + bytes);
    CountingListener listener;
    camera().startRecording(&listener, path(), -1.0, 100.0, 2048.0, 25);
    ASSERT_TRUE(framesReach(1));
    camera().stopRecording();
    camera().removeListener(&listener);

    const std::string decoded = zeko::test::runCommand(
        "ffmpeg -v error -i '" + film() + "' -frames:v 1 -f rawvideo -pix_fmt rgb24 - 2>/dev/null");
    ASSERT_EQ(decoded.size(), bytes);
    // Mean distance of each channel to the same and to the exchanged channel of the image.
    double same = 0, exchanged = 0;
    for (size_t i = 0; i < bytes; i += 3) {
        const auto d = [&](size_t film, size_t grab) {
            return std::abs(static_cast<int>(static_cast<unsigned char>(decoded[i + film])) -
                            grabbed[i + grab]);
        };
        same += d(0, 0) + d(2, 2);
        exchanged += d(0, 2) + d(2, 0);
    }
    same /= bytes;
    exchanged /= bytes;
    EXPECT_LT(same, 4.0);
    EXPECT_GT(exchanged, 4 * same + 4.0);
}

// An area of interest shrunk during a film: the camera no longer writes what lies outside it, and
// the film shows there what the live view paints, not the earlier images.
TEST_F(RecordingTest, AnAreaShrunkDuringTheFilmHasTheLiveViewsBackgroundAroundIt) {
    if (!haveFfprobe())
        GTEST_SKIP() << "ffprobe missing";
    for (const char* sensor : {smallColour, smallMono}) {
        SCOPED_TRACE(sensor);
        useCameras(sensor);
        camera().init();
        zksim_SetFreeRunning(1);
        CountingListener listener;
        zksim_JournalClear();
        camera().startRecording(&listener, path(), -1.0, 100.0, 2048.0, 25);
        ASSERT_TRUE(framesReach(1));
        camera().setAOI(160, 120);
        // The frame being taken meanwhile may hold either area: the one after it holds the new.
        ASSERT_TRUE(framesReach(frames() + 2));
        camera().stopRecording();
        camera().removeListener(&listener);
        zksim_SetFreeRunning(0);

        const std::string frames = decoded(film());
        const size_t frameBytes = 320 * 240 * 3;
        const size_t count = frames.size() / frameBytes;
        ASSERT_EQ(frames.size(), count * frameBytes);
        ASSERT_GE(count, 3u);
        // Yellow (the live view's background) at x, y of the last frame, or of the first.
        const auto yellow = [&, count](int x, int y, size_t frame = ~size_t(0)) {
            frame = std::min(frame, count - 1);
            const auto* p = reinterpret_cast<const unsigned char*>(frames.data()) + frame * frameBytes +
                            (static_cast<size_t>(y) * 320 + static_cast<size_t>(x)) * 3;
            return p[0] > 235 && p[1] > 235 && p[2] < 20;
        };
        int outside = 0, yellowOutside = 0, yellowInside = 0;
        for (int y = 4; y < 236; y += 8)
            for (int x = 4; x < 316; x += 8) {
                if (x >= 168 || y >= 128) {
                    ++outside;
                    yellowOutside += yellow(x, y);
                } else if (x < 152 && y < 112) {
                    yellowInside += yellow(x, y);
                }
            }
        EXPECT_EQ(yellowOutside, outside);
        EXPECT_LT(yellowInside, 10);
        // The first frame, taken before the change, is the camera's image throughout.
        EXPECT_FALSE(yellow(300, 200, 0));
    }
}

TEST_F(RecordingTest, MonochromeFramesAreRecorded) {
    useCameras(smallMono);
    camera().init();
    CountingListener listener;
    camera().startRecording(&listener, path(), 0.3, 10.0, 2048.0, 25);
    ASSERT_TRUE(endsReach(listener));
    EXPECT_EQ(frames(), 3);
    if (haveFfprobe()) {
        EXPECT_EQ(filmFrames(film()), 3);
    }
    camera().removeListener(&listener);
}

// The film goes on while the GUI thread serves nothing (a long paint, a dialog's own loop).
TEST_F(RecordingTest, AFilmGoesOnWhileTheGuiThreadServesNothing) {
    CountingListener listener;
    camera().startRecording(&listener, path(), -1.0, 100.0, -1.0, 25);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (frames() < 10 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_GE(frames(), 10);
    camera().stopRecording();
    camera().removeListener(&listener);
}

TEST_F(RecordingTest, ListenerAddedByTwoStartsIsToldTwiceAndRemovedAtOnce) {
    CountingListener repeated, other;
    camera().startRecording(&repeated, path(), 0.1, 10.0, 2048.0, 25);
    ASSERT_TRUE(endsReach(repeated));
    camera().startRecording(&repeated, path(), 0.1, 10.0, 2048.0, 25);
    ASSERT_TRUE(endsReach(repeated, 3));
    camera().removeListener(&repeated);
    camera().removeListener(&other); // not listed: nothing changes
    camera().startRecording(&other, path(), 0.1, 10.0, 2048.0, 25);
    ASSERT_TRUE(endsReach(other));
    EXPECT_EQ(repeated.recordEnds, 3);
    EXPECT_EQ(other.recordEnds, 1);
    camera().removeListener(&other);
}

} // namespace
} // namespace tvmtest
