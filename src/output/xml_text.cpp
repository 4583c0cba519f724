#include "output/xml_text.h"

#include "geodesy/text_encoding.h"

#include <array>
#include <charconv>
#include <cmath>

namespace Tavex {

namespace {

constexpr wchar_t kReplacementCharacter = 0xFFFD;

} // namespace

bool IsXmlChar(char32_t c) {
    if (c == 0x9 || c == 0xA || c == 0xD)
        return true;
    return (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

std::string XmlText(std::wstring_view text) {
    std::wstring allowed(text);
    for (wchar_t& w : allowed) {
        if (!IsXmlChar(static_cast<char32_t>(w)))
            w = kReplacementCharacter;
    }
    return ToUtf8(allowed);
}

std::string XmlTextFromUtf8(std::string_view utf8) {
    return XmlText(FromUtf8(utf8));
}

std::string XmlReal(double value) {
    if (std::isnan(value))
        return "NaN";
    if (std::isinf(value))
        return value > 0 ? "INF" : "-INF";
    // 32 characters hold the longest shortest form ("-2.2250738585072014e-308").
    std::array<char, 32> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return std::string(buffer.data(), result.ptr);
}

std::string XmlInteger(long long value) {
    std::array<char, 24> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return std::string(buffer.data(), result.ptr);
}

std::string XmlUnsigned(unsigned long long value) {
    std::array<char, 24> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return std::string(buffer.data(), result.ptr);
}

} // namespace Tavex
