#include "pemblon/net/SMTPText.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>

#include "pemblon/net/NetText.h"

namespace PBN {
namespace Net {
namespace SMTPText {

using Strings::ostring;

namespace {

constexpr size_t qpLineMax = 76;
constexpr size_t base64LineMax = 76;
constexpr size_t headerLineMax = 78;
// A plain word this long could not be folded into a line of headerLineMax.
constexpr size_t longestPlainWord = 66;
// 30 bytes are 40 Base64 characters: "=?UTF-8?B?" + 40 + "?=" makes 52 of the 75 allowed, so that
// the first word still fits a line after "Content-Description: ".
constexpr size_t encodedWordBytes = 30;
// Some readers (Python's email package) join the encoded words of a display name with blanks,
// so a name goes as one word, longer than the 75 characters RFC 2047 asks for, unless its line
// would not fit the 998 octets servers take.
constexpr size_t displayNameBytes = 600;
// What a line " <name>*nn*=UTF-8''...;" holds besides the name and the piece.
constexpr size_t parameterLineExtra = 16;

bool qpLiteral(unsigned char c) {
    return (c >= 33 && c <= 126 && c != '=') || c == ' ' || c == '\t';
}

void qpLine(std::string& out, const std::string& line) {
    static const char hex[] = "0123456789ABCDEF";
    size_t used = 0;
    for (size_t i = 0; i < line.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(line[i]);
        const bool last = i + 1 == line.size();
        char token[3];
        size_t n;
        if (qpLiteral(c) && !(last && (c == ' ' || c == '\t'))) {
            token[0] = static_cast<char>(c);
            n = 1;
        } else {
            token[0] = '=';
            token[1] = hex[c >> 4];
            token[2] = hex[c & 0xF];
            n = 3;
        }
        // A soft break takes one more character ("="), and the line's last token needs none.
        const size_t room = last ? qpLineMax : qpLineMax - 1;
        if (used + n > room) {
            out += "=\r\n";
            used = 0;
        }
        out.append(token, n);
        used += n;
    }
}

std::string flatBase64(const ByteArray& bytes) {
    const std::unique_ptr<char[]> flat(bytes.base64Encode(false));
    return flat ? std::string(flat.get()) : std::string();
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// A piece of a header value that is never broken; a line may break before it when `breakable`.
struct Piece {
    std::string text;
    bool breakable;
};

// The value cut before each run of blanks; a run of blanks at the end stays with its word, so that
// no line holds blanks only.
void addWords(std::vector<Piece>& pieces, const std::string& value, bool firstBreakable) {
    size_t start = 0;
    for (size_t i = 1; i <= value.size(); ++i) {
        if (i < value.size() && !(isBlank(value[i]) && !isBlank(value[i - 1])))
            continue;
        if (i < value.size() && value.find_first_not_of(" \t", i) == std::string::npos)
            continue;
        pieces.push_back({value.substr(start, i - start), start == 0 ? firstBreakable : true});
        start = i;
    }
}

std::string folded(const std::string& name, const std::vector<Piece>& pieces) {
    std::string out = name + ": ";
    const size_t head = out.size();
    size_t column = head;
    for (const Piece& p : pieces) {
        if (p.breakable && column > head && column + p.text.size() > headerLineMax) {
            const bool blank = !p.text.empty() && isBlank(p.text[0]);
            out += blank ? "\r\n" : "\r\n ";
            column = blank ? 0 : 1;
        }
        out += p.text;
        column += p.text.size();
    }
    return out + "\r\n";
}

// RFC 2231's attribute-char: what a parameter value may hold without percent-encoding.
bool attributeChar(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
           (c != 0 && std::strchr("!#$&+-.^_`|~", c) != nullptr);
}

} // namespace

std::string bodyLines(const ostring& text, std::string& charset) {
    ostring lines(text);
    lines.unixToDos();
    const std::string utf8 = Detail::utf8(lines);
    std::string error;
    std::string latin1 = ostring::convert(utf8, ostring("UTF-8"), ostring("ISO-8859-1"), &error);
    if (error.empty()) {
        charset = "ISO-8859-1";
        return latin1;
    }
    charset = "UTF-8";
    return utf8;
}

size_t longestLine(const std::string& crlfText) {
    size_t longest = 0, start = 0;
    while (true) {
        const size_t end = crlfText.find("\r\n", start);
        longest = std::max(longest, (end == std::string::npos ? crlfText.size() : end) - start);
        if (end == std::string::npos)
            return longest;
        start = end + 2;
    }
}

std::string dotStuffed(const std::string& crlfText) {
    std::string out;
    out.reserve(crlfText.size() + crlfText.size() / 64 + 1);
    bool lineStart = true;
    for (const char c : crlfText) {
        if (lineStart && c == '.')
            out += '.';
        out += c;
        lineStart = c == '\n';
    }
    return out;
}

std::string quotedPrintable(const std::string& crlfText) {
    std::string out;
    out.reserve(crlfText.size() + crlfText.size() / 8);
    size_t start = 0;
    while (true) {
        const size_t end = crlfText.find("\r\n", start);
        if (end == std::string::npos) {
            qpLine(out, crlfText.substr(start));
            break;
        }
        qpLine(out, crlfText.substr(start, end - start));
        out += "\r\n";
        start = end + 2;
    }
    return out;
}

std::string base64Lines(const ByteArray& bytes) {
    const std::string text = flatBase64(bytes);
    std::string out;
    out.reserve(text.size() + text.size() / base64LineMax * 2);
    for (size_t at = 0; at < text.size(); at += base64LineMax) {
        if (at)
            out += "\r\n";
        out.append(text, at, base64LineMax);
    }
    return out;
}

bool hasLineBreak(const ostring& text) {
    return Detail::lineBreaker(text, false) != nullptr;
}

bool opensPart(const std::string& crlfText, const std::string& boundary) {
    const std::string delimiter = "--" + boundary;
    for (size_t at = 0; at < crlfText.size();) {
        if (crlfText.compare(at, delimiter.size(), delimiter) == 0)
            return true;
        const size_t eol = crlfText.find("\r\n", at);
        if (eol == std::string::npos)
            break;
        at = eol + 2;
    }
    return false;
}

std::string boundaryFault(const ostring& boundary) {
    if (boundary.size() == 0 || boundary.size() > 70)
        return "it must have 1 to 70 characters";
    for (unsigned int i = 0; i < boundary.size(); ++i) {
        const uint32_t c = static_cast<uint32_t>(boundary[i]);
        const bool bchar =
            (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
            (c != 0 && c < 0x80 && std::strchr("'()+_,-./:=? ", static_cast<int>(c)) != nullptr);
        if (!bchar)
            return "it holds a character a MIME boundary cannot hold";
    }
    if (boundary[boundary.size() - 1] == L' ')
        return "it ends in a blank";
    return std::string();
}

ostring quotedParameter(const ostring& text) {
    ostring escaped(text);
    escaped.replaceAll(ostring("\\"), ostring("\\\\"));
    escaped.replaceAll(ostring("\""), ostring("\\\""));
    return escaped;
}

bool needsEncoding(const ostring& text) {
    size_t word = 0;
    for (unsigned int i = 0; i < text.size(); ++i) {
        const uint32_t c = static_cast<uint32_t>(text[i]);
        if (c >= 0x7F || (c < 0x20 && c != '\t'))
            return true;
        if (c == '=' && text[i + 1] == L'?')
            return true;
        word = (c == ' ' || c == '\t') ? 0 : word + 1;
        if (word > longestPlainWord)
            return true;
    }
    return false;
}

std::string encodedWords(const ostring& text) {
    return encodedWords(text, encodedWordBytes);
}

std::string displayNameWords(const ostring& text) {
    return encodedWords(text, displayNameBytes);
}

std::string encodedWords(const ostring& text, size_t bytesPerWord) {
    const std::string utf8 = Detail::utf8(text);
    std::string out;
    size_t at = 0;
    while (at < utf8.size()) {
        size_t end = std::min(at + bytesPerWord, utf8.size());
        // Back to the start of a character, so that every word decodes on its own.
        while (end < utf8.size() && end > at + 1 && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80)
            --end;
        const std::string chunk = utf8.substr(at, end - at);
        if (!out.empty())
            out += ' ';
        out += "=?UTF-8?B?" +
               flatBase64(ByteArray(reinterpret_cast<const unsigned char*>(chunk.data()),
                                    static_cast<uint32_t>(chunk.size()))) +
               "?=";
        at = end;
    }
    return out;
}

std::string headerText(const ostring& text) {
    return needsEncoding(text) ? encodedWords(text) : text.str();
}

std::string headerLine(const std::string& name, const std::string& value) {
    std::vector<Piece> pieces;
    addWords(pieces, value, false);
    return folded(name, pieces);
}

std::string headerList(const std::string& name, const std::vector<std::string>& items) {
    std::vector<Piece> pieces;
    for (size_t i = 0; i < items.size(); ++i) {
        // The comma goes with the word before it, so that the fold before that word counts it.
        if (i && !pieces.empty())
            pieces.back().text += ',';
        else if (i)
            pieces.push_back({",", false});
        addWords(pieces, items[i], i > 0);
    }
    return folded(name, pieces);
}

std::string extendedParameter(const std::string& name, const ostring& value) {
    static const char hex[] = "0123456789ABCDEF";
    // Percent-encoded characters, each kept whole within a piece.
    std::vector<std::string> characters;
    for (const char b : Detail::utf8(value)) {
        const unsigned char c = static_cast<unsigned char>(b);
        if (attributeChar(c))
            characters.emplace_back(1, b);
        else
            characters.push_back(std::string("%") + hex[c >> 4] + hex[c & 0xF]);
    }
    const size_t pieceMax = headerLineMax - name.size() - parameterLineExtra;
    std::vector<std::string> pieces(1);
    for (const std::string& c : characters) {
        if (pieces.back().size() + c.size() > pieceMax)
            pieces.emplace_back();
        pieces.back() += c;
    }
    if (pieces.size() == 1)
        return ";\r\n " + name + "*=UTF-8''" + pieces[0];
    std::string out;
    for (size_t i = 0; i < pieces.size(); ++i)
        out += ";\r\n " + name + "*" + std::to_string(i) + "*=" + (i == 0 ? "UTF-8''" : "") + pieces[i];
    return out;
}

} // namespace SMTPText
} // namespace Net
} // namespace PBN
