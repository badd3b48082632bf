#include "pemblon/net/SMTPException.h"

namespace PBN {
namespace Net {

SMTPException::SMTPException(const Strings::ostring& message) : Exception(message, SEVERE) {}

SMTPException::SMTPException(const SMTPException& other) : Exception(other) {}

SMTPException& SMTPException::operator=(const SMTPException& other) {
    if (this != &other) {
        Exception::operator=(other);
    }
    return *this;
}

SMTPException::~SMTPException() {}

} // namespace Net
} // namespace PBN
