// HTML reports of the kernel's result documents: each document rendered
// through libxslt with the stylesheet it names (one of the four shipped in
// share/xsl).
#ifndef TAVEX_CLI_HTML_REPORT_H
#define TAVEX_CLI_HTML_REPORT_H

#include <string>

namespace TavexCli {

// The stylesheet for a result document: the one its xml-stylesheet
// instruction names when that is one of the four, else the one its content
// calls for (a pre-run, COGO or loop section, or an adjustment). Never a file
// the document names otherwise: a document cannot make the host load an
// arbitrary stylesheet. Throws std::runtime_error when path is no result
// document.
std::string StylesheetFor(const std::string& documentPath);

// Renders the document at documentPath into htmlPath (replaced). Throws
// std::runtime_error naming what failed.
void RenderHtml(const std::string& documentPath, const std::string& htmlPath);

// The report's default name: the document's with its last ".xml" (or other
// extension) replaced by ".html": ring.xml -> ring.html, ring.vnk.xml ->
// ring.vnk.html.
std::string HtmlNameFor(const std::string& documentPath);

} // namespace TavexCli

#endif
