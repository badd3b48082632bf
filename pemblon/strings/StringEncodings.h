#pragma once

#include "pemblon/core/Export.h"
#include "pemblon/strings/ostring.h"

namespace PBN {
namespace Strings {

// The base64 and key transformations of a text, behind ostring's base64Encode, base64Decode,
// crypt, encrypt and decrypt. The text goes in as one byte per character (wide characters above
// 255 become 0) and comes back as UTF-16LE units, so decoding does not give back what encoding
// took: the pair reads texts that a peer wrote as UTF-16 and writes byte texts.
class PBN_API StringEncodings {
public:
    // Makes text the narrow base64 of its bytes (no line breaks); an empty text stays.
    static ostring& base64Encode(ostring& text);
    // Makes text the wide text of the decoded bytes read as UTF-16LE units; an odd last byte is
    // a unit of its own. An empty text stays.
    static ostring& base64Decode(ostring& text);
    // A new[] array of text.size() bytes XORed with key.str() repeating; null for an empty text
    // or key.
    static unsigned char* crypt(const ostring& text, const ostring& key);
    // crypt, then base64 into narrow text; nothing changes for an empty text or key.
    static ostring& encrypt(ostring& text, const ostring& key);
    // base64 decoding, the key XOR, then UTF-16LE units into wide text; nothing changes for an
    // empty text or key.
    static ostring& decrypt(ostring& text, const ostring& key);

protected:
    StringEncodings() = default;
};

} // namespace Strings
} // namespace PBN
