#pragma once

#include <cstdint>
#include <vector>

#include <wx/stream.h>

#include "pemblon/core/Export.h"
#include "pemblon/net/TransferHandle.h"

namespace PBN::Net {

// The FTP client: download, upload, directory creation, listings, file information, and the
// removal and renaming of entries through commands sent after a body-less transfer. Transfers
// run in text mode until setToBinary(). The quote, pre-quote and post-quote lists travel only
// with doDELETE, doRMDIR and doRENAME, which free all three afterwards.
class PBN_API FTPHandle : public TransferHandle {
public:
    enum TransferMode : int32_t { ASCII = 0, BINARY = 1 };

    FTPHandle(const Strings::ostring& baseURL = Strings::ostring(),
              const Strings::ostring& username = Strings::ostring(),
              const Strings::ostring& password = Strings::ostring());
    FTPHandle(const FTPHandle&) = delete;
    FTPHandle& operator=(const FTPHandle&) = delete;
    virtual ~FTPHandle();

    void setTransferMode(const TransferMode& mode);
    TransferMode getTransferMode() const;
    void setToBinary();
    void setToAscii();
    bool isAscii() const;
    bool isBinary() const;
    // Active mode with the PORT parameter ("-": the control connection's address).
    void usePortOption(const bool& use);
    bool usePortOption() const;
    void setPortParam(const Strings::ostring& param);
    Strings::ostring getPortParam() const;
    // A cleared flag leaves libcurl's own choice (which uses EPRT and EPSV).
    void useEPRT(const bool& use);
    bool useEPRT() const;
    void useEPSV(const bool& use);
    bool useEPSV() const;
    void appendOnUpload(const bool& append);
    bool appendOnUpload() const;
    void createMissingDirs(const bool& create);
    bool createMissingDirs() const;

    // set: replaces the list; false when it is left empty. append: adds one command (after
    // dropping the list when reset is true); false when no list results.
    bool setQuoteList(const std::vector<Strings::ostring>& commands);
    bool appendQuote(const Strings::ostring& command, const bool& reset);
    bool setPreQuoteList(const std::vector<Strings::ostring>& commands);
    bool appendPreQuote(const Strings::ostring& command, const bool& reset);
    bool setPostQuoteList(const std::vector<Strings::ostring>& commands);
    bool appendPostQuote(const Strings::ostring& command, const bool& reset);

    // Downloads (doGET, the three forms of TransferHandle) succeed on a final reply from 200 to
    // 298, everything else from 200 to 299.
    using TransferHandle::doPUT;
    bool doPUT(wxInputStream& in, const Strings::ostring& path) override;
    // Creates the directory and its missing parents; "a/b" and "a/b/" are the same.
    bool doMKDIR(const Strings::ostring& path);
    bool doLIST(const Strings::ostring& path);
    bool doNLST(const Strings::ostring& path);
    // The header lines libcurl makes of a body-less request ("Content-Length: ...") into the
    // body buffer.
    bool doINFO(const Strings::ostring& path);
    bool doRMDIR(const Strings::ostring& path);
    // A path ending in "/" removes that directory.
    bool doDELETE(const Strings::ostring& path);
    // Renames the entry path (inside its directory) to newName.
    bool doRENAME(const Strings::ostring& newName, const Strings::ostring& path);

protected:
    void setCurlHandleToDefaults() override;
    // The base's settings, the PORT parameter (in active mode) and the URL's path once decoded,
    // which libcurl sends in commands.
    bool refusedSettings() override;
    long lastDownloadCode() const override;
    virtual void setCurlHandleQuoteOpts();
    void resetQuoteList();
    void resetPreQuoteList();
    void resetPostQuoteList();
    void resetAllQuoteLists();

private:
    void setRequestURL(const Strings::ostring& path);
    // The defaults and the request URL; false without a handle.
    bool startRequest(const Strings::ostring& path);
    // The same for a directory, its URL ending in "/".
    bool startDirectoryRequest(const Strings::ostring& path);
    bool listing(const Strings::ostring& path, const char* command);
    // perform, then the reply code; true when it lies in [200, highest] (or is one of extra).
    bool finish(const long& highest, const long& extra = 0);
    // Splits the request URL at its last "/" into the directory part and the entry name.
    void splitRequestURL();
    // Sends the queued commands after a body-less transfer on the directory part.
    bool runCommandsOnDirectory();
    // One command list (quote, pre-quote or post-quote) and the option that hands it to curl.
    void resetList(curl_slist*& list, CURLoption option);
    bool setList(curl_slist*& list, CURLoption option, const std::vector<Strings::ostring>& commands);
    bool appendToList(curl_slist*& list, CURLoption option, const Strings::ostring& command, bool reset);

    curl_slist* m_quoteList;
    curl_slist* m_preQuoteList;
    curl_slist* m_postQuoteList;
    Strings::ostring m_directoryPart;
    Strings::ostring m_entryName;
    bool m_createMissingDirs;
    bool m_appendOnUpload;
    bool m_usePortOption;
    TransferMode m_transferMode;
    Strings::ostring m_portParam;
    bool m_useEPRT;
    bool m_useEPSV;
};

} // namespace PBN::Net
