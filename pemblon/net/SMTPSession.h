#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <wx/sckaddr.h>
#include <wx/socket.h>

#include "pemblon/core/Export.h"
#include "pemblon/net/SMTPMessage.h"
#include "pemblon/strings/ostring.h"

namespace PBN {
namespace Net {

// One plain SMTP conversation (HELO, MAIL FROM, RCPT TO, DATA, QUIT; no extensions, no
// authentication, no encryption) over a wx socket, sending SMTPMessage objects as MIME mail: one
// text part, or multipart/mixed with Base64 attachments. Everything runs on the caller's thread
// (the program's main thread, as wx sockets require); every write waits at most the session's
// time-out, and so does every whole reply.
//
// Failures: false from connect, disconnect and send reports a connection that could not be made
// or a write that failed; a reply that does not come in time, a receive error or an unexpected
// reply is thrown (PBN::Exception or SMTPException, always SEVERE), and the session keeps its
// state (a failed transaction is not reset; the caller may disconnect).
class PBN_API SMTPSession {
public:
    // An empty mailer becomes Defines::smtpDftMailer(), an empty boundary a fresh
    // Defines::smtpDftBoundary(). timeout in milliseconds.
    SMTPSession(const Strings::ostring& mailer = Strings::ostring(), const uint32_t& timeout = 2000,
                const Strings::ostring& boundary = Strings::ostring());
    // Copies mailer, time-out, boundary and host only: a copy is never connected.
    SMTPSession(const SMTPSession& other);
    // Copies mailer, time-out, boundary and host and marks this session not connected (without
    // QUIT; its socket stays open until disconnect or destruction).
    SMTPSession& operator=(const SMTPSession& other);
    // Disconnects; no exception leaves it.
    virtual ~SMTPSession();

    void setMailer(const Strings::ostring& mailer);
    Strings::ostring getMailer() const;
    // Takes effect at the next wait (the connection time-out at the next connect).
    void setTimeout(const uint32_t& timeout);
    uint32_t getTimeout() const;
    // A boundary of the caller's serves every multipart message, which is refused when a line of
    // one of its parts begins with it. An empty value draws a default (getBoundary gives it), which
    // stands for a fresh boundary drawn for each message, one that occurs in none of its parts.
    void setBoundary(const Strings::ostring& boundary);
    Strings::ostring getBoundary() const;
    wxIPV4address getHost() const;
    // The text (without its last CR LF) of the last reply whose code was not the expected one
    // (UTF-8 where its bytes are UTF-8), or the reason send refused a message itself (a non-ASCII
    // address included).
    Strings::ostring getLastResponse() const;
    // The code of the last reply read; -1 before any, 0 for a reply not starting with 3 digits.
    // A message send refuses itself sets both: the reason as the text, -1 as the code.
    int32_t getLastResponseCode() const;

    // Connects (after disconnecting a connected session), reads the greeting (220) and greets
    // with HELO (250). False when the connection cannot be made, the earlier connection cannot be
    // closed or HELO cannot be written. Throws SMTPException "Unexpected SMTP login command" after
    // a QUIT exchange when the greeting or the HELO reply is not the expected one; PBN::Exception
    // on time-outs and receive errors, after closing the connection without QUIT.
    bool connect(const wxIPV4address& address);
    // As above; false as well when the host name cannot be resolved.
    bool connect(const Strings::ostring& hostName, const unsigned int& port);
    // QUIT (221) and close. False when not connected (the socket is closed all the same) or when
    // QUIT cannot be written. Throws PBN::Exception "Unexpected SMTP quit command" (after closing)
    // when the reply is not 221, and on time-outs and receive errors.
    bool disconnect();
    // Sends one message; html selects text/html for its text. False, with nothing sent and the
    // reason in getLastResponse, when not connected, when the message is not valid, when an
    // attachment cannot be read, when an address, display name, the subject, the mailer, the
    // boundary or an attachment name holds a line break (an address or the boundary a NUL as
    // well), or when the caller's boundary is no MIME boundary or begins a line of a part; false as
    // well when a write fails. Throws
    // SMTPException on an unexpected reply to MAIL FROM, RCPT TO or DATA, PBN::Exception on an unexpected
    // reply to the end of data, on time-outs and on receive errors. SMTPException "The SMTP server's reply is
    // too long" (from every operation that reads a reply) when a reply line exceeds 512 octets or a reply 100
    // lines; the session is then closed and not connected.
    bool send(const SMTPMessage& message, const bool& html = false);

protected:
    // Writes the narrow form of text, all of it. False on a socket error; throws PBN::Exception
    // when the socket does not become writable in time.
    bool sendMsg(const Strings::ostring& text);
    // Reads one whole reply (every line of a multi-line reply) and tells whether its code is
    // `expected`. Throws PBN::Exception when the whole reply has not come within the time-out,
    // on a receive error or a connection closed before the reply was complete; SMTPException
    // (after closing the session) on a reply too long to be one.
    bool readResp(const int& expected);

private:
    bool writeAll(const std::string& bytes);
    void waitTimes(long& seconds, long& milliseconds) const;
    // A message's DATA as far as it is known before sending: the text part's type lines and
    // encoded text, each attachment's part header and the boundary that occurs in none of them.
    struct Composed {
        bool multipart = false;
        std::string textType;
        std::string text;
        std::vector<std::string> partHeads;
        std::string boundary;
        std::string refusal; // why no boundary can serve; "" when one does
    };
    Strings::ostring refusal(const SMTPMessage& message) const;
    Composed compose(const SMTPMessage& message, const bool& html) const;
    [[noreturn]] void refuseReply(const std::string& received);
    bool sendData(const SMTPMessage& message, const Composed& composed);

    Strings::ostring mailer;
    uint32_t timeout;
    Strings::ostring boundary;
    bool ownBoundary; // the caller's boundary, not one drawn for each message
    bool connected;
    wxIPV4address host;
    Strings::ostring lastResponse;
    int32_t lastResponseCode;
    wxSocketClient socket;
};

} // namespace Net
} // namespace PBN
