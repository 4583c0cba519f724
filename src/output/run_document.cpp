#include "output/run_document.h"

#include "messages/tavex_out.h"
#include "output/adjustment_output.h"
#include "output/xml_status.h"

namespace Tavex {

int BeginRunDocument(const ProjectState& p, const TXXML_PROJECT& record, CTXXmlDocument& document,
                     CTXXmlProject& projectNode) {
    const int status = document.Initialize(MakeRoot(p.LinearUnitLong, p.AngleUnit));
    if (status < 0)
        return status;
    return document.InsertProject(record, projectNode);
}

int SaveRunDocument(ProjectState& p, RunKind run, CTXXmlDocument& document) {
    // The file is opened before the text is asked for: a document that
    // cannot be saved is not serialised in vain.
    const CKZString path = DocumentPath(run, p.OutputPath);
    auto out = OpenOutputTarget(path, 0);
    if (!out->HasFile()) {
        ReportUnwritableFile(p, path);
        return kDocumentFileFailure;
    }
    CKZString text;
    const int status = document.XML(text);
    if (status < 0)
        return status;
    out->Write(text);
    return 0;
}

} // namespace Tavex
