// Drives the film writer with arbitrary frame geometries (1 x 1, odd widths, line padding, an
// offset area), qualities and frame contents, in an in-memory file, and checks that what it
// wrote is a consistent RIFF file. Writers of this kind have overflowed on exactly such frames.
#include "platform/zeko/AviWriter.h"
#include "platform/zeko/zeko_tools.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

using zeko::sim::AviWriter;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 10)
        return 0;
    const int width = 1 + (data[0] | (data[1] & 1) << 8) % 300;
    const int height = 1 + data[2] % 200;
    const int padding = data[3] % 17;
    const int x = data[4] % 20;
    const int y = data[5] % 20;
    const int quality = 1 + data[6] % 100;
    const int frames = 1 + data[7] % 4;
    const double rate = 0.5 + data[8];
    const bool segments = data[9] & 1;
    data += 10;
    size -= 10;

    const int fd = memfd_create("avi", MFD_CLOEXEC);
    if (fd < 0)
        return 0;
    AviWriter writer;
    if (segments)
        writer.setSegmentLimit(4096);
    const int sized = writer.setImageSize(width, height, x, y, padding);
    // An area reaching past the frame row is refused, and nothing else is.
    if (x > padding) {
        if (sized != ZKAVI_INVALID_PARAMETER)
            abort();
        close(fd);
        return 0;
    }
    if (sized != ZKAVI_SUCCESS || writer.setQuality(quality) != 0 || writer.open(fd) != 0 ||
        writer.setFrameRate(rate) != 0 || writer.start() != 0)
        abort();

    // Exactly the bytes the geometry says a frame has: the sanitizer sees any read beyond.
    const size_t frameBytes = size_t(width + padding) * 3 * size_t(y + height);
    for (int f = 0; f < frames; ++f) {
        std::vector<uint8_t> frame(frameBytes);
        for (size_t i = 0; i < frameBytes; ++i)
            frame[i] = size ? data[(i + size_t(f) * 7) % size] : uint8_t(i);
        if (writer.addFrame(frame.data()) != ZKAVI_SUCCESS)
            abort();
    }
    if (writer.stop() != 0)
        abort();
    // The writer closes the descriptor: keep a second one to read the result.
    const int check = dup(fd);
    if (writer.close() != 0)
        abort();
    const uint64_t written = writer.size();
    if (lseek(check, 0, SEEK_END) != static_cast<off_t>(written))
        abort();
    std::vector<uint8_t> file(written);
    if (pread(check, file.data(), file.size(), 0) != static_cast<ssize_t>(file.size()))
        abort();
    close(check);
    uint32_t riff;
    std::memcpy(&riff, file.data() + 4, 4);
    if (std::memcmp(file.data(), "RIFF", 4) != 0 || std::memcmp(file.data() + 8, "AVI ", 4) != 0)
        abort();
    // The first RIFF either is the whole file or is followed by an AVIX segment.
    if (uint64_t(riff) + 8 > written)
        abort();
    if (uint64_t(riff) + 8 != written &&
        (uint64_t(riff) + 20 > written || std::memcmp(file.data() + riff + 8 + 8, "AVIX", 4) != 0))
        abort();
    return 0;
}
