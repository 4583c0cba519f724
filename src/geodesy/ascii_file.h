// CAsciiFile: a text file read or written line by line. Every 8-bit text the
// kernel writes is UTF-8; lines read are decoded from UTF-8 (malformed bytes
// become U+FFFD).
//
// Text is written exactly as given: "\n" stays a single line feed, so a
// writer that wants carriage return and line feed writes "\r\n" itself.
// When the file failed to open, every operation does nothing and reports
// failure.
//
// Example:
//
//   CAsciiFile report(path, CAsciiFile::modeWrite);
//   report.WriteFormat(L"%-20s%12.4f\n", name.c_str(), easting);
//
//   CAsciiFile input(path, CAsciiFile::modeRead);
//   while (input.bLeesRegel())
//       Use(input.szGetRegel());
#ifndef TAVEX_GEODESY_ASCII_FILE_H
#define TAVEX_GEODESY_ASCII_FILE_H

#include "geodesy/kz_string.h"

#include <cstdio>
#include <memory>

namespace Tavex {

class CAsciiFile {
public:
    // Opening modes.
    static constexpr int modeRead = 0;   // existing file, read from its start
    static constexpr int modeWrite = 1;  // create, or truncate an existing file
    static constexpr int modeAppend = 2; // create, or write after the existing end

    // Opens path (UTF-8 on the file system) in the given mode. An unknown mode
    // or a file that cannot be opened leaves the object closed.
    CAsciiFile(const CKZString& path, int mode);
    ~CAsciiFile();
    CAsciiFile(const CAsciiFile&) = delete;
    CAsciiFile& operator=(const CAsciiFile&) = delete;

    bool IsOpen() const { return file_ != nullptr; }

    // Formats with the printf rules of CKZString::Format and writes the
    // result as UTF-8. True when every byte was handed to the file; false on
    // a closed or read-mode file or a null format.
    bool WriteFormat(const wchar_t* format, ...);
    // Writes the text as UTF-8; same result as WriteFormat.
    bool WriteString(const CKZString& text);

    // Reads the next line: up to a line feed or the end of the file, without
    // its terminating LF or CR LF (a lone CR at the very end is dropped too);
    // a UTF-8 byte-order mark at the start of the file is skipped. Returns 1
    // when a line was read (also an empty one), 0 at the end of the file, on
    // a closed or write-mode file and on a read error; the current line is
    // then empty. A last line without line feed still counts.
    int bLeesRegel();
    // The line read by the last successful bLeesRegel.
    const CKZString& szGetRegel() const { return line_; }

    // Closes the file now; true when it was open and everything written
    // reached it. The destructor closes a file that is still open.
    bool Close();

private:
    bool WriteBytes(const std::string& bytes);

    std::FILE* file_ = nullptr;
    int mode_ = modeRead;
    bool atStart_ = true;
    CKZString line_;
};

} // namespace Tavex

#endif
