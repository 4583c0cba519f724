// Building one element of a result document with libxml2: the name check,
// the attributes, and the clean-up of a half-built element. The node and
// document classes share these so that the root, the project and every
// section are built the same way.
#ifndef TAVEX_OUTPUT_XML_ELEMENT_H
#define TAVEX_OUTPUT_XML_ELEMENT_H

#include "output/xml_attribute.h"

#include <initializer_list>

// libxml2's tree types, declared here so that only the writer's sources
// include libxml2's headers.
struct _xmlDoc;
struct _xmlNode;
struct _xmlNs;

namespace Tavex {

// Whether name may name an element or attribute of our vocabulary: an XML
// name without colon (no prefixes are used) that does not begin with "xml",
// which XML reserves, in any case.
bool IsAllowedXmlName(const char* name);

// Sets (or replaces) one attribute of element. Returns kXmlOk, or
// kXmlInvalidName, kXmlInvalidValue (element unchanged), kXmlOutOfMemory
// (the attribute is then absent, never half-written).
int SetXmlAttribute(_xmlNode* element, const XmlAttribute& attribute);

// Creates an element named name in namespace ns (null: none) of document,
// with the given attributes, not yet linked into the tree. On success *out is
// the element and the caller links it; on failure nothing is left allocated,
// *out is null and the status says why (kXmlInvalidName, kXmlInvalidValue,
// kXmlOutOfMemory).
int NewXmlElement(_xmlDoc* document, _xmlNs* ns, const char* name,
                  std::initializer_list<XmlAttribute> attributes, _xmlNode** out);

} // namespace Tavex

#endif
