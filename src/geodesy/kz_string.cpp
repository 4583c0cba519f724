#include "geodesy/kz_string.h"

#include "geodesy/text_encoding.h"
#include "resources/string_table.h"

#include <algorithm>
#include <cstdio>
#include <cwctype>

namespace Tavex {

CKZString::CKZString(const wchar_t* text) : text_(text ? text : L"") {}

CKZString::CKZString(const char* utf8) : text_(FromUtf8(utf8 ? utf8 : "")) {}

CKZString::CKZString(wchar_t c) : text_(1, c) {}

CKZString& CKZString::operator=(const wchar_t* text) {
    text_ = text ? text : L"";
    return *this;
}

CKZString& CKZString::operator=(const char* utf8) {
    text_ = FromUtf8(utf8 ? utf8 : "");
    return *this;
}

CKZString& CKZString::operator+=(const CKZString& other) {
    text_ += other.text_;
    return *this;
}

CKZString& CKZString::operator+=(const wchar_t* text) {
    if (text)
        text_ += text;
    return *this;
}

CKZString& CKZString::operator+=(wchar_t c) {
    text_ += c;
    return *this;
}

int CKZString::Format(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    const int length = FormatV(format, args);
    va_end(args);
    return length;
}

int CKZString::FormatV(const wchar_t* format, va_list args) {
    text_ = FormatWide(format, args);
    return GetLength();
}

CKZString& CKZString::Trim() {
    const auto isSpace = [](wchar_t c) { return std::iswspace(static_cast<wint_t>(c)) != 0; };
    const auto first = std::find_if_not(text_.begin(), text_.end(), isSpace);
    const auto last = std::find_if_not(text_.rbegin(), text_.rend(), isSpace).base();
    text_ = first < last ? std::wstring(first, last) : std::wstring();
    return *this;
}

CKZString CKZString::Left(int n) const {
    if (n <= 0)
        return {};
    return CKZString(text_.substr(0, static_cast<std::size_t>(n)));
}

CKZString CKZString::Mid(int n) const {
    if (n < 0)
        n = 0;
    if (static_cast<std::size_t>(n) >= text_.size())
        return {};
    return CKZString(text_.substr(static_cast<std::size_t>(n)));
}

int CKZString::Find(wchar_t c) const {
    const auto at = text_.find(c);
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

int CKZString::Find(const wchar_t* text) const {
    if (text == nullptr)
        return -1;
    const auto at = text_.find(text);
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

int CKZString::ReverseFind(wchar_t c) const {
    const auto at = text_.rfind(c);
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

wchar_t CKZString::GetAtU(int i) const {
    if (i < 0 || static_cast<std::size_t>(i) >= text_.size())
        return 0;
    return text_[static_cast<std::size_t>(i)];
}

void CKZString::SetAtU(int i, wchar_t c) {
    if (i < 0 || static_cast<std::size_t>(i) >= text_.size())
        return;
    text_[static_cast<std::size_t>(i)] = c;
}

int CKZString::Compare(const wchar_t* text) const {
    return text_.compare(text ? text : L"");
}

int CKZString::CompareNoCase(const wchar_t* text) const {
    const auto lower = [](wchar_t c) { return (c >= L'A' && c <= L'Z') ? c - L'A' + L'a' : c; };
    const wchar_t* a = text_.c_str();
    const wchar_t* b = text ? text : L"";
    for (; *a && lower(*a) == lower(*b); ++a, ++b) {
    }
    return static_cast<int>(lower(*a)) - static_cast<int>(lower(*b));
}

bool CKZString::LoadStringA(int id) {
    const std::string_view text = StringTableText(id);
    text_ = FromUtf8(text);
    return !text.empty();
}

CKZString::operator const char*() const {
    utf8_ = ToUtf8(text_);
    return utf8_.c_str();
}

std::string CKZString::Utf8() const {
    return ToUtf8(text_);
}

std::string CKZString::PathBytes() const {
    return ToPathBytes(text_);
}

namespace {

// One conversion directive of a format string (%-5.2f, %*d, %ls, ...).
struct FormatDirective {
    std::string flags;
    bool widthFromArgument = false;
    int width = -1;
    bool precisionFromArgument = false;
    int precision = -1;
    std::string length;
    wchar_t conversion = 0;
};

// Parses the directive that starts after '%' at format[i]; advances i past
// it. Returns false for a format that ends inside the directive.
bool ParseDirective(const wchar_t* format, std::size_t& i, FormatDirective& directive) {
    while (format[i] && std::wcschr(L"-+ #0", format[i]))
        directive.flags += static_cast<char>(format[i++]);
    if (format[i] == L'*') {
        directive.widthFromArgument = true;
        ++i;
    } else if (format[i] >= L'0' && format[i] <= L'9') {
        directive.width = 0;
        while (format[i] >= L'0' && format[i] <= L'9')
            directive.width = directive.width * 10 + (format[i++] - L'0');
    }
    if (format[i] == L'.') {
        ++i;
        directive.precision = 0;
        if (format[i] == L'*') {
            directive.precisionFromArgument = true;
            ++i;
        } else {
            while (format[i] >= L'0' && format[i] <= L'9')
                directive.precision = directive.precision * 10 + (format[i++] - L'0');
        }
    }
    while (format[i] && std::wcschr(L"hlLqjzt", format[i]))
        directive.length += static_cast<char>(format[i++]);
    if (format[i] == L'I' && format[i + 1] == L'6' && format[i + 2] == L'4') {
        directive.length = "ll";
        i += 3;
    }
    if (!format[i])
        return false;
    directive.conversion = format[i++];
    return true;
}

// Formats one numeric argument with the C library, the width and precision
// already resolved.
template <typename T>
void AppendNumber(std::wstring& out, const FormatDirective& directive, const char* length,
                  T value) {
    std::string narrowFormat(1, '%');
    narrowFormat.append(directive.flags);
    if (directive.width >= 0)
        narrowFormat.append(std::to_string(directive.width));
    if (directive.precision >= 0) {
        narrowFormat.push_back('.');
        narrowFormat.append(std::to_string(directive.precision));
    }
    narrowFormat += length;
    narrowFormat += static_cast<char>(directive.conversion);
    char buffer[128];
    int n = std::snprintf(buffer, sizeof buffer, narrowFormat.c_str(), value);
    if (n < 0)
        return;
    if (static_cast<std::size_t>(n) < sizeof buffer) {
        out.append(buffer, buffer + n);
        return;
    }
    std::string big(static_cast<std::size_t>(n) + 1, '\0');
    std::snprintf(big.data(), big.size(), narrowFormat.c_str(), value);
    out.append(big.begin(), big.begin() + n);
}

// Appends a text with the width (padding) and precision (maximum length) of
// its directive.
void AppendText(std::wstring& out, const FormatDirective& directive, std::wstring_view text) {
    if (directive.precision >= 0 && text.size() > static_cast<std::size_t>(directive.precision))
        text = text.substr(0, static_cast<std::size_t>(directive.precision));
    const std::size_t pad =
        directive.width > static_cast<int>(text.size()) ? directive.width - text.size() : 0;
    const bool left = directive.flags.find('-') != std::string::npos;
    if (!left)
        out.append(pad, L' ');
    out.append(text);
    if (left)
        out.append(pad, L' ');
}

bool IsNarrow(const FormatDirective& directive) {
    return directive.length == "h";
}

void AppendConversion(std::wstring& out, FormatDirective& directive, va_list& args) {
    if (directive.widthFromArgument) {
        directive.width = va_arg(args, int);
        if (directive.width < 0) {
            directive.flags += '-';
            directive.width = -directive.width;
        }
    }
    if (directive.precisionFromArgument) {
        directive.precision = va_arg(args, int);
        if (directive.precision < 0)
            directive.precision = -1;
    }
    switch (directive.conversion) {
    case L'd':
    case L'i':
        if (directive.length == "ll" || directive.length == "q" || directive.length == "j")
            AppendNumber(out, directive, "ll", va_arg(args, long long));
        else if (directive.length == "l" || directive.length == "z" || directive.length == "t")
            AppendNumber(out, directive, "l", va_arg(args, long));
        else
            AppendNumber(out, directive, "", va_arg(args, int));
        break;
    case L'u':
    case L'x':
    case L'X':
    case L'o':
        if (directive.length == "ll" || directive.length == "q" || directive.length == "j")
            AppendNumber(out, directive, "ll", va_arg(args, unsigned long long));
        else if (directive.length == "l" || directive.length == "z" || directive.length == "t")
            AppendNumber(out, directive, "l", va_arg(args, unsigned long));
        else
            AppendNumber(out, directive, "", va_arg(args, unsigned int));
        break;
    case L'e':
    case L'E':
    case L'f':
    case L'F':
    case L'g':
    case L'G':
    case L'a':
    case L'A':
        if (directive.length == "L")
            AppendNumber(out, directive, "L", va_arg(args, long double));
        else
            AppendNumber(out, directive, "", va_arg(args, double));
        break;
    case L'p':
        AppendNumber(out, directive, "", va_arg(args, void*));
        break;
    case L'c':
    case L'C': {
        const int c = va_arg(args, int);
        const wchar_t wide = IsNarrow(directive)
                                 ? static_cast<wchar_t>(static_cast<unsigned char>(c))
                                 : static_cast<wchar_t>(c);
        AppendText(out, directive, std::wstring_view(&wide, 1));
        break;
    }
    case L's':
    case L'S': {
        const bool narrow =
            IsNarrow(directive) || (directive.conversion == L'S' && directive.length != "l");
        if (narrow) {
            const char* text = va_arg(args, const char*);
            AppendText(out, directive, FromUtf8(text ? text : "(null)"));
        } else {
            const wchar_t* text = va_arg(args, const wchar_t*);
            AppendText(out, directive, text ? text : L"(null)");
        }
        break;
    }
    case L'%':
        out += L'%';
        break;
    default:
        // An unknown conversion is copied as it stands; it consumes no argument.
        out += L'%';
        out += directive.conversion;
        break;
    }
}

} // namespace

std::wstring FormatWide(const wchar_t* format, va_list args) {
    std::wstring out;
    if (format == nullptr)
        return out;
    va_list work;
    va_copy(work, args);
    std::size_t i = 0;
    while (format[i]) {
        if (format[i] != L'%') {
            out += format[i++];
            continue;
        }
        ++i;
        FormatDirective directive;
        if (!ParseDirective(format, i, directive))
            break;
        AppendConversion(out, directive, work);
    }
    va_end(work);
    return out;
}

} // namespace Tavex
