#include "pemblon/net/CurlCodeTexts.h"

#include <array>
#include <cstddef>

namespace PBN::Net::Detail {

namespace {

constexpr std::array<const wchar_t*, 84> kTexts = {
    nullptr, // 0: no error
    L"CURLE_UNSUPPORTED_PROTOCOL: The URL passed to libcurl used a protocol \nthat this libcurl does not "
    L"support.",
    L"CURLE_FAILED_INIT: Very early initialization code failed.",
    L"CURLE_URL_MALFORMAT: The URL was not properly formatted.",
    nullptr, // 4
    L"CURLE_COULDNT_RESOLVE_PROXY: The given proxy host could not be resolved.",
    L"CURLE_COULDNT_RESOLVE_HOST: The given remote host could not be resolved.",
    L"CURLE_COULDNT_CONNECT: Failed to connect to the host or to the proxy.",
    L"CURLE_FTP_WEIRD_SERVER_REPLY: The server sent data that could not be parsed.",
    L"CURLE_REMOTE_ACCESS_DENIED: The server denied access to the resource given in the URL.",
    nullptr, // 10
    L"CURLE_FTP_WEIRD_PASS_REPLY: The server sent an unexpected reply to the password.",
    nullptr, // 12
    L"CURLE_FTP_WEIRD_PASV_REPLY: The server sent an unexpected reply to the PASV or EPSV command.",
    L"CURLE_FTP_WEIRD_227_FORMAT: After having sent a PASV command to the server,\nit a replied a bad 277 "
    L"line.",
    L"CURLE_FTP_CANT_GET_HOST: The host given for the new data connection could not be found.",
    nullptr, // 16
    L"CURLE_FTP_COULDNT_SET_TYPE: The transfer mode could not be set to binary or text.",
    L"CURLE_PARTIAL_FILE: The transfer ended before the announced size was reached.",
    L"CURLE_FTP_COULDNT_RETR_FILE: The server refused to send the requested file.",
    nullptr, // 20
    L"CURLE_QUOTE_ERROR: A custom command was answered with an error reply.",
    L"CURLE_HTTP_RETURNED_ERROR: The HTTP server returned an error code.",
    L"CURLE_WRITE_ERROR: An error occurred when writing received data to a local file.",
    nullptr, // 24
    L"CURLE_UPLOAD_FAILED: The server refused to start the upload.",
    L"CURLE_READ_ERROR: There was a problem reading a local file or an error returned by the read callback.",
    L"CURLE_OUT_OF_MEMORY: A memory allocation request failed.",
    L"CURLE_OPERATION_TIMEDOUT: Operation timeout.",
    nullptr, // 29
    L"CURLE_FTP_PORT_FAILED: The FTP PORT command returned an error.",
    L"CURLE_FTP_COULDNT_USE_REST: The FTP REST command returned an error.",
    nullptr, // 32
    L"CURLE_RANGE_ERROR: The server does not support or accept range requests.",
    L"CURLE_HTTP_POST_ERROR: An internal error occurred while building the POST request.",
    L"CURLE_SSL_CONNECT_ERROR: A problem occurred during the SSL/TLS handshake.",
    L"CURLE_FTP_BAD_DOWNLOAD_RESUME: The download could not be resumed at the given offset.",
    L"CURLE_FILE_COULDNT_READ_FILE: Impossible to open file\n(the file does not exist or you do not have "
    L"sufficient permissions).",
    L"CURLE_LDAP_CANNOT_BIND: The LDAP bind operation failed.",
    L"CURLE_LDAP_SEARCH_FAILED: The LDAP search failed.",
    nullptr, // 40
    L"CURLE_FUNCTION_NOT_FOUND: A required function of a library was not found.",
    L"CURLE_ABORTED_BY_CALLBACK: Aborted operation.",
    L"CURLE_BAD_FUNCTION_ARGUMENT: A function was called with a bad argument.",
    nullptr, // 44
    L"CURLE_INTERFACE_FAILED: The given outgoing network interface could not be used.",
    nullptr, // 46
    L"CURLE_TOO_MANY_REDIRECTS: Too many redirects were followed.",
    L"CURLE_UNKNOWN_TELNET_OPTION: An unknown option was passed.",
    L"CURLE_TELNET_OPTION_SYNTAX: An option was passed with a bad syntax.",
    nullptr, // 50
    L"CURLE_PEER_FAILED_VERIFICATION: The remote server's SSL certificate\nor SSH md5 fingerprint was deemed "
    L"not OK.",
    L"CURLE_GOT_NOTHING: The server returned nothing.",
    L"CURLE_SSL_ENGINE_NOTFOUND: The given crypto engine was not found.",
    L"CURLE_SSL_ENGINE_SETFAILED: The given crypto engine could not be set as the default.",
    L"CURLE_SEND_ERROR: Sending network data failed.",
    L"CURLE_RECV_ERROR: Receiving network data failed.",
    nullptr, // 57
    L"CURLE_SSL_CERTPROBLEM: A problem has occured with the local client certificate.",
    L"CURLE_SSL_CIPHER: The given cipher could not be used.",
    L"CURLE_SSL_CACERT: The peer certificate could not be authenticated with the known CA certificates.",
    L"CURLE_BAD_CONTENT_ENCODING: The transfer encoding was not recognised.",
    L"CURLE_LDAP_INVALID_URL: The LDAP URL is not valid.",
    L"CURLE_FILESIZE_EXCEEDED: The maximum file size was exceeded.",
    L"CURLE_USE_SSL_FAILED: The requested FTP SSL level failed.",
    L"CURLE_SEND_FAIL_REWIND: The data to send could not be rewound for a resend.",
    L"CURLE_SSL_ENGINE_INITFAILED: The crypto engine could not be initialised.",
    L"CURLE_LOGIN_DENIED: The server refused the user name or the password.",
    L"CURLE_TFTP_NOTFOUND: The file was not found on the TFTP server.",
    L"CURLE_TFTP_PERM: The TFTP server refused the operation.",
    L"CURLE_REMOTE_DISK_FULL: The server ran out of disk space.",
    L"CURLE_TFTP_ILLEGAL: The TFTP operation is not allowed.",
    L"CURLE_TFTP_UNKNOWNID: The TFTP transfer identifier is unknown.",
    L"CURLE_REMOTE_FILE_EXISTS: The file already exists and will not be overwritten.",
    L"CURLE_TFTP_NOSUCHUSER: The TFTP serveur is not properly functioning.",
    L"CURLE_CONV_FAILED: A character conversion failed.",
    L"CURLE_CONV_REQD: Character conversion functions must be registered.",
    L"CURLE_SSL_CACERT_BADFILE: The CA certificate file could not be read.",
    L"CURLE_REMOTE_FILE_NOT_FOUND: The resource given in the URL does not exist.",
    L"CURLE_SSH: An unspecified error occurred during the SSH session.",
    L"CURLE_SSL_SHUTDOWN_FAILED: The SSL connection could not be shut down.",
    L"CURLE_AGAIN: The socket is not ready; try again later.",
    L"CURLE_SSL_CRL_BADFILE: The certificate revocation list file could not be read.",
    L"CURLE_SSL_ISSUER_ERROR: Issuer check failed.",
};

} // namespace

const wchar_t* curlCodeText(long code) {
    if (code < 0 || code >= static_cast<long>(kTexts.size()))
        return nullptr;
    return kTexts[static_cast<std::size_t>(code)];
}

} // namespace PBN::Net::Detail
