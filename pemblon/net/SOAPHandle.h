#pragma once

#include <vector>

#include <wx/stream.h>

#include "pemblon/core/Export.h"
#include "pemblon/net/HTTPHandle.h"

namespace PBN::Net {

// Posts SOAP messages to the base URL: one XML message sent chunked, or a multipart/related
// request with the message and binary attachments. The reply body goes unparsed to the
// caller's stream. Both return true when the transfer worked, whatever the HTTP status (a SOAP
// Fault comes with 500): read it with getResponseCode().
class PBN_API SOAPHandle : public HTTPHandle {
public:
    SOAPHandle(const Strings::ostring& baseURL = Strings::ostring(),
               const Strings::ostring& username = Strings::ostring(),
               const Strings::ostring& password = Strings::ostring());
    SOAPHandle(const SOAPHandle&) = delete;
    SOAPHandle& operator=(const SOAPHandle&) = delete;
    virtual ~SOAPHandle();

    // Both refuse (false, nothing sent, the reason in getErrorString()) an action, a custom header
    // or a Content-ID that holds a CR, an LF or a NUL; blanks and line ends around the action are
    // trimmed first.
    // The request stream's bytes as the message, with the header SOAPAction: "urn:<action>".
    bool sendMessage(const Strings::ostring& action, wxOutputStream& reply, wxInputStream& request);
    // The envelope (sent as ISO-8859-1, each character that charset lacks as an XML character
    // reference) and one part per file; contentIds[i] is the Content-ID of file i. False, with
    // nothing sent, when there are fewer IDs than files.
    bool sendMessage(const Strings::ostring& action, wxOutputStream& reply, const Strings::ostring& envelope,
                     const std::vector<Strings::ostring>& contentIds,
                     const std::vector<Strings::ostring>& filePaths);
};

} // namespace PBN::Net
