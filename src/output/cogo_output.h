// The approximate-coordinate run's outputs: the text report (the output
// path with ".drm") and the result document (".drm.xml", stylesheet
// DORAMV33.xsl): the computed coordinates, the fits onto the known stations
// and the stations that could not be computed.
#ifndef TAVEX_OUTPUT_COGO_OUTPUT_H
#define TAVEX_OUTPUT_COGO_OUTPUT_H

#include "cogo/cogo_state.h"
#include "output/xml_records_cogo.h"
#include "project/project_state.h"

namespace Tavex {

// The records of the run. A station counts as not computed when a
// component that the network's dimension asks for was not computed: the
// horizontal position in two dimensions, the height in one, either in
// three. Excluded stations are left out.
TXXML_COGO CogoRecords(const ProjectState& project, const CogoState& c);

// Returns 1, or 0 after error 732 when the file cannot be written.
int WriteCogoReport(ProjectState& project, const CogoState& c);

// Returns 0 on success, a negative status of the writer layer, or the
// generic file failure when the document cannot be written (error 732).
int WriteCogoDocument(ProjectState& project, const CogoState& c);

} // namespace Tavex

#endif
