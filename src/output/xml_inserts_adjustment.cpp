// The typed inserts of the adjustment's result document: each turns one
// record into one element through InsertChild; the parts of a record that
// its flags leave out become no attributes.
#include "output/xml_node.h"
#include "output/xml_status.h"

namespace Tavex {

namespace {

// Sets the attributes one after the other; the first failure is returned.
int SetAll(CTXXmlNode& node, std::initializer_list<XmlAttribute> attributes) {
    for (const XmlAttribute& attribute : attributes) {
        const int status = node.SetAttribute(attribute);
        if (status != kXmlOk)
            return status;
    }
    return kXmlOk;
}

// The optional parts of a row record.
int SetRowParts(const TXXML_OBSERVATIONRECORD& r, CTXXmlNode& out) {
    int status = kXmlOk;
    if (status == kXmlOk && r.hasInput)
        status = SetAll(out, {{"observed", r.observed}, {"sd", r.sd}});
    if (status == kXmlOk && r.hasAdjustment)
        status = SetAll(out, {{"adjusted", r.adjusted}, {"residual", r.residual}});
    if (status == kXmlOk && r.hasPrecision)
        status = SetAll(out, {{"sdAdjusted", r.sdAdjusted}});
    if (status == kXmlOk && r.hasTest)
        status = SetAll(
            out, {{"w", r.w}, {"rejected", r.rejected}, {"estimatedError", r.estimatedError}});
    if (status == kXmlOk && r.hasReliability)
        status = SetAll(
            out, {{"mdb", r.mdb}, {"mdbn", r.mdbn}, {"redundancy", r.redundancy}, {"bnr", r.bnr}});
    return status;
}

int InsertRow(CTXXmlNode& parent, const char* name, const TXXML_OBSERVATIONRECORD& r,
              CTXXmlNode& out) {
    const int status = parent.InsertChild(name,
                                          {{"row", r.row},
                                           {"code", r.code},
                                           {"rowKind", r.rowKind},
                                           {"sub", r.sub},
                                           {"component", r.component},
                                           {"unit", r.unit}},
                                          out);
    return status == kXmlOk ? SetRowParts(r, out) : status;
}

} // namespace

int CTXXmlNode::InsertSummary(const TXXML_SUMMARY& s, CTXXmlNode& out) {
    return InsertChild("Summary",
                       {{"design", s.design},
                        {"dimension", s.dimension},
                        {"adjustmentType", s.adjustmentType},
                        {"title", s.title}},
                       out);
}

int CTXXmlNode::InsertSummaryList(const TXXML_SUMMARYLIST& l, CTXXmlNode& out) {
    return InsertChild("SummaryList", {{"name", l.name}, {"title", l.title}}, out);
}

int CTXXmlNode::InsertSummaryItem(const TXXML_SUMMARYITEM& i, CTXXmlNode& out) {
    return InsertChild(
        "Item", {{"name", i.name}, {"label", i.label}, {"value", i.value}, {"unit", i.unit}}, out);
}

int CTXXmlNode::InsertTestSummary(const TXXML_TESTSUMMARY& s, CTXXmlNode& out) {
    return InsertChild("TestSummary",
                       {{"title", s.title},
                        {"tested", s.tested},
                        {"varianceFactor", s.varianceFactor},
                        {"criticalF", s.criticalF},
                        {"fTest", s.fTest},
                        {"aPosteriori", s.aPosteriori}},
                       out);
}

int CTXXmlNode::InsertTest(const TXXML_TEST& t, CTXXmlNode& out) {
    return InsertChild("Test",
                       {{"test", t.test},
                        {"subject", t.subject},
                        {"station", t.station},
                        {"target", t.target},
                        {"code", t.code},
                        {"rowKind", t.rowKind},
                        {"dimension", t.dimension},
                        {"component", t.component},
                        {"value", t.value},
                        {"ratio", t.ratio},
                        {"rejected", t.rejected},
                        {"error1", t.error1},
                        {"error2", t.error2},
                        {"error3", t.error3},
                        {"unit", t.unit}},
                       out);
}

int CTXXmlNode::InsertVarianceComponent(const TXXML_VARIANCECOMPONENT& v, CTXXmlNode& out) {
    return InsertChild("VarianceComponents",
                       {{"title", v.title},
                        {"computed", v.computed},
                        {"groups", v.groups},
                        {"mode", v.mode},
                        {"passes", v.passes}},
                       out);
}

int CTXXmlNode::InsertTables(const TXXML_TABLE& t, CTXXmlNode& out) {
    return InsertChild("Table", {{"name", t.name}, {"title", t.title}}, out);
}

int CTXXmlNode::InsertTableColumn(const TXXML_TABLECOLUMN& c, CTXXmlNode& out) {
    return InsertChild("Column", {{"attribute", c.attribute}, {"label", c.label}, {"unit", c.unit}},
                       out);
}

int CTXXmlNode::InsertTestList(const TXXML_TESTLIST& l, CTXXmlNode& out) {
    return InsertChild("TestList", {{"name", l.name}, {"title", l.title}}, out);
}

int CTXXmlNode::InsertStation(const TXXML_STATION& s, CTXXmlNode& out) {
    const int status = InsertChild("Station",
                                   {{"name", s.name},
                                    {"number", s.number},
                                    {"knownNorth", s.knownNorth},
                                    {"knownEast", s.knownEast},
                                    {"knownHeight", s.knownHeight},
                                    {"horizontal", s.horizontal},
                                    {"height", s.height}},
                                   out);
    if (status != kXmlOk || !s.tested)
        return status;
    return SetAll(out, {{"testDimension", s.testDimension},
                        {"tTest", s.tTest},
                        {"tRatio", s.tRatio},
                        {"tRejected", s.tRejected}});
}

int CTXXmlNode::InsertCoordinate(const TXXML_COORDINATE& c, CTXXmlNode& out) {
    int status = InsertChild("Coordinate",
                             {{"kind", c.kind},
                              {"latitude", c.latitude},
                              {"longitude", c.longitude},
                              {"height", c.height}},
                             out);
    if (status == kXmlOk && c.grid)
        status = SetAll(out, {{"easting", c.easting}, {"northing", c.northing}});
    if (status == kXmlOk && c.corrections)
        status = SetAll(out, {{"correctionNorth", c.correctionNorth},
                              {"correctionEast", c.correctionEast},
                              {"correctionUp", c.correctionUp}});
    return status;
}

int CTXXmlNode::InsertCoordinateTest(const TXXML_OBSERVATIONRECORD& r, CTXXmlNode& out) {
    return InsertRow(*this, "CoordinateTest", r, out);
}

int CTXXmlNode::InsertExternalReliability(const TXXML_EXTERNALRELIABILITY& x, CTXXmlNode& out) {
    return InsertChild("ExternalReliability",
                       {{"component", x.component},
                        {"value", x.value},
                        {"causeRow", x.causeRow},
                        {"causeStation", x.causeStation},
                        {"causeTarget", x.causeTarget},
                        {"causeCode", x.causeCode},
                        {"causeRecord", x.causeRecord}},
                       out);
}

int CTXXmlNode::InsertEllips(const TXXML_ELLIPSE& e, CTXXmlNode& out) {
    return InsertChild("Ellipse",
                       {{"station", e.station},
                        {"number", e.number},
                        {"a", e.a},
                        {"b", e.b},
                        {"phi", e.phi},
                        {"sdNorth", e.sdNorth},
                        {"sdEast", e.sdEast},
                        {"sdHeight", e.sdHeight},
                        {"covNN", e.covNN},
                        {"covNE", e.covNE},
                        {"covEE", e.covEE},
                        {"covNh", e.covNh},
                        {"covEh", e.covEh},
                        {"covhh", e.covhh},
                        {"criterion", e.criterion}},
                       out);
}

int CTXXmlNode::InsertRelativeEllips(const TXXML_RELATIVEELLIPSE& e, CTXXmlNode& out) {
    return InsertChild("RelativeEllipse",
                       {{"from", e.from},
                        {"to", e.to},
                        {"fromNumber", e.fromNumber},
                        {"toNumber", e.toNumber},
                        {"a", e.a},
                        {"b", e.b},
                        {"psi", e.psi},
                        {"length", e.length},
                        {"sdHeight", e.sdHeight},
                        {"criterion", e.criterion}},
                       out);
}

int CTXXmlNode::InsertObservation(const TXXML_OBSERVATION& o, CTXXmlNode& out) {
    return InsertChild("Observation",
                       {{"number", o.number},
                        {"record", o.record},
                        {"recordKind", o.recordKind},
                        {"station", o.station},
                        {"target", o.target},
                        {"stationNumber", o.stationNumber},
                        {"targetNumber", o.targetNumber},
                        {"instrumentHeight", o.instrumentHeight},
                        {"targetHeight", o.targetHeight}},
                       out);
}

int CTXXmlNode::InsertObservationRecord(const TXXML_OBSERVATIONRECORD& r, CTXXmlNode& out) {
    return InsertRow(*this, "ObservationRecord", r, out);
}

int CTXXmlNode::InsertGroupTest(const TXXML_GROUPTEST& t, CTXXmlNode& out) {
    return InsertChild("GroupTest",
                       {{"dimension", t.dimension},
                        {"T", t.T},
                        {"ratio", t.ratio},
                        {"rejected", t.rejected},
                        {"error1", t.error1},
                        {"error2", t.error2},
                        {"error3", t.error3}},
                       out);
}

int CTXXmlNode::InsertAntennaTest(const TXXML_ANTENNATEST& t, CTXXmlNode& out) {
    return InsertChild("AntennaTest",
                       {{"wNorth", t.wNorth},
                        {"wEast", t.wEast},
                        {"wUp", t.wUp},
                        {"mdbNorth", t.mdbNorth},
                        {"mdbEast", t.mdbEast},
                        {"mdbUp", t.mdbUp},
                        {"errorNorth", t.errorNorth},
                        {"errorEast", t.errorEast},
                        {"errorUp", t.errorUp},
                        {"ratio", t.ratio},
                        {"rejected", t.rejected}},
                       out);
}

int CTXXmlNode::InsertAdditPars(const TXXML_ADDITPARS& a, CTXXmlNode& out) {
    return InsertChild("AdditionalParameters", {{"title", a.title}, {"count", a.count}}, out);
}

int CTXXmlNode::InsertAdditPar(const TXXML_ADDITPAR& a, CTXXmlNode& out) {
    const int status = InsertChild("AdditionalParameter",
                                   {{"kind", a.kind},
                                    {"label", a.label},
                                    {"station", a.station},
                                    {"group", a.group},
                                    {"value", a.value},
                                    {"sd", a.sd},
                                    {"unit", a.unit}},
                                   out);
    if (status != kXmlOk || !a.hasAPriori)
        return status;
    return SetAll(out, {{"aPriori", a.aPriori}});
}

} // namespace Tavex
