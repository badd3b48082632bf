#include "tolvane/HelpViewer.h"

#include "pemblon/core/Exception.h"
#include "tolvane/ViewerRules.h"
#include "tolvane/res/StringIds.h"

#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/utils.h>

namespace Tolvane {

HelpViewer::HelpViewer(const wxString& document) : document(document) {}

wxString HelpViewer::viewerProgram() {
    wxString override;
    if (wxGetEnv(wxT("TOLVANE_HELP_VIEWER"), &override) && !override.empty())
        return override;
    return wxT("xchm");
}

void HelpViewer::displayContents() {
    const wxString program = viewerProgram();
    wxString path;
    {
        wxLogNull quiet;
        wxPathList paths;
        paths.AddEnvList(wxT("PATH"));
        path = wxFileName(program).IsAbsolute() ? program : paths.FindAbsoluteValidPath(program);
    }
    if (path.empty() || !wxFileName::IsFileExecutable(path) || !wxFileExists(document))
        throw PBN::Exception(PBN::Strings::ostring(ViewerRules::text(ids::HelpViewerMissing)),
                             PBN::Exception::SEVERE);
    const wchar_t* args[] = {path.wc_str(), document.wc_str(), nullptr};
    wxLogNull quiet;
    if (wxExecute(const_cast<wchar_t**>(args), wxEXEC_ASYNC) <= 0)
        throw PBN::Exception(PBN::Strings::ostring(ViewerRules::text(ids::HelpViewerMissing)),
                             PBN::Exception::SEVERE);
}

} // namespace Tolvane
