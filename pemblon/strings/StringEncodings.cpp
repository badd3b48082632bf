#include "pemblon/strings/StringEncodings.h"

#include <memory>
#include <string>

#include "pemblon/core/Buffer.h"

namespace PBN {
namespace Strings {

namespace {

// The base64 text of count bytes, or an empty narrow text.
ostring encodeBytes(const unsigned char* bytes, unsigned int count) {
    Files::Buffer buffer(count);
    buffer.append(bytes, count);
    std::unique_ptr<char[]> encoded(buffer.base64Encode(false));
    return encoded ? ostring(encoded.get()) : ostring();
}

} // namespace

ostring& StringEncodings::base64Encode(ostring& text) {
    if (!text.size())
        return text;
    Files::Buffer buffer(text.size());
    buffer.append(text, false);
    std::unique_ptr<char[]> encoded(buffer.base64Encode(false));
    text = encoded ? ostring(encoded.get()) : ostring();
    return text;
}

ostring& StringEncodings::base64Decode(ostring& text) {
    if (!text.size())
        return text;
    const std::string encoded = text.str();
    Files::Buffer buffer;
    buffer.base64Decode(encoded.data(), static_cast<unsigned int>(encoded.size()));
    text = buffer.getString(-1, true);
    return text;
}

unsigned char* StringEncodings::crypt(const ostring& text, const ostring& key) {
    if (!text.size() || key == ostring())
        return nullptr;
    Files::Buffer buffer(text.size());
    buffer.append(text, false);
    return buffer.crypt(key);
}

ostring& StringEncodings::encrypt(ostring& text, const ostring& key) {
    std::unique_ptr<unsigned char[]> bytes(crypt(text, key));
    if (bytes)
        text = encodeBytes(bytes.get(), text.size());
    return text;
}

ostring& StringEncodings::decrypt(ostring& text, const ostring& key) {
    if (!text.size() || key == ostring())
        return text;
    const std::string encoded = text.str();
    Files::Buffer decoded;
    decoded.base64Decode(encoded.data(), static_cast<unsigned int>(encoded.size()));
    std::unique_ptr<unsigned char[]> bytes(decoded.crypt(key));
    Files::Buffer plain(decoded.bytesCount());
    plain.append(bytes.get(), decoded.bytesCount());
    text = plain.getString(-1, true);
    return text;
}

// ostring's own members, kept with the code they forward to.
ostring& ostring::base64Encode() {
    return StringEncodings::base64Encode(*this);
}

ostring& ostring::base64Decode() {
    return StringEncodings::base64Decode(*this);
}

unsigned char* ostring::crypt(const ostring& key) const {
    return StringEncodings::crypt(*this, key);
}

ostring& ostring::encrypt(const ostring& key) {
    return StringEncodings::encrypt(*this, key);
}

ostring& ostring::decrypt(const ostring& key) {
    return StringEncodings::decrypt(*this, key);
}

} // namespace Strings
} // namespace PBN
