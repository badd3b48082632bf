// Films written through zeko_tools, read back by ffprobe and ffmpeg.
#include "platform/zeko/AviWriter.h"
#include "platform/zeko/TestPattern.h"
#include "platform/zeko/tests/SimTestSupport.h"

#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <random>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace zeko::sim::test {

namespace {

std::map<std::string, std::string> probe(const std::string& path, bool countFrames = true) {
    const std::string what = countFrames ? "-count_frames" : "-count_packets";
    const std::string out =
        runCommand("ffprobe -v error " + what +
                   " -select_streams v:0 -show_entries "
                   "stream=codec_name,width,height,nb_read_frames,nb_read_packets,r_frame_rate"
                   " -of default=nw=1 '" +
                   path + "' 2>&1");
    std::map<std::string, std::string> values;
    size_t pos = 0;
    while (pos < out.size()) {
        const size_t end = out.find('\n', pos);
        const std::string line = out.substr(pos, end - pos);
        const size_t eq = line.find('=');
        if (eq != std::string::npos)
            values[line.substr(0, eq)] = line.substr(eq + 1);
        else if (!line.empty())
            values["error"] += line;
        pos = end == std::string::npos ? out.size() : end + 1;
    }
    return values;
}

// Frame n of the film as RGB bytes.
std::string decodeFrame(const std::string& path, int n) {
    return runCommand("ffmpeg -v error -i '" + path + "' -vf 'select=eq(n\\," + std::to_string(n) +
                      ")' -frames:v 1 -f rawvideo -pix_fmt rgb24 - 2>/dev/null");
}

double psnr(const uint8_t* a, const uint8_t* b, size_t n) {
    double mse = 0;
    for (size_t i = 0; i < n; ++i) {
        const double d = double(a[i]) - double(b[i]);
        mse += d * d;
    }
    mse /= double(n);
    return mse == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 / mse);
}

long long fileSize(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_size : -1;
}

class FilmWriterTest : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        tools_ = haveTool("ffprobe") && haveTool("ffmpeg");
    }
    // The model's start: geometry, quality 50, open, replay rate, start.
    int begin(const std::string& path, int width, int height, int padding, double rate, int quality = 50) {
        int id = 0;
        EXPECT_EQ(zkavi_InitAVI(&id, 1), 0);
        EXPECT_GE(id, 1);
        EXPECT_EQ(zkavi_SetImageSize(id, 1, width, height, 0, 0, padding), 0);
        EXPECT_EQ(zkavi_SetImageQuality(id, quality), 0);
        EXPECT_EQ(zkavi_OpenAVI(id, path.c_str()), 0);
        EXPECT_EQ(zkavi_SetFrameRate(id, rate), 0);
        EXPECT_EQ(zkavi_StartAVI(id), 0);
        return id;
    }
    void end(int id) {
        EXPECT_EQ(zkavi_StopAVI(id), 0);
        EXPECT_EQ(zkavi_CloseAVI(id), 0);
        EXPECT_EQ(zkavi_ExitAVI(id), 0);
    }
    bool tools_ = false;
};

} // namespace

TEST_F(FilmWriterTest, FilmOfTheLiveImageMatchesThePattern) {
    if (!tools_)
        GTEST_SKIP() << "ffprobe or ffmpeg missing";
    // The camera model's recording: area 640 x 480 of a 1280 x 1024 image, B and R swapped.
    uint32_t h = openFirst();
    char* memory = nullptr;
    int memoryId = 0;
    ASSERT_EQ(zk_AllocImageMem(h, 1280, 1024, 24, &memory, &memoryId), 0);
    ASSERT_EQ(zk_SetImageMem(h, memory, memoryId), 0);
    ASSERT_EQ(zk_CaptureVideo(h, 1), 0);
    int x = 320, y = 256, w = 640, hh = 480;
    ASSERT_EQ(zk_SetAOI(h, ZK_SET_AOI, &x, &y, &w, &hh), 0);
    zksim_SetFreeRunning(1);

    const std::string path = dir_ + "/live film.avi";
    const int id = begin(path, w, hh, 1280 - w, 8.0);
    std::vector<std::vector<uint8_t>> sources;
    for (int i = 0; i < 12; ++i) {
        int n;
        char *a, *b;
        ASSERT_EQ(zk_fn70(h, &n, &a, &b), 0);
        std::vector<uint8_t> copy(b, b + 1280 * 1024 * 3);
        sources.push_back(copy);
        for (size_t p = 0; p < copy.size(); p += 3)
            std::swap(copy[p], copy[p + 2]);
        const int r = zkavi_AddFrame(id, reinterpret_cast<char*>(copy.data()));
        ASSERT_TRUE(r == 0 || r == ZKAVI_NOTICE) << r;
    }
    end(id);

    const auto info = probe(path);
    EXPECT_EQ(info.count("error"), 0u) << info.at("error");
    EXPECT_EQ(info.at("codec_name"), "mjpeg");
    EXPECT_EQ(info.at("width"), "640");
    EXPECT_EQ(info.at("height"), "480");
    EXPECT_EQ(info.at("nb_read_frames"), "12");
    EXPECT_EQ(info.at("r_frame_rate"), "8/1");

    for (int n : {0, 5, 11}) {
        const std::string decoded = decodeFrame(path, n);
        ASSERT_EQ(decoded.size(), size_t(640 * 480 * 3)) << n;
        std::vector<uint8_t> expected;
        for (int row = 0; row < 480; ++row)
            expected.insert(expected.end(), sources[n].begin() + row * 1280 * 3,
                            sources[n].begin() + row * 1280 * 3 + 640 * 3);
        EXPECT_GE(psnr(expected.data(), reinterpret_cast<const uint8_t*>(decoded.data()), expected.size()),
                  30.0)
            << "frame " << n;
        EXPECT_EQ(TestPattern::decodeCounter(reinterpret_cast<const uint8_t*>(decoded.data()), 640, 3),
                  TestPattern::decodeCounter(sources[n].data(), 1280, 3));
    }
}

TEST_F(FilmWriterTest, OddGeometriesPaddingAndRates) {
    if (!tools_)
        GTEST_SKIP() << "ffprobe or ffmpeg missing";
    struct Case {
        int width, height, padding;
        double rate;
        const char* expectedRate;
    } cases[] = {{1, 1, 0, 25.0, "25/1"}, {33, 17, 5, 29.97, "2997/100"}, {17, 33, 1, 0.5, "1/2"}};
    for (const Case& c : cases) {
        const std::string path = dir_ + "/odd.avi";
        ::unlink(path.c_str());
        const int id = begin(path, c.width, c.height, c.padding, c.rate, 90);
        // A frame whose padding is bright and whose image is a dark gradient: padding must not show.
        std::vector<uint8_t> frame(size_t(c.width + c.padding) * c.height * 3, 255);
        for (int r = 0; r < c.height; ++r)
            for (int col = 0; col < c.width; ++col)
                for (int k = 0; k < 3; ++k)
                    frame[(size_t(r) * (c.width + c.padding) + col) * 3 + k] = uint8_t(40 + (r + col) % 20);
        for (int i = 0; i < 3; ++i)
            ASSERT_EQ(zkavi_AddFrame(id, reinterpret_cast<char*>(frame.data())), 0);
        end(id);
        const auto info = probe(path);
        EXPECT_EQ(info.at("width"), std::to_string(c.width));
        EXPECT_EQ(info.at("height"), std::to_string(c.height));
        EXPECT_EQ(info.at("nb_read_frames"), "3");
        EXPECT_EQ(info.at("r_frame_rate"), c.expectedRate);
        const std::string decoded = decodeFrame(path, 2);
        ASSERT_EQ(decoded.size(), size_t(c.width * c.height * 3));
        for (unsigned char v : decoded)
            ASSERT_LT(v, 100) << c.width << "x" << c.height;
    }
}

TEST_F(FilmWriterTest, HeaderAndIndexLayout) {
    const std::string path = dir_ + "/layout.avi";
    const int id = begin(path, 16, 8, 0, 10.0);
    std::vector<uint8_t> frame(16 * 8 * 3, 128);
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(zkavi_AddFrame(id, reinterpret_cast<char*>(frame.data())), 0);
    float kb = 0;
    ASSERT_EQ(zkavi_GetAVISize(id, &kb), 0);
    end(id);
    std::ifstream in(path, std::ios::binary);
    const std::string f((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(f.size(), 4620u);
    const auto* d = reinterpret_cast<const uint8_t*>(f.data());
    EXPECT_EQ(f.substr(0, 4), "RIFF");
    EXPECT_EQ(at<uint32_t>(d, 4), f.size() - 8);
    EXPECT_EQ(f.substr(8, 4), "AVI ");
    const size_t avih = f.find("avih");
    EXPECT_EQ(at<uint32_t>(d, avih + 8), 100000u); // microseconds per frame
    EXPECT_EQ(at<uint32_t>(d, avih + 20) & 0x10, 0x10u);
    EXPECT_EQ(at<uint32_t>(d, avih + 24), 3u);
    EXPECT_EQ(at<uint32_t>(d, avih + 32), 1u);
    EXPECT_EQ(at<uint32_t>(d, avih + 40), 16u);
    EXPECT_EQ(at<uint32_t>(d, avih + 44), 8u);
    const size_t strh = f.find("strh");
    EXPECT_EQ(f.substr(strh + 8, 8), "vidsMJPG");
    EXPECT_EQ(at<uint32_t>(d, strh + 28) * 10, at<uint32_t>(d, strh + 32) * 1u); // rate / scale = 10
    EXPECT_EQ(at<uint32_t>(d, strh + 40), 3u);
    const size_t strf = f.find("strf");
    EXPECT_EQ(at<uint16_t>(d, strf + 22), 24);
    EXPECT_EQ(f.substr(strf + 24, 4), "MJPG");
    const size_t movi = f.find("movi");
    const size_t idx1 = f.find("idx1");
    ASSERT_NE(idx1, std::string::npos);
    EXPECT_EQ(at<uint32_t>(d, idx1 + 4), 48u);
    for (int i = 0; i < 3; ++i) {
        const size_t entry = idx1 + 8 + 16 * i;
        EXPECT_EQ(f.substr(entry, 4), "00dc");
        EXPECT_EQ(at<uint32_t>(d, entry + 4), 0x10u);
        const size_t chunk = movi + at<uint32_t>(d, entry + 8);
        EXPECT_EQ(f.substr(chunk, 4), "00dc");
        EXPECT_EQ(at<uint32_t>(d, chunk + 4), at<uint32_t>(d, entry + 12));
        EXPECT_EQ(at<uint16_t>(d, chunk + 8), 0xD8FF); // a JPEG starts there
    }
    EXPECT_NE(f.find("indx"), std::string::npos);
    EXPECT_NE(f.find("ix00"), std::string::npos);
    EXPECT_NE(f.find("dmlh"), std::string::npos);
    // The size reported while recording is kilobytes of what was written, headers included.
    EXPECT_GT(kb * 1024, 4620);
    EXPECT_LE(kb * 1024, float(f.size()));
}

TEST_F(FilmWriterTest, CallsOutOfOrderAndStaleIdsGetErrors) {
    const std::string path = dir_ + "/order.avi";
    std::vector<uint8_t> frame(8 * 8 * 3, 50);
    int id = 0;
    ASSERT_EQ(zkavi_InitAVI(&id, 1), 0);
    int other = 0;
    ASSERT_EQ(zkavi_InitAVI(&other, 1), 0);
    EXPECT_NE(other, id);
    EXPECT_EQ(zkavi_ExitAVI(other), 0);
    EXPECT_EQ(zkavi_AddFrame(id, reinterpret_cast<char*>(frame.data())), ZKAVI_WRONG_STATE);
    EXPECT_EQ(zkavi_StartAVI(id), ZKAVI_WRONG_STATE); // not open
    EXPECT_EQ(zkavi_SetImageSize(id, 1, 0, 8, 0, 0, 0), ZKAVI_INVALID_PARAMETER);
    EXPECT_EQ(zkavi_SetImageSize(id, 1, 8, 8, 0, 0, -1), ZKAVI_INVALID_PARAMETER);
    EXPECT_EQ(zkavi_SetImageQuality(id, 0), ZKAVI_INVALID_PARAMETER);
    EXPECT_EQ(zkavi_SetFrameRate(id, 0.0), ZKAVI_INVALID_PARAMETER);
    EXPECT_EQ(zkavi_SetFrameRate(id, NAN), ZKAVI_INVALID_PARAMETER);
    EXPECT_EQ(zkavi_OpenAVI(id, (dir_ + "/no/such/folder/x.avi").c_str()), ZKAVI_FILE_ERROR);
    EXPECT_EQ(zkavi_OpenAVI(id, nullptr), ZKAVI_INVALID_PARAMETER);
    ASSERT_EQ(zkavi_SetImageSize(id, 1, 8, 8, 0, 0, 0), 0);
    ASSERT_EQ(zkavi_OpenAVI(id, path.c_str()), 0);
    EXPECT_EQ(zkavi_OpenAVI(id, path.c_str()), ZKAVI_WRONG_STATE);
    ASSERT_EQ(zkavi_StartAVI(id), 0);
    EXPECT_EQ(zkavi_SetImageSize(id, 1, 4, 4, 0, 0, 0), ZKAVI_WRONG_STATE);
    EXPECT_EQ(zkavi_AddFrame(id, nullptr), ZKAVI_INVALID_PARAMETER);
    ASSERT_EQ(zkavi_AddFrame(id, reinterpret_cast<char*>(frame.data())), 0);

    zksim_ForceAddFrameResult(ZKAVI_NOTICE);
    EXPECT_EQ(zkavi_AddFrame(id, reinterpret_cast<char*>(frame.data())), ZKAVI_NOTICE);
    zksim_ForceAddFrameResult(0);
    zksim_ForceAviSize(2097152.0);
    float kb = 0;
    ASSERT_EQ(zkavi_GetAVISize(id, &kb), 0);
    EXPECT_EQ(kb / 1024, 2048.0f); // the model's size limit of 2048 stops here
    zksim_ForceAviSize(-1);
    EXPECT_EQ(zkavi_GetAVISize(id, nullptr), ZKAVI_INVALID_PARAMETER);

    ASSERT_EQ(zkavi_StopAVI(id), 0);
    EXPECT_EQ(zkavi_AddFrame(id, reinterpret_cast<char*>(frame.data())), ZKAVI_WRONG_STATE);
    // Released without a close: the film is finished all the same.
    ASSERT_EQ(zkavi_ExitAVI(id), 0);
    EXPECT_EQ(zkavi_AddFrame(id, reinterpret_cast<char*>(frame.data())), ZKAVI_INVALID_ID);
    EXPECT_EQ(zkavi_CloseAVI(id), ZKAVI_INVALID_ID);
    EXPECT_EQ(zkavi_ExitAVI(id), ZKAVI_INVALID_ID);
    EXPECT_EQ(zkavi_GetAVISize(0, &kb), ZKAVI_INVALID_ID);
    EXPECT_EQ(zkavi_InitAVI(nullptr, 1), ZKAVI_INVALID_PARAMETER);
    if (tools_) {
        const auto info = probe(path);
        EXPECT_EQ(info.count("error"), 0u);
        EXPECT_EQ(info.at("nb_read_frames"), "2");
    }
    zksim_InjectFailure("zkavi_OpenAVI", ZKAVI_FILE_ERROR, 1);
    ASSERT_EQ(zkavi_InitAVI(&id, 1), 0);
    EXPECT_EQ(zkavi_OpenAVI(id, path.c_str()), ZKAVI_FILE_ERROR);
    EXPECT_EQ(zksim_JournalCount("zkavi_OpenAVI"), 5);
}

TEST_F(FilmWriterTest, NarrowPathIsTheFileTheViewerDeleted) {
    // "é" as the viewer's narrow text is byte 0xE9; on disk the name is UTF-8.
    const std::string narrow = dir_ + "/caf\xE9.avi";
    const int id = begin(narrow, 8, 8, 0, 5.0);
    end(id);
    EXPECT_GT(fileSize(dir_ + "/caf\xC3\xA9.avi"), 0);
    // The narrow text is Windows-1252: byte 0x9C is "œ", 0x80 "€".
    end(begin(dir_ + "/\x9Cuvre \x80.avi", 8, 8, 0, 5.0));
    EXPECT_GT(fileSize(dir_ + "/\xC5\x93uvre \xE2\x82\xAC.avi"), 0);
}

TEST_F(FilmWriterTest, SegmentsPastTheLimitAreReadWhole) {
    if (!tools_)
        GTEST_SKIP() << "ffprobe or ffmpeg missing";
    zksim_SetAviSegmentLimit(256 * 1024);
    const std::string path = dir_ + "/segments.avi";
    const int id = begin(path, 160, 120, 0, 25.0, 95);
    std::mt19937 noise(7);
    std::vector<uint8_t> frame(160 * 120 * 3);
    const int frames = 150;
    for (int i = 0; i < frames; ++i) {
        for (auto& v : frame)
            v = uint8_t(noise());
        ASSERT_EQ(zkavi_AddFrame(id, reinterpret_cast<char*>(frame.data())), 0);
    }
    end(id);
    std::ifstream in(path, std::ios::binary);
    const std::string f((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size_t segments = 0;
    for (size_t p = f.find("AVIX"); p != std::string::npos; p = f.find("AVIX", p + 4))
        ++segments;
    EXPECT_GE(segments, 3u);
    const auto info = probe(path);
    EXPECT_EQ(info.count("error"), 0u) << info.at("error");
    EXPECT_EQ(info.at("nb_read_frames"), std::to_string(frames));
    EXPECT_EQ(decodeFrame(path, frames - 1).size(), frame.size());
}

TEST_F(FilmWriterTest, FilmOfAKilledWriterIsReadable) {
    if (!tools_)
        GTEST_SKIP() << "ffprobe or ffmpeg missing";
    // A burst of frames and an exit without closing; a film at 20 im/s killed after 3 s of it.
    struct Case {
        const char* name;
        int frames;
        double rate; // 0: as fast as possible
        int readable;
    };
    for (const Case c : {Case{"burst", 70, 0.0, 64}, Case{"paced", 60, 20.0, 40}}) {
        SCOPED_TRACE(c.name);
        const std::string path = dir_ + "/killed-" + c.name + ".avi";
        int added[2];
        ASSERT_EQ(::pipe(added), 0);
        const pid_t child = fork();
        if (child == 0) {
            ::close(added[0]);
            int id = 0;
            zkavi_InitAVI(&id, 1);
            zkavi_SetImageSize(id, 1, 32, 32, 0, 0, 0);
            zkavi_OpenAVI(id, path.c_str());
            if (c.rate > 0)
                zkavi_SetFrameRate(id, c.rate);
            zkavi_StartAVI(id);
            std::vector<uint8_t> frame(32 * 32 * 3, 90);
            auto due = std::chrono::steady_clock::now();
            for (int i = 0; c.rate == 0 || i < c.frames * 2; ++i) {
                if (c.rate == 0 && i == c.frames)
                    _exit(0); // no close: as if the process died
                frame[0] = uint8_t(i);
                zkavi_AddFrame(id, reinterpret_cast<char*>(frame.data()));
                if (c.rate > 0) {
                    const char one = 1;
                    if (::write(added[1], &one, 1) != 1)
                        _exit(1);
                    due += std::chrono::microseconds(long(1e6 / c.rate));
                    std::this_thread::sleep_until(due);
                }
            }
            _exit(0);
        }
        ::close(added[1]);
        if (c.rate > 0) {
            // Killed once it has added its 3 s of frames, whatever the machine's load made of them.
            char byte;
            for (int seen = 0; seen < c.frames && ::read(added[0], &byte, 1) == 1;)
                ++seen;
            ::kill(child, SIGKILL);
        }
        ::close(added[0]);
        int status = -1;
        waitpid(child, &status, 0);
        const auto info = probe(path);
        ASSERT_TRUE(info.count("nb_read_frames")) << (info.count("error") ? info.at("error") : "");
        EXPECT_GE(std::stoi(info.at("nb_read_frames")), c.readable);
    }
}

// Past 1 GiB for real: large noisy frames keep the frame count (and the time) small.
TEST_F(FilmWriterTest, FilmPastOneGibIsReadWhole) {
    if (!tools_)
        GTEST_SKIP() << "ffprobe or ffmpeg missing";
    const auto started = std::chrono::steady_clock::now();
    const std::string path = dir_ + "/large.avi";
    const int width = 2048, height = 2048;
    const int id = begin(path, width, height, 0, 25.0, 100);
    std::mt19937 noise(11);
    std::vector<uint8_t> frame(size_t(width) * height * 3);
    for (auto& v : frame)
        v = uint8_t(noise());
    int frames = 0;
    float kb = 0;
    while (kb < 1.1f * 1024 * 1024) {
        frame[size_t(frames) % frame.size()] ^= 0xFF; // no two frames alike
        ASSERT_EQ(zkavi_AddFrame(id, reinterpret_cast<char*>(frame.data())), 0);
        ++frames;
        ASSERT_EQ(zkavi_GetAVISize(id, &kb), 0);
    }
    end(id);
    EXPECT_GT(fileSize(path), (1LL << 30) + (1LL << 26));
    EXPECT_NEAR(double(kb), double(fileSize(path)) / 1024, 64.0);
    const auto info = probe(path, false);
    EXPECT_EQ(info.count("error"), 0u) << info.at("error");
    EXPECT_EQ(info.at("nb_read_packets"), std::to_string(frames));
    // Seeking to the end goes through the OpenDML index: one frame decoded, not all of them.
    const std::string last = runCommand("ffmpeg -v error -sseof -0.2 -i '" + path +
                                        "' -frames:v 1 -f rawvideo -pix_fmt rgb24 - 2>/dev/null");
    EXPECT_EQ(last.size(), frame.size());
    ::unlink(path.c_str());
    std::printf("[ info ] %d frames, %.1f s\n", frames,
                std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
}

} // namespace zeko::sim::test

namespace zeko::sim::test {

// A frame is laid out as zeko_tools.h says: rows of width + padding pixels, the area at column x
// of row y. The writer reads exactly that (the frames here are exactly that large, so a read
// beyond is a sanitizer report) and refuses an area reaching past the row.
TEST_F(FilmWriterTest, OffsetAreasAreReadFromTheDocumentedLayout) {
    int id = 0;
    ASSERT_EQ(zkavi_InitAVI(&id, 1), 0);
    EXPECT_EQ(zkavi_SetImageSize(id, 1, 4, 2, 3, 0, 2), ZKAVI_INVALID_PARAMETER);
    ASSERT_EQ(zkavi_SetImageSize(id, 1, 4, 2, 2, 2, 2), 0);
    const std::string small = dir_ + "/small.avi";
    ASSERT_EQ(zkavi_OpenAVI(id, small.c_str()), 0);
    ASSERT_EQ(zkavi_StartAVI(id), 0);
    std::vector<char> tiny(size_t(4 + 2) * 3 * (2 + 2), 0x40);
    EXPECT_EQ(zkavi_AddFrame(id, tiny.data()), 0);
    end(id);

    if (!tools_)
        GTEST_SKIP() << "ffprobe or ffmpeg missing";
    // Green inside the area, red everywhere else: the film must be green.
    const int width = 32, height = 16, x = 8, y = 5, padding = 24;
    std::vector<char> frame(size_t(width + padding) * 3 * (y + height));
    for (int row = 0; row < y + height; ++row)
        for (int col = 0; col < width + padding; ++col) {
            const bool inside = row >= y && col >= x && col < x + width;
            char* px = frame.data() + (size_t(row) * (width + padding) + col) * 3;
            px[0] = 0;                       // B
            px[1] = inside ? char(0xFF) : 0; // G
            px[2] = inside ? 0 : char(0xFF); // R
        }
    const std::string path = dir_ + "/offset.avi";
    id = 0;
    ASSERT_EQ(zkavi_InitAVI(&id, 1), 0);
    ASSERT_EQ(zkavi_SetImageSize(id, 1, width, height, x, y, padding), 0);
    ASSERT_EQ(zkavi_SetImageQuality(id, 90), 0);
    ASSERT_EQ(zkavi_OpenAVI(id, path.c_str()), 0);
    ASSERT_EQ(zkavi_StartAVI(id), 0);
    ASSERT_EQ(zkavi_AddFrame(id, frame.data()), 0);
    end(id);
    const std::string rgb = decodeFrame(path, 0);
    ASSERT_EQ(rgb.size(), size_t(width) * height * 3);
    long red = 0, green = 0;
    for (size_t i = 0; i < rgb.size(); i += 3) {
        red += static_cast<unsigned char>(rgb[i]);
        green += static_cast<unsigned char>(rgb[i + 1]);
    }
    const long pixels = long(width) * height;
    EXPECT_GT(green / pixels, 200);
    EXPECT_LT(red / pixels, 50);
}

namespace {

// Adds 160 x 120 frames of noise (which compresses badly) until the writer fails, 2000 at most;
// the last result.
int addNoiseUntilFull(AviWriter& writer, unsigned seed) {
    std::mt19937 noise(seed);
    std::vector<uint8_t> frame(160 * 120 * 3);
    int result = ZKAVI_SUCCESS;
    for (int i = 0; i < 2000 && result == ZKAVI_SUCCESS; ++i) {
        for (uint8_t& b : frame)
            b = static_cast<uint8_t>(noise());
        result = writer.addFrame(frame.data());
    }
    return result;
}

} // namespace

// A memory file sealed against growth stands in for a disk that fills up during the film: the
// frames that reached it whole are kept, and the header counts exactly those.
TEST_F(FilmWriterTest, AFilmCutShortByAFullDiskCountsOnlyTheFramesItHolds) {
    if (!tools_)
        GTEST_SKIP() << "ffprobe or ffmpeg missing";
    for (const off_t room : {off_t(200 * 1024), off_t(900 * 1024)}) {
        const int fd = memfd_create("full", MFD_CLOEXEC | MFD_ALLOW_SEALING);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(ftruncate(fd, room), 0);
        ASSERT_EQ(fcntl(fd, F_ADD_SEALS, F_SEAL_GROW), 0);
        AviWriter writer;
        ASSERT_EQ(writer.setImageSize(160, 120, 0, 0, 0), 0);
        ASSERT_EQ(writer.open(dup(fd)), 0);
        ASSERT_EQ(writer.setFrameRate(10), 0);
        ASSERT_EQ(writer.start(), 0);
        const int result = addNoiseUntilFull(writer, static_cast<unsigned>(room));
        EXPECT_EQ(result, ZKAVI_FILE_ERROR);
        const uint32_t kept = writer.frames();
        EXPECT_GT(kept, 0u);
        writer.stop();
        writer.close();

        struct stat st {};
        ASSERT_EQ(fstat(fd, &st), 0);
        std::vector<char> bytes(static_cast<size_t>(st.st_size));
        ASSERT_EQ(pread(fd, bytes.data(), bytes.size(), 0), static_cast<ssize_t>(bytes.size()));
        ::close(fd);
        const std::string path = dir_ + "/full.avi";
        std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));

        const std::string header =
            runCommand("ffprobe -v error -select_streams v:0 -show_entries stream=nb_frames "
                       "-of default=nw=1:nk=1 '" +
                       path + "' 2>&1");
        EXPECT_EQ(std::atoi(header.c_str()), static_cast<int>(kept)) << header;
        const auto info = probe(path);
        ASSERT_TRUE(info.count("nb_read_frames")) << (info.count("error") ? info.at("error") : "");
        EXPECT_EQ(info.at("nb_read_frames"), std::to_string(kept)) << room;
    }
}

// A disk that fills up but gets the space of a cut-off chunk back (a file size limit, in a child
// process): the frame that did not fit is cut off, the indexes of the kept frames follow the
// last whole frame, and the RIFF size covers the file exactly.
TEST_F(FilmWriterTest, AFullDiskCutLeavesTheIndexAndARiffSizeThatCoversTheFile) {
    for (const rlim_t room : {rlim_t(150 * 1024), rlim_t(700 * 1024)}) {
        SCOPED_TRACE(room);
        const std::string path = dir_ + "/limited.avi";
        std::remove(path.c_str());
        int pipeEnds[2];
        ASSERT_EQ(pipe(pipeEnds), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            std::signal(SIGXFSZ, SIG_IGN); // a write past the limit fails instead
            const rlimit limit{room, RLIM_INFINITY};
            setrlimit(RLIMIT_FSIZE, &limit);
            AviWriter writer;
            writer.setImageSize(160, 120, 0, 0, 0);
            writer.open(path);
            writer.setFrameRate(10);
            writer.start();
            const int result = addNoiseUntilFull(writer, static_cast<unsigned>(room));
            const uint32_t kept = result == ZKAVI_FILE_ERROR ? writer.frames() : 0;
            writer.stop();
            writer.close();
            (void)!write(pipeEnds[1], &kept, sizeof kept);
            _exit(0);
        }
        ::close(pipeEnds[1]);
        uint32_t kept = 0;
        const ssize_t got = read(pipeEnds[0], &kept, sizeof kept);
        ::close(pipeEnds[0]);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_EQ(got, static_cast<ssize_t>(sizeof kept));
        ASSERT_GT(kept, 0u) << "the disk never filled up";

        std::ifstream in(path, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), {});
        auto u32At = [&bytes](size_t at) {
            uint32_t v = 0;
            std::memcpy(&v, bytes.data() + at, 4);
            return v;
        };
        ASSERT_GE(bytes.size(), 12u);
        EXPECT_EQ(bytes.substr(0, 4), "RIFF");
        EXPECT_EQ(uint64_t{u32At(4)} + 8, bytes.size());
        // The top-level chunks, walked from the header, end with the index of every kept frame.
        std::vector<std::string> chunks;
        size_t at = 12;
        while (at + 8 <= bytes.size()) {
            chunks.push_back(bytes.substr(at, 4));
            const uint32_t size = u32At(at + 4);
            if (chunks.back() == "idx1") {
                EXPECT_EQ(size, 16 * kept);
            }
            at += 8 + size + (size & 1);
        }
        EXPECT_EQ(at, bytes.size());
        ASSERT_FALSE(chunks.empty());
        EXPECT_EQ(chunks.back(), "idx1");
        if (tools_) {
            const auto info = probe(path);
            ASSERT_TRUE(info.count("nb_read_frames")) << (info.count("error") ? info.at("error") : "");
            EXPECT_EQ(info.at("nb_read_frames"), std::to_string(kept));
        }
    }
}

} // namespace zeko::sim::test
