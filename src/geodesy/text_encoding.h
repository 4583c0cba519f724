// Conversions between the kernel's wide strings and the byte encodings it
// reads and writes. Every 8-bit text of the kernel is UTF-8, so names and
// messages in any script survive a round trip.
#ifndef TAVEX_GEODESY_TEXT_ENCODING_H
#define TAVEX_GEODESY_TEXT_ENCODING_H

#include <string>
#include <string_view>

namespace Tavex {

// Wide (UTF-32 on this platform) to UTF-8. Invalid code points become U+FFFD.
std::string ToUtf8(std::wstring_view text);
// UTF-8 to wide. Malformed sequences become U+FFFD, one per bad byte.
std::wstring FromUtf8(std::string_view text);
// Whether text is well-formed UTF-8 (no overlong forms, surrogates or code
// points beyond U+10FFFF).
bool IsValidUtf8(std::string_view text);
// An 8-bit text a host wrote into a record field (a station or network
// name, a unit): read as UTF-8 when it is well-formed UTF-8, otherwise read
// as Latin-1 as a whole, each byte one character U+0000 to U+00FF, so that
// names from a host that writes a legacy 8-bit code page stay readable and
// distinct from each other. When the text filled its field (no terminator
// within the array), a UTF-8 sequence cut short at its end is dropped first:
// the host cut a longer name there. A shorter text is taken whole, so that a
// Latin-1 name ending in a byte like 0xE9 keeps it.
std::wstring FromHostText(std::string_view text, bool filledItsField = true);
// A text field of a record read as FromHostText does, knowing whether the
// text filled the field.
std::wstring FromHostField(const char* field, std::size_t size);
// A path field of a record (the project directory, a file name), which names
// bytes, not text: the bytes up to the first zero, never beyond the field.
// Well-formed UTF-8 sequences are read as UTF-8; every other byte is kept
// as the code point U+DC00 + byte (0x80 to 0xFF), which no UTF-8 text
// decodes to. ToPathBytes gives the host's bytes back exactly, so a
// directory whose name is Latin-1 (or any other 8-bit code page) is the one
// opened; ToUtf8 shows each kept byte as U+FFFD in messages and reports.
std::wstring FromHostPath(const char* field, std::size_t size);
// The bytes of a path to open: UTF-8, with the bytes FromHostPath kept put
// back as they were.
std::string ToPathBytes(std::wstring_view path);
// Wide to UTF-16 code units (little-endian order is the writer's business).
std::u16string ToUtf16(std::wstring_view text);
// Reads a fixed 8-bit text field of a record: up to the first zero byte, but
// never beyond the field's end, so a field without terminator is still safe.
std::string_view FixedField(const char* field, std::size_t size);
// Copies text into a fixed field, cut so that at most size - 1 bytes and the
// terminating zero fit; the rest of the field is zero-filled. A cut never
// splits a UTF-8 sequence.
void CopyToFixedField(std::string_view text, char* field, std::size_t size);

} // namespace Tavex

#endif
