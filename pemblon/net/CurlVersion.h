#pragma once

#include <ostream>
#include <vector>

#include <curl/curl.h>

#include "pemblon/core/Export.h"
#include "pemblon/strings/ostring.h"

namespace PBN::Net {

// libcurl's version block, typed, and a readable report of it. One instance per process, made
// on first use; the library's shutdown destroys it.
class PBN_API CurlVersion {
public:
    static CurlVersion* get();
    static void destroy();

    CurlVersion(const CurlVersion& other);
    CurlVersion& operator=(const CurlVersion& other);
    virtual ~CurlVersion();

    CURLversion getAge() const;
    Strings::ostring getVersion() const;
    unsigned getVersionNum() const;
    Strings::ostring getHost() const;
    Strings::ostring getSSLVersion() const;
    long getSSLVersionNum() const;
    Strings::ostring getLibzVersion() const;
    Strings::ostring getAres() const;
    int getAresNum() const;
    Strings::ostring getLibidnVersion() const;
    int getIconvVerNum() const;
    Strings::ostring getLibsshVersion() const;
    std::vector<Strings::ostring> getSupportedProtocols() const;

    bool supportsIPv6() const;
    bool supportsKerberos4() const;
    bool supportsSSL() const;
    bool hasLibz() const;
    bool supportsNTLM() const;
    bool supportsGSSNegociate() const;
    bool hasDebugCapabilities() const;
    bool supportsAsynchDNS() const;
    bool supportsSPNEGO() const;
    bool supportsLargeFiles() const;
    bool supportsIDNA() const;
    bool supportsSSPI() const;
    bool hasConv() const;

protected:
    CurlVersion();
    // A report of a given block; the block stays the caller's.
    explicit CurlVersion(const curl_version_info_data* info);

private:
    bool feature(int bit) const;

    const curl_version_info_data* m_info;
    static CurlVersion* _instance;
};

PBN_API std::ostream& operator<<(std::ostream& os, const CurlVersion& version);

} // namespace PBN::Net
