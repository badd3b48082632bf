#include "pemblon/net/CurlVersion.h"

namespace PBN::Net {

using Strings::ostring;

CurlVersion* CurlVersion::_instance = nullptr;

namespace {

ostring optionalText(const char* text) {
    return ostring(text ? text : "");
}

} // namespace

CurlVersion::CurlVersion() : m_info(curl_version_info(CURLVERSION_FOURTH)) {}

CurlVersion::CurlVersion(const curl_version_info_data* info) : m_info(info) {}

CurlVersion::CurlVersion(const CurlVersion& other) : m_info(other.m_info) {}

CurlVersion& CurlVersion::operator=(const CurlVersion& other) {
    m_info = other.m_info;
    return *this;
}

CurlVersion::~CurlVersion() {
    // Only the singleton itself forgets the singleton: a copy going out of scope must not.
    if (_instance == this)
        _instance = nullptr;
}

CurlVersion* CurlVersion::get() {
    if (!_instance)
        _instance = new CurlVersion();
    return _instance;
}

void CurlVersion::destroy() {
    delete _instance;
}

CURLversion CurlVersion::getAge() const {
    return m_info->age;
}
ostring CurlVersion::getVersion() const {
    return optionalText(m_info->version);
}
unsigned CurlVersion::getVersionNum() const {
    return m_info->version_num;
}
ostring CurlVersion::getHost() const {
    return optionalText(m_info->host);
}
ostring CurlVersion::getSSLVersion() const {
    return optionalText(m_info->ssl_version);
}
long CurlVersion::getSSLVersionNum() const {
    return m_info->ssl_version_num;
}
ostring CurlVersion::getLibzVersion() const {
    return optionalText(m_info->libz_version);
}
ostring CurlVersion::getAres() const {
    return optionalText(m_info->ares);
}
int CurlVersion::getAresNum() const {
    return m_info->ares_num;
}
ostring CurlVersion::getLibidnVersion() const {
    return optionalText(m_info->libidn);
}
int CurlVersion::getIconvVerNum() const {
    return m_info->iconv_ver_num;
}
ostring CurlVersion::getLibsshVersion() const {
    return optionalText(m_info->libssh_version);
}

std::vector<ostring> CurlVersion::getSupportedProtocols() const {
    std::vector<ostring> protocols;
    if (m_info->protocols)
        for (const char* const* p = m_info->protocols; *p; ++p)
            protocols.emplace_back(*p);
    return protocols;
}

bool CurlVersion::feature(int bit) const {
    return (m_info->features & (1 << bit)) != 0;
}

bool CurlVersion::supportsIPv6() const {
    return feature(0);
}
bool CurlVersion::supportsKerberos4() const {
    return feature(1);
}
bool CurlVersion::supportsSSL() const {
    return feature(2);
}
bool CurlVersion::hasLibz() const {
    return feature(3);
}
bool CurlVersion::supportsNTLM() const {
    return feature(4);
}
bool CurlVersion::supportsGSSNegociate() const {
    return feature(5);
}
bool CurlVersion::hasDebugCapabilities() const {
    return feature(6);
}
bool CurlVersion::supportsAsynchDNS() const {
    return feature(7);
}
bool CurlVersion::supportsSPNEGO() const {
    return feature(8);
}
bool CurlVersion::supportsLargeFiles() const {
    return feature(9);
}
bool CurlVersion::supportsIDNA() const {
    return feature(10);
}
bool CurlVersion::supportsSSPI() const {
    return feature(11);
}
bool CurlVersion::hasConv() const {
    return feature(12);
}

std::ostream& operator<<(std::ostream& os, const CurlVersion& v) {
    using Strings::operator<<;
    const auto yesNo = [](bool set) { return set ? "YES" : "NO"; };
    os << "Age: " << static_cast<int>(v.getAge()) << std::endl;
    os << "Version: " << v.getVersion() << std::endl;
    os << "Host: " << v.getHost() << std::endl;
    os << "Supported protocols: ";
    const std::vector<ostring> protocols = v.getSupportedProtocols();
    if (protocols.empty())
        os << "N/A";
    for (size_t i = 0; i < protocols.size(); ++i)
        os << (i ? ", " : "") << protocols[i];
    os << std::endl;
    os << "Features: " << std::endl;
    os << "\t- IPv6: " << yesNo(v.supportsIPv6()) << std::endl;
    os << "\t- kerberos4: " << yesNo(v.supportsKerberos4()) << std::endl;
    os << "\t- SSL: " << yesNo(v.supportsSSL()) << std::endl;
    os << "\t- HTTP deflate using libz: " << yesNo(v.hasLibz()) << std::endl;
    os << "\t- NTLM: " << yesNo(v.supportsNTLM()) << std::endl;
    os << "\t- GSS-Negociate: " << yesNo(v.supportsGSSNegociate()) << std::endl;
    os << "\t- Extra debug capabilities: " << yesNo(v.hasDebugCapabilities()) << std::endl;
    os << "\t- Asynchronous name lookups: " << yesNo(v.supportsAsynchDNS()) << std::endl;
    os << "\t- SPNEGO: " << yesNo(v.supportsSPNEGO()) << std::endl;
    os << "\t- Large files: " << yesNo(v.supportsLargeFiles()) << std::endl;
    os << "\t- IDNA: " << yesNo(v.supportsIDNA()) << std::endl;
    os << "\t- SSPI: " << yesNo(v.supportsSSPI()) << std::endl;
    os << "\t- Character conversions: " << yesNo(v.hasConv()) << std::endl;
    if (v.supportsSSL()) {
        os << "SSL version: " << v.getSSLVersion() << std::endl;
        os << "SSL version number: " << v.getSSLVersionNum() << std::endl;
    }
    if (v.hasLibz())
        os << "Libz version: " << v.getLibzVersion() << std::endl;
    if (v.getAge() >= CURLVERSION_SECOND && v.getAres().size() > 0)
        os << "Ares version: " << v.getAres() << std::endl;
    if (v.getAge() >= CURLVERSION_THIRD && v.getLibidnVersion().size() > 0)
        os << "Libidn version: " << v.getLibidnVersion() << std::endl;
    if (v.getAge() >= CURLVERSION_FOURTH) {
        os << "Iconv version: " << v.getIconvVerNum() << std::endl;
        if (v.getLibsshVersion().size() > 0)
            os << "Libssh version: " << v.getLibsshVersion() << std::endl;
    }
    return os;
}

} // namespace PBN::Net
