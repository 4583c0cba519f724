#include "html_report.h"

#include "document_reader.h"
#include "stylesheets.h"
#include "text_file.h"

#include <libxml/tree.h>
#include <libxml/uri.h>
#include <libxslt/security.h>
#include <libxslt/transform.h>
#include <libxslt/xsltInternals.h>
#include <libxslt/xsltutils.h>

#include <cstdarg>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <stdexcept>

namespace TavexCli {

namespace {

// The href of the document's xml-stylesheet instruction, empty without one.
std::string InstructionHref(const xmlDoc* document) {
    for (const xmlNode* n = document->children; n != nullptr; n = n->next) {
        if (n->type != XML_PI_NODE ||
            !xmlStrEqual(n->name, reinterpret_cast<const xmlChar*>("xml-stylesheet")) ||
            n->content == nullptr)
            continue;
        const std::string content(reinterpret_cast<const char*>(n->content));
        const std::size_t at = content.find("href=");
        if (at == std::string::npos || at + 6 > content.size())
            continue;
        const char quote = content[at + 5];
        const std::size_t end = content.find(quote, at + 6);
        if ((quote == '"' || quote == '\'') && end != std::string::npos)
            return content.substr(at + 6, end - at - 6);
    }
    return {};
}

// The stylesheet the sections under Project call for.
const char* StylesheetOfContent(const xmlNode* project) {
    if (DocumentReader::Child(project, "Prerun") != nullptr)
        return "VELNIKV33.xsl";
    if (DocumentReader::Child(project, "Cogo") != nullptr)
        return "DORAMV33.xsl";
    if (DocumentReader::Child(project, "Loops") != nullptr)
        return "RINDELV33.xsl";
    return "TAVEXV33.xsl";
}

// libxslt's and libxml2's messages of one rendering, collected to be said
// with the failure instead of going to standard error on their own.
void Collect(void* context, const char* format, ...) {
    char line[1024];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(line, sizeof line, format, arguments);
    va_end(arguments);
    static_cast<std::string*>(context)->append(line);
}

// The transformation may read the included stylesheet and nothing else: no
// files written, no directories made, no network.
void ForbidWritesAndNetwork(xsltTransformContext* context) {
    xsltSecurityPrefs* prefs = xsltNewSecurityPrefs();
    if (prefs == nullptr)
        throw std::bad_alloc();
    xsltSetSecurityPrefs(prefs, XSLT_SECPREF_WRITE_FILE, xsltSecurityForbid);
    xsltSetSecurityPrefs(prefs, XSLT_SECPREF_CREATE_DIRECTORY, xsltSecurityForbid);
    xsltSetSecurityPrefs(prefs, XSLT_SECPREF_READ_NETWORK, xsltSecurityForbid);
    xsltSetSecurityPrefs(prefs, XSLT_SECPREF_WRITE_NETWORK, xsltSecurityForbid);
    xsltSetCtxtSecurityPrefs(prefs, context);
    context->_private = prefs; // freed with the context below
}

using Stylesheet = std::unique_ptr<xsltStylesheet, void (*)(xsltStylesheet*)>;
using Document = std::unique_ptr<xmlDoc, void (*)(xmlDoc*)>;

// Parses the stylesheet file; its path goes to libxml2 as a URI, so that
// spaces, '%' and other characters in the installation's path reach the
// file system as they are.
Stylesheet ParseStylesheet(const std::filesystem::path& file, std::string& messages) {
    std::unique_ptr<xmlChar, void (*)(void*)> uri(
        xmlPathToURI(reinterpret_cast<const xmlChar*>(file.c_str())), xmlFree);
    if (!uri)
        throw std::bad_alloc();
    Stylesheet sheet(xsltParseStylesheetFile(uri.get()), &xsltFreeStylesheet);
    if (!sheet)
        throw std::runtime_error("cannot read the stylesheet " + file.string() + ": " + messages);
    return sheet;
}

} // namespace

std::string StylesheetFor(const std::string& documentPath) {
    const DocumentReader in(documentPath);
    const std::string href = InstructionHref(in.Document());
    return IsReportStylesheet(href) ? href : StylesheetOfContent(in.Project());
}

void RenderHtml(const std::string& documentPath, const std::string& htmlPath) {
    const DocumentReader in(documentPath);
    const std::string href = InstructionHref(in.Document());
    const std::string name = IsReportStylesheet(href) ? href : StylesheetOfContent(in.Project());

    std::string messages;
    xsltSetGenericErrorFunc(&messages, &Collect);
    xmlSetGenericErrorFunc(&messages, &Collect);
    struct Restore {
        ~Restore() {
            xsltSetGenericErrorFunc(nullptr, nullptr);
            xmlSetGenericErrorFunc(nullptr, nullptr);
        }
    } restore;

    const Stylesheet sheet = ParseStylesheet(StylesheetDirectory() / name, messages);
    std::unique_ptr<xsltTransformContext, void (*)(xsltTransformContext*)> context(
        xsltNewTransformContext(sheet.get(), in.Document()), [](xsltTransformContext* c) {
            xsltFreeSecurityPrefs(static_cast<xsltSecurityPrefs*>(c->_private));
            xsltFreeTransformContext(c);
        });
    if (!context)
        throw std::bad_alloc();
    ForbidWritesAndNetwork(context.get());
    const Document html(xsltApplyStylesheetUser(sheet.get(), in.Document(), nullptr, nullptr,
                                                nullptr, context.get()),
                        &xmlFreeDoc);
    if (!html || context->state != XSLT_STATE_OK)
        throw std::runtime_error("the stylesheet " + name + " failed on " + documentPath + ": " +
                                 messages);
    // Serialised in memory and written by the host: libxml2's own output
    // would read '%' in a file name as a URI escape.
    xmlChar* text = nullptr;
    int size = 0;
    if (xsltSaveResultToString(&text, &size, html.get(), sheet.get()) != 0)
        throw std::runtime_error("cannot serialise the report of " + documentPath);
    const std::unique_ptr<xmlChar, void (*)(void*)> owned(text, xmlFree);
    WriteTextFile(htmlPath, std::string(reinterpret_cast<const char*>(text),
                                        size > 0 ? static_cast<std::size_t>(size) : 0));
}

std::string HtmlNameFor(const std::string& documentPath) {
    std::filesystem::path path(documentPath);
    return path.replace_extension(".html").string();
}

} // namespace TavexCli
