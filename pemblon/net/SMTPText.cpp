#include "pemblon/net/SMTPText.h"

#include <memory>

namespace PBN {
namespace Net {
namespace SMTPText {

using Strings::ostring;

namespace {

constexpr size_t qpLineMax = 76;
constexpr size_t base64LineMax = 76;

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

} // namespace

std::string crlfLines(const ostring& text) {
    ostring lines(text);
    lines.unixToDos();
    return lines.str();
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
    const std::unique_ptr<char[]> flat(bytes.base64Encode(false));
    if (!flat)
        return std::string();
    const std::string text(flat.get());
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
    for (unsigned int i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r' || text[i] == L'\n')
            return true;
    }
    return false;
}

ostring quotedParameter(const ostring& text) {
    ostring escaped(text);
    escaped.replaceAll(ostring("\\"), ostring("\\\\"));
    escaped.replaceAll(ostring("\""), ostring("\\\""));
    return escaped;
}

} // namespace SMTPText
} // namespace Net
} // namespace PBN
