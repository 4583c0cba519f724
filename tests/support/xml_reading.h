// Reading result documents back in tests, with libxml2's parser.
#ifndef TAVEX_TESTS_SUPPORT_XML_READING_H
#define TAVEX_TESTS_SUPPORT_XML_READING_H

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace TavexTest {

using ParsedDocument = std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)>;

inline ParsedDocument Parse(const std::string& bytes) {
    return ParsedDocument(xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), "doc.xml",
                                        nullptr, XML_PARSE_NONET),
                          xmlFreeDoc);
}

inline std::string Name(const xmlNode* node) {
    return reinterpret_cast<const char*>(node->name);
}

inline std::string Attribute(const xmlNode* element, const char* name) {
    xmlChar* value = xmlGetProp(element, reinterpret_cast<const xmlChar*>(name));
    if (value == nullptr)
        return "<absent>";
    std::string text(reinterpret_cast<const char*>(value));
    xmlFree(value);
    return text;
}

inline double Number(const xmlNode* element, const char* name) {
    const std::string text = Attribute(element, name);
    return text == "<absent>" ? std::nan("") : std::strtod(text.c_str(), nullptr);
}

inline std::vector<const xmlNode*> Children(const xmlNode* parent, const char* name = nullptr) {
    std::vector<const xmlNode*> children;
    for (const xmlNode* c = parent ? parent->children : nullptr; c != nullptr; c = c->next)
        if (c->type == XML_ELEMENT_NODE && (name == nullptr || Name(c) == name))
            children.push_back(c);
    return children;
}

// The first child named name whose attribute has the value.
inline const xmlNode* Find(const xmlNode* parent, const char* name, const char* attribute,
                           const std::string& value) {
    for (const xmlNode* c : Children(parent, name))
        if (Attribute(c, attribute) == value)
            return c;
    return nullptr;
}

} // namespace TavexTest

#endif
