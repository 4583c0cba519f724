// CTXXmlNode: a handle on one element of a result document, through which
// runs insert their sections. A node does not own its element; the document
// (CTXXmlDocument) owns the whole tree.
//
// Lifetime: a node is bound by a successful insert and refers to its element
// for as long as the document lives. It holds a weak reference to the
// document, so a node that outlives its document is simply unbound: every
// call on it returns kXmlNotBound and nothing is touched. Elements are never
// removed from a document, so a bound node never dangles.
//
// Every insert follows one pattern: build the child with all its attributes,
// link it under this node only when all of them were set, bind out to it.
// A failed insert leaves the document as it was and out unbound. Example:
//
//   CTXXmlNode header;
//   int status = project.InsertSummaryHeader(record, header);
//   if (status < 0) ...  // kXmlNotBound, kXmlOutOfMemory, ...
#ifndef TAVEX_OUTPUT_XML_NODE_H
#define TAVEX_OUTPUT_XML_NODE_H

#include "output/xml_attribute.h"
#include "output/xml_records.h"
#include "output/xml_records_adjustment.h"

#include <initializer_list>
#include <memory>

struct _xmlDoc;
struct _xmlNode;

namespace Tavex {

class CTXXmlDocument;

class CTXXmlNode {
public:
    CTXXmlNode() = default;

    // Whether the node refers to an element of a live document.
    bool IsBound() const;
    // Forgets the element (the document keeps it).
    void Unbind();

    // Appends an element named name, carrying attributes, as the last child
    // of this node and binds out to it. Returns kXmlOk, or kXmlNotBound (this
    // node), kXmlInvalidName (name or an attribute's name), kXmlInvalidValue,
    // kXmlOutOfMemory. The child shares this node's namespace.
    int InsertChild(const char* name, std::initializer_list<XmlAttribute> attributes,
                    CTXXmlNode& out);
    int InsertChild(const char* name, CTXXmlNode& out) { return InsertChild(name, {}, out); }
    // Sets or replaces one attribute of this node's element, e.g.
    // node.SetAttribute({"redundancy", 12}). Same statuses as InsertChild;
    // after kXmlOutOfMemory the attribute is absent.
    int SetAttribute(const XmlAttribute& attribute);

    // Typed inserts, one per record, each a thin wrapper around InsertChild.
    // Element and attribute names: docs/result-documents.md.
    int InsertSummaryHeader(const TXXML_SUMMARYHEADER& header, CTXXmlNode& out);

    // The adjustment's document (xml_inserts_adjustment.cpp), in the order
    // its sections are inserted.
    int InsertSummary(const TXXML_SUMMARY& summary, CTXXmlNode& out);
    int InsertSummaryList(const TXXML_SUMMARYLIST& list, CTXXmlNode& out);
    int InsertSummaryItem(const TXXML_SUMMARYITEM& item, CTXXmlNode& out);
    int InsertTestSummary(const TXXML_TESTSUMMARY& summary, CTXXmlNode& out);
    int InsertTest(const TXXML_TEST& test, CTXXmlNode& out);
    int InsertVarianceComponent(const TXXML_VARIANCECOMPONENT& components, CTXXmlNode& out);
    int InsertTables(const TXXML_TABLE& table, CTXXmlNode& out);
    int InsertTableColumn(const TXXML_TABLECOLUMN& column, CTXXmlNode& out);
    int InsertTestList(const TXXML_TESTLIST& list, CTXXmlNode& out);
    int InsertStation(const TXXML_STATION& station, CTXXmlNode& out);
    int InsertCoordinate(const TXXML_COORDINATE& coordinate, CTXXmlNode& out);
    int InsertCoordinateTest(const TXXML_OBSERVATIONRECORD& row, CTXXmlNode& out);
    int InsertExternalReliability(const TXXML_EXTERNALRELIABILITY& effect, CTXXmlNode& out);
    int InsertEllips(const TXXML_ELLIPSE& ellipse, CTXXmlNode& out);
    int InsertRelativeEllips(const TXXML_RELATIVEELLIPSE& ellipse, CTXXmlNode& out);
    int InsertObservation(const TXXML_OBSERVATION& observation, CTXXmlNode& out);
    int InsertObservationRecord(const TXXML_OBSERVATIONRECORD& row, CTXXmlNode& out);
    int InsertGroupTest(const TXXML_GROUPTEST& test, CTXXmlNode& out);
    int InsertAntennaTest(const TXXML_ANTENNATEST& test, CTXXmlNode& out);
    int InsertAdditPars(const TXXML_ADDITPARS& parameters, CTXXmlNode& out);
    int InsertAdditPar(const TXXML_ADDITPAR& parameter, CTXXmlNode& out);

private:
    friend class CTXXmlDocument;
    void Bind(const std::shared_ptr<_xmlDoc>& document, _xmlNode* element);

    std::weak_ptr<_xmlDoc> document_;
    _xmlNode* element_ = nullptr;
};

// The project element, under which every section of a run is inserted.
class CTXXmlProject : public CTXXmlNode {};

} // namespace Tavex

#endif
