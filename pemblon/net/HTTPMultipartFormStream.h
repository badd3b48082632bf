#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include <wx/stream.h>
#include <wx/wfstream.h>

#include "pemblon/core/Export.h"
#include "pemblon/strings/ostring.h"

namespace PBN::Net {

class MultipartParser;

// An output stream that splits the MIME multipart body written to it into files, one pair per
// part in the given folder: "<id>.part" holds the body and "<id>.head" the header lines, where
// <id> is the part's Content-ID made safe for a file name ("<id>_2" ... for a Content-ID that
// came before; cut to a length every file system takes, numbered the same way when the cut name
// is taken). Only parts with a Content-ID in angle brackets and a Content-Type are kept. A part
// whose files cannot be made in the folder is not kept and fails the stream (IsOk false, writes
// refused). Close() ends the body: a part it cuts short in its header block is refused then. The
// files last as long as the stream: copy a part elsewhere before destroying the stream.
class PBN_API HTTPMultipartFormStream : public wxOutputStream {
public:
    explicit HTTPMultipartFormStream(const Strings::ostring& dir);
    HTTPMultipartFormStream(const HTTPMultipartFormStream&) = delete;
    HTTPMultipartFormStream& operator=(const HTTPMultipartFormStream&) = delete;
    virtual ~HTTPMultipartFormStream();

    bool IsOk() const override;
    bool Ok() const { return IsOk(); }
    bool IsSeekable() const override;
    void Sync() override;
    bool Close() override;

    unsigned int getPartsCount() const;
    // i must be below getPartsCount().
    Strings::ostring getPartContentId(const unsigned int& i) const;
    Strings::ostring getPartContentType(const unsigned int& i) const;
    Strings::ostring getPartPath(const unsigned int& i) const;
    // The body file a part with this Content-ID has (or would have).
    Strings::ostring getPartPath(const Strings::ostring& contentId) const;
    // The parts of the body that were not kept, each with its place in the body and the reason
    // ("part 2 of the body: ..."), in arrival order; i must be below getRefusedCount().
    unsigned int getRefusedCount() const;
    Strings::ostring getRefusal(const unsigned int& i) const;

protected:
    size_t OnSysWrite(const void* buffer, size_t size) override;
    // Every "_" \ / : * ? " < > | . @ and control character becomes "_" and its code in two
    // upper-case hex digits.
    static Strings::ostring escapeFileName(const Strings::ostring& name);
    // Takes the first Content-ID in angle brackets and the first Content-Type (exact names);
    // true, with both appended to the lists, when the header has both.
    bool decodeHeader(const Strings::ostring& header);

private:
    class Files;
    friend class Files;
    Strings::ostring basePath(const Strings::ostring& contentId) const;
    // basePath, or with "_2", "_3" ... when a part of the stream has that name already.
    Strings::ostring freeBasePath(const Strings::ostring& contentId);

    std::unique_ptr<wxFileOutputStream> m_partFile;
    std::vector<Strings::ostring> m_contentIds;
    std::vector<Strings::ostring> m_contentTypes;
    std::vector<Strings::ostring> m_partBases;     // each part's path without ".part" / ".head"
    std::unordered_set<std::wstring> m_takenBases; // the same, to look up
    std::unordered_map<std::wstring, unsigned long> m_nextNumber; // per base, the number to try next
    std::vector<Strings::ostring> m_refusals;
    Strings::ostring m_dir;
    std::unique_ptr<Files> m_files;
    std::unique_ptr<MultipartParser> m_parser;
    bool m_fileError;
};

} // namespace PBN::Net
