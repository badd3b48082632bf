// Feeds the multipart parser one input twice, whole and in pieces whose sizes the input's first
// byte chooses, and stops on any difference in the parts collected: the parser must give the
// same parts however the body arrives.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "pemblon/net/MultipartParser.h"

namespace {

class CollectingSink : public PBN::Net::MultipartParser::Sink {
public:
    std::vector<std::string> parts; // header, then body, per taken part
    bool open = false;

    bool acceptHeader(const char* block, size_t length) override {
        if (open)
            std::abort(); // a header while a part is still open
        const std::string header(block, length);
        // Take parts whose header names an ID, refuse the others.
        if (header.find("Content-ID") == std::string::npos)
            return false;
        parts.push_back(header);
        parts.emplace_back();
        open = true;
        return true;
    }
    void partData(const char* data, size_t length) override {
        if (!open)
            std::abort(); // body bytes without an open part
        parts.back().append(data, length);
    }
    void endPart() override {
        if (!open)
            std::abort();
        open = false;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const size_t step = 1 + data[0] % 13;
    const char* body = reinterpret_cast<const char*>(data + 1);
    const size_t length = size - 1;

    CollectingSink whole;
    PBN::Net::MultipartParser oneShot(whole);
    oneShot.feed(body, length);

    CollectingSink pieces;
    PBN::Net::MultipartParser chunked(pieces, 16);
    for (size_t at = 0; at < length; at += step)
        chunked.feed(body + at, length - at < step ? length - at : step);

    if (whole.parts != pieces.parts || oneShot.state() != chunked.state())
        std::abort();
    oneShot.finish();
    chunked.finish();
    if (whole.parts != pieces.parts || whole.open || pieces.open)
        std::abort();
    return 0;
}
