#include "geodesy/ascii_file.h"

#include "geodesy/text_encoding.h"

#include <cstdarg>
#include <string>

namespace Tavex {

namespace {

const char* OpenMode(int mode) {
    switch (mode) {
    case CAsciiFile::modeRead:
        return "rb";
    case CAsciiFile::modeWrite:
        return "wb";
    case CAsciiFile::modeAppend:
        return "ab";
    default:
        return nullptr;
    }
}

constexpr char kUtf8ByteOrderMark[] = "\xEF\xBB\xBF";

} // namespace

CAsciiFile::CAsciiFile(const CKZString& path, int mode) : mode_(mode) {
    const char* openMode = OpenMode(mode);
    const std::string name = path.PathBytes();
    if (openMode != nullptr && !name.empty())
        file_ = std::fopen(name.c_str(), openMode);
}

CAsciiFile::~CAsciiFile() {
    Close();
}

bool CAsciiFile::Close() {
    if (file_ == nullptr)
        return false;
    const bool clean = std::ferror(file_) == 0;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    return clean && closed;
}

bool CAsciiFile::WriteBytes(const std::string& bytes) {
    if (file_ == nullptr || mode_ == modeRead)
        return false;
    return std::fwrite(bytes.data(), 1, bytes.size(), file_) == bytes.size();
}

bool CAsciiFile::WriteFormat(const wchar_t* format, ...) {
    if (format == nullptr || file_ == nullptr || mode_ == modeRead)
        return false;
    va_list args;
    va_start(args, format);
    const std::wstring text = FormatWide(format, args);
    va_end(args);
    return WriteBytes(ToUtf8(text));
}

bool CAsciiFile::WriteString(const CKZString& text) {
    return WriteBytes(text.Utf8());
}

int CAsciiFile::bLeesRegel() {
    line_.Empty();
    if (file_ == nullptr || mode_ != modeRead)
        return 0;
    std::string bytes;
    int c = std::fgetc(file_);
    if (c == EOF)
        return 0;
    for (; c != EOF && c != '\n'; c = std::fgetc(file_))
        bytes.push_back(static_cast<char>(c));
    if (std::ferror(file_))
        return 0;
    if (!bytes.empty() && bytes.back() == '\r')
        bytes.pop_back();
    if (atStart_ && bytes.starts_with(kUtf8ByteOrderMark))
        bytes.erase(0, sizeof kUtf8ByteOrderMark - 1);
    atStart_ = false;
    line_ = CKZString(FromUtf8(bytes));
    return 1;
}

} // namespace Tavex
