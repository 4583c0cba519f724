// The frame every run's result document shares: the root and project
// elements at the start, and at the end the text written to the run's
// document path. Between them each run inserts its own sections.
#ifndef TAVEX_OUTPUT_RUN_DOCUMENT_H
#define TAVEX_OUTPUT_RUN_DOCUMENT_H

#include "output/output_names.h"
#include "output/xml_document.h"
#include "project/project_state.h"

namespace Tavex {

// Writes the root element (units from the settings) and the project element
// from its record; the writer's status, negative when either failed.
int BeginRunDocument(const ProjectState& project, const TXXML_PROJECT& record,
                     CTXXmlDocument& document, CTXXmlProject& projectNode);

// Writes the finished document at the run's document path. Returns 0, the
// writer's negative status, or kDocumentFileFailure after error 732 when the
// file cannot be created.
int SaveRunDocument(ProjectState& project, RunKind run, CTXXmlDocument& document);

} // namespace Tavex

#endif
