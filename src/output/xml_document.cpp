#include "output/xml_document.h"

#include "geodesy/text_encoding.h"
#include "output/xml_element.h"
#include "output/xml_status.h"
#include "output/xml_text.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <memory>

namespace Tavex {

namespace {

const xmlChar* AsXml(const char* utf8) {
    return reinterpret_cast<const xmlChar*>(utf8);
}

// The pseudo-attributes of the stylesheet instruction read like attribute
// values: characters that would end the value or the instruction are written
// as the predefined entity references.
std::string StylesheetInstruction(const char* stylesheet) {
    std::string content = "type=\"text/xsl\" href=\"";
    for (char c : XmlTextFromUtf8(stylesheet)) {
        switch (c) {
        case '&':
            content += "&amp;";
            break;
        case '<':
            content += "&lt;";
            break;
        case '>':
            content += "&gt;";
            break;
        case '"':
            content += "&quot;";
            break;
        default:
            content += c;
        }
    }
    return content + "\"";
}

// A new document with its stylesheet instruction, or null.
std::shared_ptr<xmlDoc> NewDocument(const char* stylesheet) {
    xmlInitParser(); // libxml2's one-time set-up; repeated calls do nothing
    xmlDoc* raw = xmlNewDoc(AsXml("1.0"));
    if (raw == nullptr)
        return nullptr;
    // The control block comes from the standard library: its failure throws
    // std::bad_alloc, as everywhere in the kernel, after freeing raw.
    std::shared_ptr<xmlDoc> document(raw, xmlFreeDoc);
    if (stylesheet != nullptr && stylesheet[0] != '\0') {
        const std::string content = StylesheetInstruction(stylesheet);
        xmlNode* instruction = xmlNewDocPI(raw, AsXml("xml-stylesheet"), AsXml(content.c_str()));
        if (instruction == nullptr)
            return nullptr;
        if (instruction->name == nullptr || instruction->content == nullptr) {
            xmlFreeNode(instruction);
            return nullptr;
        }
        xmlAddChild(reinterpret_cast<xmlNode*>(raw), instruction);
    }
    return document;
}

std::string VersionText(const TXXML_ROOT& root) {
    return XmlInteger(root.versionMajor) + "." + XmlInteger(root.versionMinor) + "." +
           XmlInteger(root.versionRevision);
}

} // namespace

CTXXmlDocument::CTXXmlDocument(const char* stylesheet) : document_(NewDocument(stylesheet)) {}

CTXXmlDocument::~CTXXmlDocument() = default;

int CTXXmlDocument::Initialize(const TXXML_ROOT& root) {
    if (!document_)
        return kXmlOutOfMemory;
    if (root_.IsBound())
        return kXmlOutOfOrder;

    xmlNode* element = nullptr;
    const std::string version = VersionText(root);
    int status = NewXmlElement(document_.get(), nullptr, "Result",
                               {{"publisher", root.publisher},
                                {"product", root.product},
                                {"version", version.c_str()},
                                {"linearUnitCode", root.linearUnitCode},
                                {"angleUnitCode", root.angleUnitCode}},
                               &element);
    if (status != kXmlOk)
        return status;
    if (!root.namespaceUri.IsEmpty()) {
        // Declared on the root without prefix: every element of the document
        // (children inherit their parent's namespace) lies in it.
        const std::string uri = XmlText(root.namespaceUri.wstr());
        xmlNs* ns = xmlNewNs(element, AsXml(uri.c_str()), nullptr);
        if (ns == nullptr || ns->href == nullptr) {
            xmlFreeNode(element);
            return kXmlOutOfMemory;
        }
        xmlSetNs(element, ns);
    }
    xmlDocSetRootElement(document_.get(), element);
    root_.Bind(document_, element);
    return kXmlOk;
}

int CTXXmlDocument::InsertProject(const TXXML_PROJECT& project, CTXXmlProject& out) {
    out.Unbind();
    if (!document_)
        return kXmlOutOfMemory;
    if (!root_.IsBound())
        return kXmlNoRoot;
    if (hasProject_)
        return kXmlOutOfOrder;
    const int status = root_.InsertChild("Project",
                                         {{"name", project.name},
                                          {"meanHeight", project.meanHeight},
                                          {"geoidSeparation", project.geoidSeparation},
                                          {"stationCount", project.stationCount},
                                          {"knownStationCount", project.knownStationCount},
                                          {"observationCount", project.observationCount},
                                          {"redundancy", project.redundancy},
                                          {"varianceFactor", project.varianceFactor}},
                                         out);
    hasProject_ = status == kXmlOk;
    return status;
}

int CTXXmlDocument::XmlUtf8(std::string& bytes) const {
    bytes.clear();
    if (!document_)
        return kXmlOutOfMemory;
    if (!root_.IsBound())
        return kXmlNoRoot;
    xmlChar* raw = nullptr;
    int size = 0;
    // libxml2's serialiser can lose output when an internal buffer cannot
    // grow and still hand back text; its last error tells.
    xmlResetLastError();
    xmlDocDumpFormatMemoryEnc(document_.get(), &raw, &size, "UTF-8", 1);
    const auto release = [](xmlChar* p) { xmlFree(p); };
    const std::unique_ptr<xmlChar, decltype(release)> buffer(raw, release);
    const xmlError* error = xmlGetLastError();
    if (error != nullptr && error->code != XML_ERR_OK)
        return error->code == XML_ERR_NO_MEMORY ? kXmlOutOfMemory : kXmlWriteFailed;
    if (buffer == nullptr || size < 0)
        return kXmlOutOfMemory;
    bytes.assign(reinterpret_cast<const char*>(buffer.get()), static_cast<std::size_t>(size));
    return kXmlOk;
}

int CTXXmlDocument::XML(CKZString& text) const {
    text.Empty();
    std::string bytes;
    const int status = XmlUtf8(bytes);
    if (status == kXmlOk)
        text = CKZString(FromUtf8(bytes));
    return status;
}

} // namespace Tavex
