// Statuses of the XML writer layer. Every insert and initialisation returns
// one of them: 0 on success, negative on failure. The run drivers only tell
// zero from nonzero; the distinct values help tests and diagnostics.
#ifndef TAVEX_OUTPUT_XML_STATUS_H
#define TAVEX_OUTPUT_XML_STATUS_H

namespace Tavex {

inline constexpr int kXmlOk = 0;
// The node is not bound to an element of a live document (never bound, bound
// by a failed insert, or its document is gone).
inline constexpr int kXmlNotBound = -1;
// The document has no root element yet: Initialize has not succeeded.
inline constexpr int kXmlNoRoot = -2;
// A step of the document's lifecycle was repeated: a second Initialize or a
// second project.
inline constexpr int kXmlOutOfOrder = -3;
// libxml2 (or the standard library) could not allocate memory.
inline constexpr int kXmlOutOfMemory = -4;
// An element or attribute name is null, empty, not an XML name without
// colon, or reserved (begins with "xml" in any case).
inline constexpr int kXmlInvalidName = -5;
// An attribute value is missing (a null UTF-8 pointer).
inline constexpr int kXmlInvalidValue = -6;
// libxml2 reported an error other than memory while serialising.
inline constexpr int kXmlWriteFailed = -7;
// The generic failure status of a run's document writer: the result file
// could not be created.
inline constexpr int kDocumentFileFailure = static_cast<int>(0x80004005u);

} // namespace Tavex

#endif
