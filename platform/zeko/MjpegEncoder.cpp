#include "platform/zeko/MjpegEncoder.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>

namespace zeko::sim {

namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

// libjpeg must not exit the process nor throw through its C frames: jump back to encode().
void onError(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}
void onMessage(j_common_ptr) {}

} // namespace

struct MjpegEncoder::State {
    jpeg_compress_struct cinfo{};
    ErrorManager error{};
};

MjpegEncoder::MjpegEncoder() : state_(new State) {
    state_->cinfo.err = jpeg_std_error(&state_->error.base);
    state_->error.base.error_exit = onError;
    state_->error.base.output_message = onMessage;
    jpeg_create_compress(&state_->cinfo);
}

MjpegEncoder::~MjpegEncoder() {
    jpeg_destroy_compress(&state_->cinfo);
    std::free(buffer_);
    delete state_;
}

bool MjpegEncoder::encode(const uint8_t* pixels, size_t strideBytes, int width, int height, int quality) {
    jpeg_compress_struct& cinfo = state_->cinfo;
    size_ = 0;
    // Room for an incompressible frame, so that libjpeg never has to grow the buffer mid-frame.
    const unsigned long wanted = static_cast<unsigned long>(width) * height * 3 + 65536;
    if (allocated_ < wanted) {
        std::free(buffer_);
        buffer_ = static_cast<unsigned char*>(std::malloc(wanted));
        allocated_ = buffer_ ? wanted : 0;
        if (!buffer_)
            return false;
    }
    capacity_ = allocated_;
    unsigned char* const previous = buffer_;
    if (setjmp(state_->error.jump)) {
        jpeg_abort_compress(&cinfo);
        if (buffer_ != previous) {
            std::free(previous);
            allocated_ = 0; // the size of libjpeg's own buffer is not known
        }
        return false;
    }
    // jpeg_mem_dest grows into a buffer of its own when ours is too small; ours is then ours to free.
    jpeg_mem_dest(&cinfo, &buffer_, &capacity_);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    JSAMPROW rows[16];
    while (cinfo.next_scanline < cinfo.image_height) {
        const JDIMENSION count = std::min<JDIMENSION>(16, cinfo.image_height - cinfo.next_scanline);
        for (JDIMENSION i = 0; i < count; ++i)
            rows[i] = const_cast<JSAMPROW>(pixels + (cinfo.next_scanline + i) * strideBytes);
        jpeg_write_scanlines(&cinfo, rows, count);
    }
    jpeg_finish_compress(&cinfo);
    if (buffer_ != previous) {
        std::free(previous);
        allocated_ = capacity_;
    }
    // jpeg_mem_dest reports the bytes written through the size it was given.
    size_ = capacity_;
    return true;
}

} // namespace zeko::sim
