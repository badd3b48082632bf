#pragma once

// Private to the network clients.

namespace PBN::Net::Detail {

// The untranslated explanation of a libcurl result code, by number (libcurl renamed and
// retired several codes over time, so names would put texts on the wrong rows); null for
// codes without one.
const wchar_t* curlCodeText(long code);

} // namespace PBN::Net::Detail
