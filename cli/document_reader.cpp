#include "document_reader.h"

#include <libxml/parser.h>

#include <charconv>
#include <fstream>
#include <limits>
#include <sstream>
#include <stdexcept>
#include <system_error>

namespace TavexCli {

namespace {

bool Named(const xmlNode* node, const char* name) {
    return xmlStrEqual(node->name, reinterpret_cast<const xmlChar*>(name));
}

} // namespace

DocumentReader::DocumentReader(std::string path)
    : path_(std::move(path)), document_(nullptr, &xmlFreeDoc) {
    // Read by the host, then parsed: libxml2's own file reading takes the
    // path for a URI and may open another file ("a%41.xml" as "aA.xml").
    std::ifstream in(path_, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    if (!in)
        Fail("cannot be read");
    const std::string bytes = text.str();
    if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        Fail("too large");
    document_.reset(xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr,
                                  XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
    if (!document_) {
        const xmlError* error = xmlGetLastError();
        Fail(error != nullptr && error->message != nullptr ? error->message : "cannot be read");
    }
    const xmlNode* root = xmlDocGetRootElement(document_.get());
    if (root == nullptr || !Named(root, "Result"))
        Fail("not a result document");
    project_ = Child(root, "Project");
    if (project_ == nullptr)
        Fail("no Project element");
}

void DocumentReader::Fail(const std::string& what) const {
    throw std::runtime_error("the kernel's result document " + path_ + ": " + what);
}

std::vector<const xmlNode*> DocumentReader::Children(const xmlNode* parent, const char* name) {
    std::vector<const xmlNode*> found;
    for (const xmlNode* n = parent ? parent->children : nullptr; n != nullptr; n = n->next)
        if (n->type == XML_ELEMENT_NODE && Named(n, name))
            found.push_back(n);
    return found;
}

const xmlNode* DocumentReader::Child(const xmlNode* parent, const char* name) {
    const auto found = Children(parent, name);
    return found.empty() ? nullptr : found.front();
}

std::string DocumentReader::Attribute(const xmlNode* node, const char* name) const {
    xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
    if (value == nullptr)
        Fail(std::string("a ") + reinterpret_cast<const char*>(node->name) + " element has no " +
             name);
    std::string text(reinterpret_cast<const char*>(value));
    xmlFree(value);
    return text;
}

double DocumentReader::Real(const xmlNode* node, const char* name) const {
    const std::string text = Attribute(node, name);
    double x = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), x);
    if (error != std::errc() || end != text.data() + text.size())
        Fail(std::string("the ") + name + " \"" + text + "\" is not a number");
    return x;
}

long long DocumentReader::Whole(const xmlNode* node, const char* name) const {
    const std::string text = Attribute(node, name);
    long long x = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), x);
    if (error != std::errc() || end != text.data() + text.size())
        Fail(std::string("the ") + name + " \"" + text + "\" is not a whole number");
    return x;
}

std::size_t DocumentReader::Number(const xmlNode* node, const char* name, std::size_t count) const {
    const std::size_t x = NumberOrNone(node, name, count);
    if (x == 0)
        Fail(std::string("the ") + name + " 0 is not one of the project's");
    return x;
}

std::size_t DocumentReader::NumberOrNone(const xmlNode* node, const char* name,
                                         std::size_t count) const {
    const long long x = Whole(node, name);
    if (x < 0 || static_cast<unsigned long long>(x) > count)
        Fail(std::string("the ") + name + " " + std::to_string(x) + " is not one of the project's");
    return static_cast<std::size_t>(x);
}

} // namespace TavexCli
