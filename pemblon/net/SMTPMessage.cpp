#include "pemblon/net/SMTPMessage.h"

#include <string>

#include <wx/datetime.h>
#include <wx/filefn.h>
#include <wx/filename.h>

#include "pemblon/core/Defines.h"
#include "pemblon/core/HelperFuncs.h"
#include "pemblon/net/NetText.h"
#include "pemblon/net/SMTPText.h"

namespace PBN {
namespace Net {

using Strings::ostring;

namespace {

void appendList(std::vector<SMTPAddr>& list, const ostring& addresses) {
    const std::vector<SMTPAddr> parsed = SMTPAddr::interpretList(addresses);
    list.insert(list.end(), parsed.begin(), parsed.end());
}

// A mailbox as the header holds it: a display name ASCII cannot hold goes as encoded words (a
// quoted string cannot hold them), in one word where it can.
std::string mailbox(const SMTPAddr& address) {
    const ostring name = address.getFriendly();
    if (name.size() == 0 || !SMTPText::needsEncoding(name))
        return Detail::utf8(address.getFullAddr());
    return SMTPText::displayNameWords(name) + " <" + Detail::utf8(address.getAddr()) + ">";
}

std::string mailboxList(const std::string& name, const std::vector<SMTPAddr>& list) {
    std::vector<std::string> items;
    for (const SMTPAddr& a : list)
        items.push_back(mailbox(a));
    return SMTPText::headerList(name, items);
}

} // namespace

SMTPMessage::SMTPMessage(const ostring& fromText, const ostring& to, const ostring& subjectText,
                         const ostring& bodyText)
    : from(fromText), replyTo(fromText), subject(subjectText), text(bodyText),
      recipients(SMTPAddr::interpretList(to)) {}

SMTPMessage::SMTPMessage(const SMTPMessage& other) = default;

SMTPMessage& SMTPMessage::operator=(const SMTPMessage& other) = default;

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
    // Every line is ASCII: no character can end the block early or reach the server as NUL.
    std::string h = SMTPText::headerList("From", {mailbox(from)});
    h += mailboxList("To", recipients);
    if (!ccs.empty())
        h += mailboxList("Cc", ccs);
    h += SMTPText::headerLine("Subject", SMTPText::headerText(subject));
    h += SMTPText::headerLine("Date", HelperFuncs::dateToRfc822(wxDateTime::Now()).str());
    if (mailer.size() != 0)
        h += SMTPText::headerLine("X-Mailer", SMTPText::headerText(mailer));
    if (replyTo.isValid())
        h += SMTPText::headerList("Reply-To", {mailbox(replyTo)});
    return ostring(h, Defines::appEncoding());
}

} // namespace Net
} // namespace PBN
