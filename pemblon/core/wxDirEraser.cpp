#include "pemblon/core/wxDirEraser.h"

#include <sys/stat.h>

#include <wx/filefn.h>

namespace PBN {

namespace {

bool isSymlink(const wxString& path) {
    struct stat st;
    return lstat(path.fn_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

} // namespace

wxDirEraser::wxDirEraser(const wxString& mask) : m_mask(mask) {}

wxDirTraverseResult wxDirEraser::OnFile(const wxString&) {
    return wxDIR_CONTINUE;
}

wxDirTraverseResult wxDirEraser::OnDir(const wxString& dirname) {
    // The traversal follows linked directories; going through one would erase files outside
    // the tree being cleaned.
    if (isSymlink(dirname))
        return wxDIR_IGNORE;
    if (!dirname.Matches(m_mask))
        return wxDIR_CONTINUE;
    wxArrayString files;
    wxDir::GetAllFiles(dirname, &files, wxEmptyString,
                       wxDIR_FILES | wxDIR_DIRS | wxDIR_HIDDEN | wxDIR_NO_FOLLOW);
    for (const wxString& file : files)
        wxRemoveFile(file);
    wxRmdir(dirname);
    return wxDIR_IGNORE;
}

} // namespace PBN
