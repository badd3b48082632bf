#pragma once

#include "pemblon/core/Exception.h"
#include "pemblon/core/Export.h"
#include "pemblon/strings/ostring.h"

namespace PBN {
namespace Net {

// The failure type of the mail client's protocol steps (an unexpected reply to the greeting,
// HELO, MAIL FROM, RCPT TO or DATA). Always SEVERE; adds nothing to PBN::Exception, so callers
// may catch either.
class PBN_API SMTPException : public PBN::Exception {
public:
    SMTPException(const Strings::ostring& message = Strings::ostring());
    SMTPException(const SMTPException& other);
    SMTPException& operator=(const SMTPException& other);
    ~SMTPException() override;
};

} // namespace Net
} // namespace PBN
