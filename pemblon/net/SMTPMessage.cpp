#include "pemblon/net/SMTPMessage.h"

#include <sstream>

#include <wx/datetime.h>
#include <wx/filefn.h>
#include <wx/filename.h>

#include "pemblon/core/Defines.h"
#include "pemblon/core/HelperFuncs.h"

namespace PBN {
namespace Net {

using Strings::ostring;

namespace {

void appendList(std::vector<SMTPAddr>& list, const ostring& addresses) {
    const std::vector<SMTPAddr> parsed = SMTPAddr::interpretList(addresses);
    list.insert(list.end(), parsed.begin(), parsed.end());
}

void writeList(std::ostream& os, const std::vector<SMTPAddr>& list) {
    for (size_t i = 0; i < list.size(); ++i) {
        if (i)
            os << ',';
        os << list[i].getFullAddr();
    }
}

} // namespace

SMTPMessage::SMTPMessage(const ostring& fromText, const ostring& to, const ostring& subjectText,
                         const ostring& bodyText)
    : from(fromText), replyTo(fromText), subject(subjectText), text(bodyText),
      recipients(SMTPAddr::interpretList(to)) {}

SMTPMessage::SMTPMessage(const SMTPMessage& other) = default;

SMTPMessage& SMTPMessage::operator=(const SMTPMessage& other) {
    if (this != &other) {
        from = other.from;
        replyTo = other.replyTo;
        subject = other.subject;
        text = other.text;
        recipients = other.recipients;
        ccs = other.ccs;
        bccs = other.bccs;
        attachmentNames = other.attachmentNames;
        attachmentPaths = other.attachmentPaths;
    }
    return *this;
}

SMTPMessage::~SMTPMessage() {}

SMTPAddr SMTPMessage::getFrom() const {
    return from;
}
void SMTPMessage::setFrom(const ostring& address) {
    from = SMTPAddr(address);
}
void SMTPMessage::setFrom(const SMTPAddr& address) {
    from = address;
}
SMTPAddr SMTPMessage::getReplyTo() const {
    return replyTo;
}
void SMTPMessage::setReplyTo(const ostring& address) {
    replyTo = SMTPAddr(address);
}
void SMTPMessage::setReplyTo(const SMTPAddr& address) {
    replyTo = address;
}
ostring SMTPMessage::getSubject() const {
    return subject;
}
void SMTPMessage::setSubject(const ostring& value) {
    subject = value;
}
ostring SMTPMessage::getText() const {
    return text;
}
void SMTPMessage::setText(const ostring& value) {
    text = value;
}

unsigned int SMTPMessage::getRecipientsCount() const {
    return static_cast<unsigned int>(recipients.size());
}
SMTPAddr SMTPMessage::getRecipientAt(const unsigned int& index) const {
    return recipients[index];
}
void SMTPMessage::removeRecipientAt(const unsigned int& index) {
    recipients.erase(recipients.begin() + index);
}
void SMTPMessage::addRecipient(const ostring& addresses) {
    appendList(recipients, addresses);
}
void SMTPMessage::addRecipient(const SMTPAddr& address) {
    recipients.push_back(address);
}
void SMTPMessage::clearRecipients() {
    recipients.clear();
}

unsigned int SMTPMessage::getCCCount() const {
    return static_cast<unsigned int>(ccs.size());
}
SMTPAddr SMTPMessage::getCCAt(const unsigned int& index) const {
    return ccs[index];
}
void SMTPMessage::removeCCAt(const unsigned int& index) {
    ccs.erase(ccs.begin() + index);
}
void SMTPMessage::addCC(const ostring& addresses) {
    appendList(ccs, addresses);
}
void SMTPMessage::addCC(const SMTPAddr& address) {
    ccs.push_back(address);
}
void SMTPMessage::clearCCs() {
    ccs.clear();
}

unsigned int SMTPMessage::getBCCCount() const {
    return static_cast<unsigned int>(bccs.size());
}
SMTPAddr SMTPMessage::getBCCAt(const unsigned int& index) const {
    return bccs[index];
}
void SMTPMessage::removeBCCAt(const unsigned int& index) {
    bccs.erase(bccs.begin() + index);
}
void SMTPMessage::addBCC(const ostring& addresses) {
    appendList(bccs, addresses);
}
void SMTPMessage::addBCC(const SMTPAddr& address) {
    bccs.push_back(address);
}
void SMTPMessage::clearBCCs() {
    bccs.clear();
}

unsigned int SMTPMessage::getAttachmentsCount() const {
    return static_cast<unsigned int>(attachmentNames.size());
}

ostring SMTPMessage::getAttachmentNameAt(const unsigned int& index) const {
    return attachmentNames[index];
}
ostring SMTPMessage::getAttachmentPathAt(const unsigned int& index) const {
    return attachmentPaths[index];
}

void SMTPMessage::addAttachment(const ostring& path, const ostring& name) {
    if (path.size() == 0)
        return;
    attachmentPaths.push_back(path);
    attachmentNames.push_back(name.size() != 0 ? name : ostring(wxFileName(path.wxstr()).GetFullName()));
}

void SMTPMessage::removeAttachmentAt(const unsigned int& index) {
    attachmentNames.erase(attachmentNames.begin() + index);
    attachmentPaths.erase(attachmentPaths.begin() + index);
}

void SMTPMessage::clearAttachments() {
    attachmentNames.clear();
    attachmentPaths.clear();
}

bool SMTPMessage::isValid() const {
    if (!from.isValid() || recipients.empty())
        return false;
    for (const ostring& path : attachmentPaths) {
        if (!wxFileExists(path.wxstr()))
            return false;
    }
    return true;
}

SMTPMessage SMTPMessage::mailto(const ostring&) {
    return SMTPMessage(ostring(), ostring(), ostring(), ostring());
}

ostring SMTPMessage::getHeader(const ostring& mailer) const {
    const char* const eol = Defines::smtpMsgTerminator();
    std::ostringstream os;
    os << "From: " << from.getFullAddr() << eol;
    os << "To: ";
    writeList(os, recipients);
    os << eol;
    if (!ccs.empty()) {
        os << "Cc: ";
        writeList(os, ccs);
        os << eol;
    }
    os << "Subject: " << subject << eol;
    os << "Date: " << HelperFuncs::dateToRfc822(wxDateTime::Now()) << eol;
    if (mailer.size() != 0)
        os << "X-Mailer: " << mailer << eol;
    if (replyTo.isValid())
        os << "Reply-To: " << replyTo.getFullAddr() << eol;
    return ostring(os.str(), Defines::appEncoding());
}

} // namespace Net
} // namespace PBN
