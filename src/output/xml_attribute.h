// XmlAttribute: one attribute of a result-document element, a name and the
// value already in its lexical form. The constructor picks the form from the
// value's type, so a typed insert lists its record's fields in one braced list:
//
//   InsertChild("Station", {{"name", station.name},      // CKZString: text
//                           {"code", station.code},      // integer
//                           {"north", station.north}},   // double: round-trip real
//               out);
//
// The name is kept as a pointer: an attribute lives only for the call it is
// built for (a braced list lives until the end of its full expression).
#ifndef TAVEX_OUTPUT_XML_ATTRIBUTE_H
#define TAVEX_OUTPUT_XML_ATTRIBUTE_H

#include "geodesy/kz_string.h"
#include "output/xml_text.h"

#include <concepts>
#include <string>
#include <string_view>
#include <type_traits>

namespace Tavex {

class XmlAttribute {
public:
    // Text from a wide string; see XmlText for characters XML cannot hold.
    XmlAttribute(const char* name, const CKZString& text)
        : name_(name), value_(XmlText(text.wstr())) {}
    // Text from UTF-8; a null pointer makes the attribute invalid (the insert
    // that receives it fails with kXmlInvalidValue).
    XmlAttribute(const char* name, const char* utf8)
        : name_(name), value_(utf8 ? XmlTextFromUtf8(utf8) : std::string()),
          valid_(utf8 != nullptr) {}
    // Integers of any width (counters, codes, flags), written in decimal.
    template <std::integral T>
    XmlAttribute(const char* name, T value) : name_(name), value_(IntegerText(value)) {}
    // Reals, written so that they read back bit for bit (see XmlReal).
    XmlAttribute(const char* name, double value) : name_(name), value_(XmlReal(value)) {}

    const char* Name() const { return name_; }
    // UTF-8 lexical form, free of characters XML 1.0 does not allow.
    const std::string& Value() const { return value_; }
    bool HasValue() const { return valid_; }

private:
    template <std::integral T>
    static std::string IntegerText(T value) {
        if constexpr (std::is_signed_v<T>)
            return XmlInteger(static_cast<long long>(value));
        else
            return XmlUnsigned(static_cast<unsigned long long>(value));
    }

    const char* name_;
    std::string value_;
    bool valid_ = true;
};

} // namespace Tavex

#endif
