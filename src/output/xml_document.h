// CTXXmlDocument: one result document of a run, built in three steps and then
// read out as text:
//
//   CTXXmlDocument document(StylesheetName(RunKind::Adjustment));
//   CTXXmlProject project;
//   CKZString text;
//   int status = document.Initialize(MakeRoot(linearUnit, angleUnit));
//   if (status == kXmlOk) status = document.InsertProject(MakeProject(name), project);
//   ... sections under project (CTXXmlNode inserts) ...
//   if (status == kXmlOk) status = document.XML(text);
//
// The document owns the libxml2 tree and frees all of it when destroyed; the
// node objects bound to its elements become unbound at that moment (see
// xml_node.h). It can be neither copied nor moved, so its nodes always know
// which tree they belong to.
#ifndef TAVEX_OUTPUT_XML_DOCUMENT_H
#define TAVEX_OUTPUT_XML_DOCUMENT_H

#include "geodesy/kz_string.h"
#include "output/xml_node.h"
#include "output/xml_records.h"

#include <memory>
#include <string>

struct _xmlDoc;

namespace Tavex {

class CTXXmlDocument {
public:
    // An empty document whose first line after the XML declaration is
    // <?xml-stylesheet type="text/xsl" href="stylesheet"?>; no such line when
    // stylesheet is null or empty. When libxml2 cannot allocate the document,
    // every later call returns kXmlOutOfMemory.
    explicit CTXXmlDocument(const char* stylesheet);
    ~CTXXmlDocument();
    CTXXmlDocument(const CTXXmlDocument&) = delete;
    CTXXmlDocument& operator=(const CTXXmlDocument&) = delete;

    // Writes the root element from root. Returns kXmlOk, kXmlOutOfOrder when
    // the document already has a root, kXmlOutOfMemory.
    int Initialize(const TXXML_ROOT& root);
    // Adds the project element under the root and binds out to it. Returns
    // kXmlOk, kXmlNoRoot before a successful Initialize, kXmlOutOfOrder for a
    // second project, kXmlOutOfMemory. On failure out is unbound.
    int InsertProject(const TXXML_PROJECT& project, CTXXmlProject& out);
    // The whole document as text: UTF-8 serialisation, indented, declared
    // encoding="UTF-8", decoded into text. Returns kXmlOk, kXmlNoRoot on a
    // document without root, kXmlOutOfMemory; on failure text is emptied.
    int XML(CKZString& text) const;
    // The same serialisation as bytes, ready to be written to a file.
    int XmlUtf8(std::string& bytes) const;

private:
    std::shared_ptr<_xmlDoc> document_; // null when allocation failed
    CTXXmlNode root_;                   // bound by Initialize
    bool hasProject_ = false;
};

} // namespace Tavex

#endif
