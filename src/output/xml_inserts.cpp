// The typed inserts of CTXXmlNode: each turns one record into one element
// through InsertChild, so names and attribute forms stay uniform.
#include "output/xml_node.h"

namespace Tavex {

int CTXXmlNode::InsertSummaryHeader(const TXXML_SUMMARYHEADER& header, CTXXmlNode& out) {
    return InsertChild("SummaryHeader",
                       {{"run", header.runName},
                        {"network", header.networkName},
                        {"dateTime", header.dateTime},
                        {"version", header.version}},
                       out);
}

} // namespace Tavex
