#include "pemblon/files/FileStream.h"

namespace PBN {
namespace Files {

FileStream::FileStream() = default;
FileStream::~FileStream() = default;

unsigned int FileStream::read(ByteArray&, const unsigned int&) {
    return 0;
}

} // namespace Files
} // namespace PBN
