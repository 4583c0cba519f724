// Output targets of the kernel: the message file and the reports.
//
// CTavexOut is the abstract target; CTavexDllFile writes to a byte stream.
// Write converts the kernel's wide text to UTF-8 and turns every line feed
// into carriage return + line feed; WriteWide writes UTF-16LE with a
// byte-order mark in front of every call's text.
#ifndef TAVEX_MESSAGES_TAVEX_OUT_H
#define TAVEX_MESSAGES_TAVEX_OUT_H

#include "geodesy/kz_string.h"

#include <cstdio>
#include <memory>

namespace Tavex {

class CTavexOut {
public:
    virtual int IsValid() const = 0;
    virtual ~CTavexOut() = default;
    virtual void Write(const CKZString& text) = 0;
    virtual void WriteWide(const CKZString& text) = 0;
};

class CTavexDllFile : public CTavexOut {
public:
    // Creates or truncates the file at path for writing. When that fails the
    // target has no file and discards every write; HasFile() tells.
    explicit CTavexDllFile(const CKZString& path);
    // Wraps a stream that the host supplies; the host keeps owning it. A
    // null stream gives a target that discards every write.
    explicit CTavexDllFile(std::FILE* hostFile);
    ~CTavexDllFile() override;
    CTavexDllFile(const CTavexDllFile&) = delete;
    CTavexDllFile& operator=(const CTavexDllFile&) = delete;

    int IsValid() const override { return 1; }
    void Write(const CKZString& text) override;
    void WriteWide(const CKZString& text) override;
    bool HasFile() const { return file_ != nullptr; }

private:
    std::FILE* file_ = nullptr;
    bool owned_ = false;
};

// Opens an output target the way the runs do: with hostFileMode 0 the file
// is created on disk at path; with 1 the target wraps the host's stream for
// it, and the run drivers hand in none, so the target discards every write.
std::unique_ptr<CTavexDllFile> OpenOutputTarget(const CKZString& path, int hostFileMode);

// Formats with the string class's printf rules and writes the result.
void Print(CTavexOut* target, const wchar_t* format, ...);

} // namespace Tavex

#endif
