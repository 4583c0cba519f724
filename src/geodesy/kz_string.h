// CKZString: the kernel's wide-character string, used for names, paths,
// labels and report lines. Built on std::wstring; its 8-bit face is UTF-8.
//
// Formatting follows printf rules with the conventions of the platform the
// kernel's format strings were written for: in Format, %s and %c take wide
// arguments (const wchar_t*, wchar_t), %hs and %hc take 8-bit UTF-8 ones, and
// widths and precisions may be given as * arguments. Example:
//
//   CKZString line;
//   line.Format(L"%-*s%*.*f", 40, label.c_str(), 10, 4, alpha);
#ifndef TAVEX_GEODESY_KZ_STRING_H
#define TAVEX_GEODESY_KZ_STRING_H

#include <cstdarg>
#include <string>
#include <string_view>

namespace Tavex {

class CKZString {
public:
    CKZString() = default;
    CKZString(const wchar_t* text);
    CKZString(const char* utf8);
    explicit CKZString(wchar_t c);
    CKZString(std::wstring text) : text_(std::move(text)) {}
    CKZString(std::wstring_view text) : text_(text) {}

    CKZString& operator=(const wchar_t* text);
    CKZString& operator=(const char* utf8);
    CKZString& operator+=(const CKZString& other);
    CKZString& operator+=(const wchar_t* text);
    CKZString& operator+=(wchar_t c);

    // printf-style formatting, see the file comment. Returns the new length.
    int Format(const wchar_t* format, ...);
    int FormatV(const wchar_t* format, va_list args);

    // Removes leading and trailing white space.
    CKZString& Trim();
    // The first n characters (all when n is larger).
    CKZString Left(int n) const;
    // The characters from position n on (empty when n is past the end).
    CKZString Mid(int n) const;
    // Index of the first occurrence, or -1.
    int Find(wchar_t c) const;
    int Find(const wchar_t* text) const;
    int ReverseFind(wchar_t c) const;
    // Character at i, or 0 when i is outside the string.
    wchar_t GetAtU(int i) const;
    // Sets the character at i; does nothing when i is outside the string.
    void SetAtU(int i, wchar_t c);
    int GetLength() const { return static_cast<int>(text_.size()); }
    bool IsEmpty() const { return text_.empty(); }
    void Empty() { text_.clear(); }
    // <0, 0, >0 as in wcscmp.
    int Compare(const wchar_t* text) const;
    // Case-insensitive compare of the ASCII letters (the only case pairs the
    // kernel's texts compare: unit names, codes).
    int CompareNoCase(const wchar_t* text) const;
    // Loads text number id of the kernel's string table (empty when the table
    // has no such text). Returns whether the text exists.
    bool LoadStringA(int id);

    operator const wchar_t*() const { return text_.c_str(); }
    // UTF-8 form; the pointer is valid until the string changes.
    operator const char*() const;
    const wchar_t* c_str() const { return text_.c_str(); }
    const std::wstring& wstr() const { return text_; }
    std::string Utf8() const;
    // The bytes to open when the string is a path (see ToPathBytes).
    std::string PathBytes() const;

    friend CKZString operator+(CKZString a, const CKZString& b) { return a += b; }
    friend bool operator==(const CKZString& a, const CKZString& b) { return a.text_ == b.text_; }

private:
    std::wstring text_;
    mutable std::string utf8_;
};

// printf-style formatting into a std::wstring with the conventions above.
std::wstring FormatWide(const wchar_t* format, va_list args);

} // namespace Tavex

#endif
