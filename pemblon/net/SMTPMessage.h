#pragma once

#include <vector>

#include "pemblon/core/Export.h"
#include "pemblon/net/SMTPAddr.h"
#include "pemblon/strings/ostring.h"

namespace PBN {
namespace Net {

class SMTPSession;

// One mail to send: sender, reply-to, To, CC and BCC lists, subject, text and file attachments.
// Nothing here throws except allocation failures; what cannot be sent shows in isValid.
// Indices are 0-based and must be below the matching count (the caller's duty).
class PBN_API SMTPMessage {
public:
    // The sender and the reply-to mailbox are both made from `from` (no display name); the To
    // list is SMTPAddr::interpretList(to).
    SMTPMessage(const Strings::ostring& from = Strings::ostring(),
                const Strings::ostring& to = Strings::ostring(),
                const Strings::ostring& subject = Strings::ostring(),
                const Strings::ostring& text = Strings::ostring());
    SMTPMessage(const SMTPMessage& other);
    SMTPMessage& operator=(const SMTPMessage& other);
    virtual ~SMTPMessage();

    SMTPAddr getFrom() const;
    void setFrom(const Strings::ostring& address);
    void setFrom(const SMTPAddr& address);
    SMTPAddr getReplyTo() const;
    // An empty text removes the "Reply-To: " line.
    void setReplyTo(const Strings::ostring& address);
    void setReplyTo(const SMTPAddr& address);
    Strings::ostring getSubject() const;
    void setSubject(const Strings::ostring& text);
    Strings::ostring getText() const;
    void setText(const Strings::ostring& text);

    // To list. A text adds every mailbox interpretList makes of it.
    unsigned int getRecipientsCount() const;
    SMTPAddr getRecipientAt(const unsigned int& index) const;
    void removeRecipientAt(const unsigned int& index);
    void addRecipient(const Strings::ostring& addresses);
    void addRecipient(const SMTPAddr& address);
    void clearRecipients();

    unsigned int getCCCount() const;
    SMTPAddr getCCAt(const unsigned int& index) const;
    void removeCCAt(const unsigned int& index);
    void addCC(const Strings::ostring& addresses);
    void addCC(const SMTPAddr& address);
    void clearCCs();

    unsigned int getBCCCount() const;
    SMTPAddr getBCCAt(const unsigned int& index) const;
    void removeBCCAt(const unsigned int& index);
    void addBCC(const Strings::ostring& addresses);
    void addBCC(const SMTPAddr& address);
    void clearBCCs();

    unsigned int getAttachmentsCount() const;
    Strings::ostring getAttachmentNameAt(const unsigned int& index) const;
    Strings::ostring getAttachmentPathAt(const unsigned int& index) const;
    // An empty path adds nothing; an empty name becomes the path's file name with extension.
    void addAttachment(const Strings::ostring& path, const Strings::ostring& name = Strings::ostring());
    void removeAttachmentAt(const unsigned int& index);
    void clearAttachments();

    // True when the sender has an address, the To list is not empty (CC and BCC do not count) and
    // every attachment path names an existing file.
    bool isValid() const;

    // An empty message; the URL is not read.
    static SMTPMessage mailto(const Strings::ostring& url);

protected:
    // The header lines From, To, Cc (when there are CCs), Subject, Date (now), X-Mailer (when
    // mailer is not empty) and Reply-To (when it has an address), each ending in CR LF. BCCs never
    // appear. Text ASCII cannot hold (display names, subject, mailer) goes as RFC 2047 encoded
    // words, and long lines are folded.
    Strings::ostring getHeader(const Strings::ostring& mailer) const;

private:
    friend class SMTPSession;

    SMTPAddr from;
    SMTPAddr replyTo;
    Strings::ostring subject;
    Strings::ostring text;
    std::vector<SMTPAddr> recipients;
    std::vector<SMTPAddr> ccs;
    std::vector<SMTPAddr> bccs;
    std::vector<Strings::ostring> attachmentNames;
    std::vector<Strings::ostring> attachmentPaths;
};

} // namespace Net
} // namespace PBN
