#include "pemblon/net/SMTPSession.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

#include <wx/filename.h>

#include "pemblon/core/ByteArray.h"
#include "pemblon/core/Defines.h"
#include "pemblon/core/Exception.h"
#include "pemblon/core/Maths.h"
#include "pemblon/net/NetText.h"
#include "pemblon/net/SMTPException.h"
#include "pemblon/net/SMTPText.h"

namespace PBN {
namespace Net {

using Strings::ostring;

namespace {

constexpr size_t readChunk = 4096;
// The longest line servers take, without its CR LF.
constexpr size_t maxLineOctets = 998;
// RFC 5321's longest reply line, without its CR LF, and more lines than any server's reply
// holds: past either the peer is not an SMTP server, and reading on would never end.
constexpr size_t maxReplyLineOctets = 510;
constexpr size_t maxReplyLines = 100;

int replyCode(const std::string& reply) {
    if (reply.size() < 3)
        return 0;
    int code = 0;
    for (int i = 0; i < 3; ++i) {
        if (reply[i] < '0' || reply[i] > '9')
            return 0;
        code = code * 10 + (reply[i] - '0');
    }
    return code;
}

ostring fileName(const ostring& path) {
    return ostring(wxFileName(path.wxstr()).GetFullName());
}

bool isAscii(const ostring& text) {
    for (unsigned int i = 0; i < text.size(); ++i) {
        if (static_cast<uint32_t>(text[i]) >= 0x80)
            return false;
    }
    return true;
}

// Plain SMTP without extensions carries only ASCII addresses.
bool asciiAddresses(const SMTPMessage& message) {
    std::vector<SMTPAddr> all{message.getFrom(), message.getReplyTo()};
    for (unsigned int i = 0; i < message.getRecipientsCount(); ++i)
        all.push_back(message.getRecipientAt(i));
    for (unsigned int i = 0; i < message.getCCCount(); ++i)
        all.push_back(message.getCCAt(i));
    for (unsigned int i = 0; i < message.getBCCCount(); ++i)
        all.push_back(message.getBCCAt(i));
    for (const SMTPAddr& a : all) {
        if (!isAscii(a.getAddr()))
            return false;
    }
    return true;
}

// A reply as text: UTF-8 where its bytes are UTF-8, the program's encoding otherwise.
ostring replyText(const std::string& reply) {
    if (reply.empty())
        return ostring("");
    const wxString utf8 = wxString::FromUTF8(reply.data(), reply.size());
    return utf8.empty() ? ostring(reply, Defines::appEncoding()) : ostring(utf8);
}

// Why an address or its display name cannot go into a command or a header line; "" when both can.
// Display names become encoded words when they hold a character outside printable ASCII, so a NUL
// in them is kept; addresses go into commands as they are.
std::string mailboxRefusal(const std::string& what, const SMTPAddr& a) {
    const std::string reason = Detail::lineRefusal(what, a.getAddr());
    return reason.empty() ? Detail::lineRefusal(what + "'s display name", a.getFriendly(), false) : reason;
}

std::string listRefusal(const std::string& what, const std::vector<SMTPAddr>& list) {
    for (const SMTPAddr& a : list) {
        const std::string reason = mailboxRefusal(what, a);
        if (!reason.empty())
            return reason;
    }
    return std::string();
}

// Draws of a fresh boundary before giving up: each holds 122 random bits, which a text repeats only
// by chance.
constexpr int kBoundaryDraws = 8;

} // namespace

SMTPSession::SMTPSession(const ostring& mailerText, const uint32_t& timeoutMs, const ostring& boundaryText)
    : timeout(timeoutMs), ownBoundary(false), connected(false), lastResponse(""), lastResponseCode(-1),
      socket(wxSOCKET_NONE) {
    setMailer(mailerText);
    setBoundary(boundaryText);
}

SMTPSession::SMTPSession(const SMTPSession& other)
    : timeout(2000), ownBoundary(false), connected(false), lastResponse(""), lastResponseCode(-1),
      socket(wxSOCKET_NONE) {
    *this = other;
}

SMTPSession& SMTPSession::operator=(const SMTPSession& other) {
    if (this != &other) {
        mailer = other.mailer;
        timeout = other.timeout;
        boundary = other.boundary;
        ownBoundary = other.ownBoundary;
        host = other.host;
        connected = false;
        lastResponse = ostring("");
        lastResponseCode = -1;
    }
    return *this;
}

SMTPSession::~SMTPSession() {
    // A QUIT that fails or times out must not end the program from a destructor.
    try {
        disconnect();
    } catch (...) {
    }
}

void SMTPSession::setMailer(const ostring& value) {
    mailer = value.size() != 0 ? value : Defines::smtpDftMailer();
}

ostring SMTPSession::getMailer() const {
    return mailer;
}
void SMTPSession::setTimeout(const uint32_t& value) {
    timeout = value;
}
uint32_t SMTPSession::getTimeout() const {
    return timeout;
}

void SMTPSession::setBoundary(const ostring& value) {
    ownBoundary = value.size() != 0;
    boundary = ownBoundary ? value : Defines::smtpDftBoundary();
}

ostring SMTPSession::getBoundary() const {
    return boundary;
}
wxIPV4address SMTPSession::getHost() const {
    return host;
}
ostring SMTPSession::getLastResponse() const {
    return lastResponse;
}
int32_t SMTPSession::getLastResponseCode() const {
    return lastResponseCode;
}

void SMTPSession::waitTimes(long& seconds, long& milliseconds) const {
    // Whole seconds rounded half up, the rest (possibly negative) in milliseconds.
    seconds = static_cast<long>(std::floor(timeout / 1000.0 + 0.5));
    milliseconds = static_cast<long>(timeout) - seconds * 1000;
}

bool SMTPSession::writeAll(const std::string& bytes) {
    // A socket without wxSOCKET_WAITALL may take part of a large block; the rest follows after
    // another bounded wait.
    long seconds, milliseconds;
    waitTimes(seconds, milliseconds);
    size_t done = 0;
    do {
        if (!socket.WaitForWrite(seconds, milliseconds))
            throw Exception(ostring("Timeout occurred while waiting for send message."), Exception::SEVERE);
        if (done == bytes.size())
            break;
        socket.Write(bytes.data() + done, static_cast<wxUint32>(bytes.size() - done));
        if (socket.Error() || socket.LastCount() == 0)
            return false;
        done += socket.LastCount();
    } while (done < bytes.size());
    return true;
}

bool SMTPSession::sendMsg(const ostring& text) {
    return writeAll(Detail::bytes(text));
}

bool SMTPSession::readResp(const int& expected) {
    // The whole reply is bounded by the time-out, not only each wait: a server sending a byte
    // at a time would otherwise hold the caller for ever.
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeout);
    std::string reply;
    char chunk[readChunk];
    size_t lineStart = 0, scanFrom = 0, lines = 0, end = std::string::npos;
    while (end == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if ((!reply.empty() && left.count() <= 0) || !socket.WaitForRead(0, std::max<long>(0, left.count())))
            throw Exception(ostring("Timeout occurred while waiting for read."), Exception::SEVERE);
        socket.Read(chunk, sizeof chunk);
        // No bytes after the socket became readable: the server closed the connection.
        if (socket.Error() || socket.LastCount() == 0)
            throw Exception(ostring("Error while receiving data."), Exception::SEVERE);
        reply.append(chunk, socket.LastCount());
        // Each byte is looked at once; only a CR at the end of the previous read is looked at again.
        while (end == std::string::npos) {
            const size_t eol = reply.find("\r\n", scanFrom);
            // A CR that ends the read may be the line's own end, its LF in the next read.
            const size_t pendingCR = eol == std::string::npos && reply.back() == '\r' ? 1 : 0;
            const size_t lineLength = (eol == std::string::npos ? reply.size() - pendingCR : eol) - lineStart;
            if (lineLength > maxReplyLineOctets || (eol != std::string::npos && ++lines > maxReplyLines))
                refuseReply(reply.substr(0, maxReplyLineOctets));
            if (eol == std::string::npos) {
                scanFrom = reply.size() - 1;
                break;
            }
            // Every line of a multi-line reply but the last has "-" as its fourth character.
            if (lineLength < 4 || reply[lineStart + 3] != '-')
                end = eol + 2;
            lineStart = scanFrom = eol + 2;
        }
    }
    reply.resize(end - 2);
    lastResponseCode = replyCode(reply);
    if (lastResponseCode != expected)
        lastResponse = replyText(reply);
    return lastResponseCode == expected;
}

void SMTPSession::refuseReply(const std::string& received) {
    lastResponseCode = replyCode(received);
    lastResponse = replyText(received);
    // What else the peer sends cannot be told from a reply any more: the conversation is over.
    socket.Close();
    connected = false;
    throw SMTPException(ostring("The SMTP server's reply is too long"));
}

bool SMTPSession::connect(const wxIPV4address& address) {
    if (connected && !disconnect())
        return false;
    host = address;
    if (timeout / 1000.0 > 1.0)
        socket.SetTimeout(static_cast<long>(Maths::roundUI(timeout / 1000.0)));
    if (!socket.Connect(host, true))
        return false;
    connected = socket.IsConnected();
    if (!connected)
        return false;
    try {
        if (!readResp(220)) {
            disconnect();
            throw SMTPException(ostring("Unexpected SMTP login command"));
        }
        wxIPV4address local;
        local.LocalHost();
        if (!sendMsg(ostring("HELO ") + ostring(local.Hostname()) + ostring(Defines::smtpMsgTerminator()))) {
            disconnect();
            return false;
        }
        if (readResp(250))
            return true;
        disconnect();
    } catch (const SMTPException&) {
        throw;
    } catch (...) {
        // A server that did not answer in time, or broke off, never opened a session: a QUIT
        // would only wait out the time-out once more.
        socket.Close();
        connected = false;
        throw;
    }
    throw SMTPException(ostring("Unexpected SMTP login command"));
}

bool SMTPSession::connect(const ostring& hostName, const unsigned int& port) {
    wxIPV4address address;
    // A failed look-up leaves 0.0.0.0, which reaches whatever listens locally: refuse instead.
    if (!address.Hostname(hostName.wxstr()))
        return false;
    address.Service(static_cast<unsigned short>(port & 0xFFFF));
    return connect(address);
}

bool SMTPSession::disconnect() {
    bool quit = false;
    if (connected) {
        if (!sendMsg(ostring("QUIT") + ostring(Defines::smtpMsgTerminator())))
            return false;
        if (!readResp(221)) {
            socket.Close();
            connected = false;
            throw Exception(ostring("Unexpected SMTP quit command"), Exception::SEVERE);
        }
        connected = false;
        quit = true;
    }
    const bool closed = socket.Close();
    return closed && quit;
}

ostring SMTPSession::refusal(const SMTPMessage& message) const {
    if (!connected)
        return ostring("Mail refused: the session is not connected");
    if (!message.from.isValid())
        return ostring("Mail refused: the message has no sender");
    if (message.recipients.empty())
        return ostring("Mail refused: the message has no To recipient");
    for (const ostring& path : message.attachmentPaths) {
        if (!wxFileName::IsFileReadable(path.wxstr()))
            return ostring("Mail refused: an attachment cannot be read: ") + path;
    }
    // A line break in any header text or command argument would add lines of the caller's
    // choosing to the mail or to the conversation.
    std::string reason = mailboxRefusal("the sender", message.from);
    if (reason.empty())
        reason = mailboxRefusal("the reply-to address", message.replyTo);
    if (reason.empty())
        reason = listRefusal("a recipient", message.recipients);
    if (reason.empty())
        reason = listRefusal("a Cc recipient", message.ccs);
    if (reason.empty())
        reason = listRefusal("a Bcc recipient", message.bccs);
    if (reason.empty())
        reason = Detail::lineRefusal("the subject", message.subject, false);
    if (reason.empty())
        reason = Detail::lineRefusal("the session's mailer", mailer, false);
    for (size_t i = 0; reason.empty() && i < message.attachmentPaths.size(); ++i) {
        reason = Detail::lineRefusal("an attachment's name", message.attachmentNames[i], false);
        if (reason.empty())
            reason =
                Detail::lineRefusal("an attachment's file name", fileName(message.attachmentPaths[i]), false);
    }
    if (reason.empty() && ownBoundary) {
        reason = Detail::lineRefusal("the session's boundary", boundary);
        const std::string fault = SMTPText::boundaryFault(boundary);
        if (reason.empty() && !message.attachmentPaths.empty() && !fault.empty())
            reason = "the session's boundary cannot serve: " + fault;
    }
    return reason.empty() ? ostring() : ostring("Mail refused: ") + ostring(reason.c_str());
}

SMTPSession::Composed SMTPSession::compose(const SMTPMessage& message, const bool& html) const {
    const std::string eol = Defines::smtpMsgTerminator();
    Composed c;
    // The text in a charset that holds all of it, its lines ending in CR LF. Quoted-printable
    // keeps every line within the 1000 octets servers take.
    std::string charset;
    const std::string lines = SMTPText::bodyLines(message.text, charset);
    c.multipart = !message.attachmentPaths.empty();
    const bool quoted = c.multipart || SMTPText::longestLine(lines) > maxLineOctets;
    c.textType = "Content-Type: text/" + std::string(html ? "html" : "plain") + "; charset=\"" + charset +
                 "\"" + eol + (quoted ? "Content-Transfer-Encoding: quoted-printable" + eol : std::string());
    c.text = quoted ? SMTPText::quotedPrintable(lines) : lines;

    for (size_t i = 0; i < message.attachmentPaths.size(); ++i) {
        const ostring f = fileName(message.attachmentPaths[i]);
        std::string part;
        // A name ASCII cannot hold: encoded words for older readers, RFC 2231 for the others.
        if (SMTPText::needsEncoding(f)) {
            part += SMTPText::headerLine("Content-Type", "application/octet-stream; name=\"" +
                                                             SMTPText::encodedWords(f) + "\"");
            part += "Content-Transfer-Encoding: base64" + eol;
            part +=
                SMTPText::headerLine("Content-Description", SMTPText::headerText(message.attachmentNames[i]));
            part +=
                "Content-Disposition: attachment" + SMTPText::extendedParameter("filename", f) + eol + eol;
        } else {
            const std::string quotedName = SMTPText::quotedParameter(f).str();
            part += "Content-Type: application/octet-stream; name=\"" + quotedName + "\"" + eol;
            part += "Content-Transfer-Encoding: base64" + eol;
            part +=
                SMTPText::headerLine("Content-Description", SMTPText::headerText(message.attachmentNames[i]));
            part += "Content-Disposition: attachment; filename=\"" + quotedName + "\"" + eol + eol;
        }
        c.partHeads.push_back(part);
    }
    if (!c.multipart)
        return c;

    // The boundary occurs in none of the parts, or a reader would open a part of the text's choosing
    // there. The Base64 bodies cannot hold "--". Without a boundary of the caller's, each message gets
    // a fresh one, drawn again on a hit; the caller's own is kept where it is safe.
    const auto safe = [&](const std::string& b) {
        if (SMTPText::opensPart(c.text, b))
            return false;
        for (const std::string& head : c.partHeads) {
            if (SMTPText::opensPart(head, b))
                return false;
        }
        return true;
    };
    if (ownBoundary) {
        c.boundary = Detail::utf8(boundary);
        if (!safe(c.boundary)) {
            c.boundary.clear();
            c.refusal = "Mail refused: a line of the text begins with the session's boundary, which would "
                        "open a part of the text's own";
        }
        return c;
    }
    for (int draw = 0; draw < kBoundaryDraws && c.boundary.empty(); ++draw) {
        const std::string b = Detail::utf8(Defines::smtpDftBoundary());
        if (safe(b))
            c.boundary = b;
    }
    if (c.boundary.empty())
        c.refusal = "Mail refused: no boundary could be drawn that the text does not hold";
    return c;
}

bool SMTPSession::send(const SMTPMessage& message, const bool& html) {
    // A refused message leaves its reason where a server's refusal would be.
    ostring reason = refusal(message);
    Composed composed;
    if (reason.size() == 0) {
        composed = compose(message, html);
        reason = ostring(composed.refusal.c_str());
    }
    if (reason.size() != 0) {
        lastResponse = reason;
        lastResponseCode = -1;
        return false;
    }
    if (!asciiAddresses(message)) {
        lastResponse = ostring("Mail refused: a mail address holds a character that is not ASCII");
        lastResponseCode = -1;
        throw SMTPException(ostring("A mail address holds a character that is not ASCII"));
    }
    const ostring eol(Defines::smtpMsgTerminator());
    if (!sendMsg(ostring("MAIL FROM:<") + message.from.getAddr() + ostring(">") + eol))
        return false;
    if (!readResp(250))
        throw SMTPException(ostring("Unexpected MAIL FROM response received"));
    for (const std::vector<SMTPAddr>* list : {&message.recipients, &message.ccs, &message.bccs}) {
        for (const SMTPAddr& rcpt : *list) {
            if (!sendMsg(ostring("RCPT TO:<") + rcpt.getAddr() + ostring(">") + eol))
                return false;
            if (!readResp(250))
                throw SMTPException(ostring("Unexpected RCPT TO response received"));
        }
    }
    if (!sendMsg(ostring("DATA") + eol))
        return false;
    if (!readResp(354))
        throw SMTPException(ostring("Unexpected MAIL FROM response received"));
    if (!sendData(message, composed))
        return false;
    if (!readResp(250))
        throw Exception(ostring("An unexpected end of message response was received"), Exception::SEVERE);
    return true;
}

bool SMTPSession::sendData(const SMTPMessage& message, const Composed& composed) {
    const std::string eol = Defines::smtpMsgTerminator();
    const std::string& b = composed.boundary;

    if (!sendMsg(message.getHeader(mailer)))
        return false;

    std::string mime = "MIME-Version: 1.0" + eol;
    if (composed.multipart) {
        mime += "Content-Type: multipart/mixed; boundary=\"" + b + "\"" + eol + eol;
        mime += "This is a multi-part message in MIME format." + eol + eol;
        mime += "--" + b + eol;
    }
    mime += composed.textType + eol;
    if (!writeAll(mime))
        return false;

    // No line of the text may end the data early.
    const std::string text = SMTPText::dotStuffed(composed.text);
    if (!writeAll(text))
        return false;

    for (size_t i = 0; i < message.attachmentPaths.size(); ++i) {
        const ostring& path = message.attachmentPaths[i];
        if (!writeAll(eol + "--" + b + eol + composed.partHeads[i]))
            return false;
        const ByteArray bytes = ByteArray::readFile(path);
        // An empty read of a file that is not empty would send a damaged attachment as success.
        if (bytes.size() == 0 && wxFileName::GetSize(path.wxstr()) != 0) {
            lastResponse = ostring("Mail not finished: an attachment could not be read: ") + path;
            lastResponseCode = -1;
            return false;
        }
        if (!writeAll(SMTPText::base64Lines(bytes)))
            return false;
    }
    if (composed.multipart)
        return writeAll(eol + "--" + b + "--" + eol + "." + eol);
    // The line end before the final "." ends the text's last line; a text that ends in one
    // already gains no empty line.
    const bool endsInLineEnd =
        text.size() >= eol.size() && text.compare(text.size() - eol.size(), eol.size(), eol) == 0;
    return writeAll(endsInLineEnd ? "." + eol : eol + "." + eol);
}

} // namespace Net
} // namespace PBN
