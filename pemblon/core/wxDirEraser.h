#pragma once

#include <wx/dir.h>

#include "pemblon/core/Export.h"

namespace PBN {

// A traverser that empties every directory whose full path matches a wildcard mask and removes
// it when nothing is left. Symbolic links are never followed: a link inside a matched
// directory is deleted itself, and a linked directory is neither erased nor descended into.
class PBN_API wxDirEraser : public wxDirTraverser {
public:
    explicit wxDirEraser(const wxString& mask);

    wxDirTraverseResult OnFile(const wxString& filename) override;
    wxDirTraverseResult OnDir(const wxString& dirname) override;

private:
    wxDirEraser(const wxDirEraser&);
    wxDirEraser& operator=(const wxDirEraser&);

    wxString m_mask;
};

} // namespace PBN
