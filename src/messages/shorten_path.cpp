#include "messages/shorten_path.h"

#include <string>

namespace Tavex {

namespace {

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

std::size_t FindSeparator(const std::wstring& text, std::size_t from = 0) {
    for (std::size_t i = from; i < text.size(); ++i)
        if (IsSeparator(text[i]))
            return i;
    return std::wstring::npos;
}

} // namespace

CKZString ShortenPath(const CKZString& path, int maxLength) {
    const std::wstring& full = path.wstr();
    // The separator the path itself uses; backslash when it has none.
    const std::size_t firstSeparator = FindSeparator(full);
    const wchar_t separator = firstSeparator == std::wstring::npos ? L'\\' : full[firstSeparator];

    std::wstring root;
    std::wstring rest;
    const bool network = full.size() >= 2 && IsSeparator(full[0]) && IsSeparator(full[1]);
    if (network) {
        const std::size_t end = FindSeparator(full, 2);
        if (end == std::wstring::npos)
            return path; // only a server name: nothing to drop
        root = full.substr(0, end);
        rest = full.substr(end + 1);
    } else if (firstSeparator == std::wstring::npos) {
        return path; // no directory at all
    } else {
        root = full.substr(0, firstSeparator);
        rest = full.substr(firstSeparator + 1);
    }

    std::wstring gap(1, separator);
    const std::size_t limit = maxLength < 0 ? 0 : static_cast<std::size_t>(maxLength);
    while (rest.size() + root.size() > limit) {
        const std::size_t next = FindSeparator(rest);
        if (next == std::wstring::npos)
            break;
        rest.erase(0, next + 1);
        gap = std::wstring(1, separator) + L"...." + std::wstring(1, separator);
    }
    return CKZString(root + gap + rest);
}

} // namespace Tavex
