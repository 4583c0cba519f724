#include "messages/tavex_out.h"

#include "geodesy/text_encoding.h"

#include <cstdarg>

namespace Tavex {

CTavexDllFile::CTavexDllFile(const CKZString& path)
    : file_(std::fopen(path.PathBytes().c_str(), "wb")), owned_(true) {}

CTavexDllFile::CTavexDllFile(std::FILE* hostFile) : file_(hostFile), owned_(false) {}

CTavexDllFile::~CTavexDllFile() {
    if (file_ != nullptr && owned_)
        std::fclose(file_);
}

void CTavexDllFile::Write(const CKZString& text) {
    if (file_ == nullptr)
        return;
    const std::string utf8 = text.Utf8();
    std::string bytes;
    bytes.reserve(utf8.size() + utf8.size() / 16);
    for (char c : utf8) {
        if (c == '\n')
            bytes += '\r';
        bytes += c;
    }
    if (!bytes.empty())
        std::fwrite(bytes.data(), 1, bytes.size(), file_);
}

void CTavexDllFile::WriteWide(const CKZString& text) {
    if (file_ == nullptr || text.IsEmpty())
        return;
    // The text goes through the 8-bit form first, as every text the kernel
    // writes does; with UTF-8 that round trip keeps every character.
    const std::u16string units = ToUtf16(FromUtf8(text.Utf8()));
    std::string bytes = {'\xFF', '\xFE'};
    bytes.reserve(2 + 2 * units.size());
    for (char16_t unit : units) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    std::fwrite(bytes.data(), 1, bytes.size(), file_);
}

std::unique_ptr<CTavexDllFile> OpenOutputTarget(const CKZString& path, int hostFileMode) {
    if (hostFileMode == 0)
        return std::make_unique<CTavexDllFile>(path);
    return std::make_unique<CTavexDllFile>(static_cast<std::FILE*>(nullptr));
}

void Print(CTavexOut* target, const wchar_t* format, ...) {
    if (target == nullptr)
        return;
    va_list args;
    va_start(args, format);
    const CKZString text(FormatWide(format, args));
    va_end(args);
    target->Write(text);
}

} // namespace Tavex
