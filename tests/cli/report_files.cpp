#include "report_files.h"

#include <libxml/parser.h>
#include <libxml/xpathInternals.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <utility>

namespace TavexCliTest {

XmlFile::XmlFile(const std::filesystem::path& path)
    : document_(xmlReadFile(path.c_str(), nullptr,
                            XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING),
                &xmlFreeDoc) {
    if (!document_) {
        const xmlError* e = xmlGetLastError();
        error_ = path.string() + ": " + (e != nullptr && e->message ? e->message : "unreadable");
    }
}

namespace {

using XPathContext = std::unique_ptr<xmlXPathContext, void (*)(xmlXPathContext*)>;
using XPathResult = std::unique_ptr<xmlXPathObject, void (*)(xmlXPathObject*)>;

XPathResult Evaluate(xmlDoc* document, const std::string& xpath) {
    XPathContext context(xmlXPathNewContext(document), &xmlXPathFreeContext);
    xmlXPathRegisterNs(context.get(), BAD_CAST "r", BAD_CAST "urn:tavex:result:3.3");
    xmlXPathRegisterNs(context.get(), BAD_CAST "h", BAD_CAST "http://www.w3.org/1999/xhtml");
    xmlXPathRegisterNs(context.get(), BAD_CAST "s", BAD_CAST "http://www.w3.org/2000/svg");
    return XPathResult(xmlXPathEvalExpression(BAD_CAST xpath.c_str(), context.get()),
                       &xmlXPathFreeObject);
}

} // namespace

std::vector<xmlNode*> XmlFile::Nodes(const std::string& xpath) const {
    std::vector<xmlNode*> nodes;
    if (!document_)
        return nodes;
    const XPathResult result = Evaluate(document_.get(), xpath);
    if (result && result->nodesetval != nullptr)
        for (int k = 0; k < result->nodesetval->nodeNr; ++k)
            nodes.push_back(result->nodesetval->nodeTab[k]);
    return nodes;
}

double XmlFile::Number(const std::string& xpath) const {
    if (!document_)
        return -1;
    const XPathResult result = Evaluate(document_.get(), xpath);
    return result ? xmlXPathCastToNumber(result.get()) : -1;
}

std::string XmlFile::Attribute(const xmlNode* node, const char* name) {
    xmlChar* value = xmlGetProp(node, BAD_CAST name);
    if (value == nullptr)
        return {};
    std::string text(reinterpret_cast<const char*>(value));
    xmlFree(value);
    return text;
}

std::string WithClass(const std::string& element, const std::string& word) {
    return element + "[contains(concat(' ', normalize-space(@class), ' '), ' " + word + " ')]";
}

std::vector<PlotPair> ObservedPairs(const XmlFile& document) {
    std::set<long> placed;
    for (const xmlNode* s : document.Nodes("//r:Stations/r:Station[@planeEasting] | "
                                           "//r:FreeStations/r:FreeStation[@planeEasting]"))
        placed.insert(std::stol(XmlFile::Attribute(s, "number")));
    std::map<std::pair<long, long>, bool> pairs;
    for (xmlNode* o : document.Nodes("//r:Observations/r:Observation")) {
        const long a = std::stol(XmlFile::Attribute(o, "stationNumber"));
        const long b = std::stol(XmlFile::Attribute(o, "targetNumber"));
        if (a == b || !placed.count(a) || !placed.count(b))
            continue;
        bool rejected = false;
        for (const xmlNode* n = o->children; n != nullptr; n = n->next)
            rejected = rejected ||
                       (n->type == XML_ELEMENT_NODE && XmlFile::Attribute(n, "rejected") == "1");
        bool& pair = pairs[{std::min(a, b), std::max(a, b)}];
        pair = pair || rejected;
    }
    std::vector<PlotPair> out;
    for (const auto& [ends, rejected] : pairs)
        out.push_back({ends.first, ends.second, rejected});
    for (const xmlNode* f : document.Nodes("//r:FreeStations/r:FreeStation[@planeEasting]"))
        if (placed.count(std::stol(XmlFile::Attribute(f, "heldNumber"))))
            out.push_back({std::stol(XmlFile::Attribute(f, "heldNumber")),
                           std::stol(XmlFile::Attribute(f, "number")), false});
    return out;
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace TavexCliTest
