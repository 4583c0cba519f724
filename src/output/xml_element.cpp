#include "output/xml_element.h"

#include "output/xml_status.h"

#include <libxml/tree.h>

namespace Tavex {

namespace {

const xmlChar* AsXml(const char* utf8) {
    return reinterpret_cast<const xmlChar*>(utf8);
}

bool BeginsWithXml(const char* name) {
    const auto lower = [](char c) {
        return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    };
    return lower(name[0]) == 'x' && lower(name[1]) == 'm' && lower(name[2]) == 'l';
}

} // namespace

bool IsAllowedXmlName(const char* name) {
    if (name == nullptr || name[0] == '\0')
        return false;
    // xmlValidateNCName returns 0 for a valid name without colon.
    return xmlValidateNCName(AsXml(name), 0) == 0 && !BeginsWithXml(name);
}

int SetXmlAttribute(xmlNode* element, const XmlAttribute& attribute) {
    if (!IsAllowedXmlName(attribute.Name()))
        return kXmlInvalidName;
    if (!attribute.HasValue())
        return kXmlInvalidValue;
    const std::string& value = attribute.Value();
    // xmlSetProp stores the value literally (as a text child); the serialiser
    // escapes '&', '<', '"' and line breaks.
    xmlAttr* property = xmlSetProp(element, AsXml(attribute.Name()), AsXml(value.c_str()));
    if (property == nullptr)
        return kXmlOutOfMemory;
    // libxml2 does not report a failed copy of the name or of the value's
    // text; the half-made attribute is removed rather than written wrong.
    const bool nameCopied = property->name != nullptr;
    const bool valueCopied =
        value.empty() || (property->children != nullptr && property->children->content != nullptr);
    if (!nameCopied || !valueCopied) {
        xmlRemoveProp(property);
        return kXmlOutOfMemory;
    }
    return kXmlOk;
}

int NewXmlElement(xmlDoc* document, xmlNs* ns, const char* name,
                  std::initializer_list<XmlAttribute> attributes, xmlNode** out) {
    *out = nullptr;
    if (!IsAllowedXmlName(name))
        return kXmlInvalidName;
    xmlNode* element = xmlNewDocNode(document, ns, AsXml(name), nullptr);
    if (element == nullptr)
        return kXmlOutOfMemory;
    if (element->name == nullptr) { // the copy of the name failed
        xmlFreeNode(element);
        return kXmlOutOfMemory;
    }
    for (const XmlAttribute& attribute : attributes) {
        const int status = SetXmlAttribute(element, attribute);
        if (status != kXmlOk) {
            xmlFreeNode(element); // also frees the attributes set so far
            return status;
        }
    }
    *out = element;
    return kXmlOk;
}

} // namespace Tavex
