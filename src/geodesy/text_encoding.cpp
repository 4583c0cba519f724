#include "geodesy/text_encoding.h"

#include <cstring>

namespace Tavex {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsValidCodePoint(char32_t c) {
    return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
}

void AppendUtf8(std::string& out, char32_t c) {
    if (!IsValidCodePoint(c))
        c = kReplacement;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Length of the UTF-8 sequence that starts with lead byte b, 0 when b cannot
// start one.
int SequenceLength(unsigned char b) {
    if (b < 0x80)
        return 1;
    if (b >= 0xC2 && b <= 0xDF)
        return 2;
    if (b >= 0xE0 && b <= 0xEF)
        return 3;
    if (b >= 0xF0 && b <= 0xF4)
        return 4;
    return 0;
}

} // namespace

std::string ToUtf8(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t w : text)
        AppendUtf8(out, static_cast<char32_t>(w));
    return out;
}

namespace {

// Decodes UTF-8; a byte that begins no well-formed sequence becomes
// badByte(byte).
template <class BadByte>
std::wstring DecodeUtf8(std::string_view text, BadByte badByte) {
    std::wstring out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int length = SequenceLength(lead);
        if (length == 0 || i + length > text.size()) {
            out += static_cast<wchar_t>(badByte(lead));
            ++i;
            continue;
        }
        char32_t c = length == 1 ? lead : (lead & (0x7F >> length));
        bool valid = true;
        for (int k = 1; k < length; ++k) {
            const auto b = static_cast<unsigned char>(text[i + k]);
            if ((b & 0xC0) != 0x80) {
                valid = false;
                break;
            }
            c = (c << 6) | (b & 0x3F);
        }
        const bool overlong = (length == 3 && c < 0x800) || (length == 4 && c < 0x10000);
        if (!valid || overlong || !IsValidCodePoint(c)) {
            out += static_cast<wchar_t>(badByte(lead));
            ++i;
            continue;
        }
        out += static_cast<wchar_t>(c);
        i += length;
    }
    return out;
}

// A path byte that no UTF-8 sequence accounts for (0x80 to 0xFF) is kept as
// the lone surrogate U+DC00 + byte, a code point no well-formed UTF-8 text
// decodes to, so the byte comes back exactly when the path is opened.
constexpr char32_t kRawPathByteBase = 0xDC00;

bool IsRawPathByte(char32_t c) {
    return c >= kRawPathByteBase + 0x80 && c <= kRawPathByteBase + 0xFF;
}

} // namespace

std::wstring FromUtf8(std::string_view text) {
    return DecodeUtf8(text, [](unsigned char) { return kReplacement; });
}

bool IsValidUtf8(std::string_view text) {
    // Decoding replaces every bad byte, so only well-formed text comes back
    // byte for byte when encoded again.
    return ToUtf8(FromUtf8(text)) == text;
}

std::wstring FromHostText(std::string_view text, bool filledItsField) {
    // Drop a sequence cut short at the end: walk back over continuation
    // bytes to the last lead byte and see whether its sequence fits.
    std::size_t end = text.size();
    std::size_t lead = end;
    while (lead > 0 && end - lead < 4 &&
           (static_cast<unsigned char>(text[lead - 1]) & 0xC0) == 0x80)
        --lead;
    if (filledItsField && lead > 0) {
        const int length = SequenceLength(static_cast<unsigned char>(text[lead - 1]));
        if (length > 1 && end - (lead - 1) < static_cast<std::size_t>(length))
            end = lead - 1;
    }
    const std::string_view whole = text.substr(0, end);
    if (IsValidUtf8(whole))
        return FromUtf8(whole);
    std::wstring latin1;
    latin1.reserve(text.size());
    for (const char c : text)
        latin1 += static_cast<wchar_t>(static_cast<unsigned char>(c));
    return latin1;
}

std::wstring FromHostField(const char* field, std::size_t size) {
    const std::string_view text = FixedField(field, size);
    return FromHostText(text, text.size() == size);
}

std::wstring FromHostPath(const char* field, std::size_t size) {
    return DecodeUtf8(FixedField(field, size),
                      [](unsigned char b) { return kRawPathByteBase + b; });
}

std::string ToPathBytes(std::wstring_view path) {
    std::string out;
    out.reserve(path.size());
    for (wchar_t w : path) {
        const auto c = static_cast<char32_t>(w);
        if (IsRawPathByte(c))
            out += static_cast<char>(c - kRawPathByteBase);
        else
            AppendUtf8(out, c);
    }
    return out;
}

std::u16string ToUtf16(std::wstring_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (wchar_t w : text) {
        char32_t c = static_cast<char32_t>(w);
        if (!IsValidCodePoint(c))
            c = kReplacement;
        if (c < 0x10000) {
            out += static_cast<char16_t>(c);
        } else {
            c -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (c >> 10));
            out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        }
    }
    return out;
}

std::string_view FixedField(const char* field, std::size_t size) {
    if (field == nullptr)
        return {};
    const void* zero = std::memchr(field, 0, size);
    const std::size_t length =
        zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - field) : size;
    return {field, length};
}

void CopyToFixedField(std::string_view text, char* field, std::size_t size) {
    if (field == nullptr || size == 0)
        return;
    std::memset(field, 0, size);
    std::size_t length = text.size() < size - 1 ? text.size() : size - 1;
    // Step back over continuation bytes so that no character is split.
    if (length < text.size())
        while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
            --length;
    std::memcpy(field, text.data(), length);
}

} // namespace Tavex
