#include "output/xml_node.h"

#include "output/xml_element.h"
#include "output/xml_status.h"

#include <libxml/tree.h>

namespace Tavex {

bool CTXXmlNode::IsBound() const {
    return element_ != nullptr && !document_.expired();
}

void CTXXmlNode::Unbind() {
    document_.reset();
    element_ = nullptr;
}

void CTXXmlNode::Bind(const std::shared_ptr<xmlDoc>& document, xmlNode* element) {
    document_ = document;
    element_ = element;
}

int CTXXmlNode::InsertChild(const char* name, std::initializer_list<XmlAttribute> attributes,
                            CTXXmlNode& out) {
    // Hold the document for the whole call; out may be this very node.
    const std::shared_ptr<xmlDoc> document = document_.lock();
    xmlNode* const parent = element_;
    out.Unbind();
    if (!document || parent == nullptr)
        return kXmlNotBound;

    xmlNode* child = nullptr;
    const int status = NewXmlElement(document.get(), parent->ns, name, attributes, &child);
    if (status != kXmlOk)
        return status;
    xmlAddChild(parent, child); // cannot fail for an element under an element
    out.Bind(document, child);
    return kXmlOk;
}

int CTXXmlNode::SetAttribute(const XmlAttribute& attribute) {
    const std::shared_ptr<xmlDoc> document = document_.lock();
    if (!document || element_ == nullptr)
        return kXmlNotBound;
    return SetXmlAttribute(element_, attribute);
}

} // namespace Tavex
