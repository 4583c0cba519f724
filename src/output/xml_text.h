// Lexical forms of attribute values in the result documents: text restricted
// to the characters XML 1.0 allows, reals that read back bit for bit, and
// integers, all independent of the process locale.
#ifndef TAVEX_OUTPUT_XML_TEXT_H
#define TAVEX_OUTPUT_XML_TEXT_H

#include <string>
#include <string_view>

namespace Tavex {

// Whether c is a Char of XML 1.0: tab, line feed, carriage return,
// U+0020..U+D7FF, U+E000..U+FFFD, U+10000..U+10FFFF.
bool IsXmlChar(char32_t c);

// text as UTF-8 fit for an XML 1.0 document: every character that is not an
// XML Char (other control characters, NUL, surrogates, U+FFFE, U+FFFF, values
// above U+10FFFF) becomes U+FFFD. Replacing rather than failing keeps a
// station or message with one stray character in the document.
std::string XmlText(std::wstring_view text);
// The same for UTF-8 input; a malformed sequence becomes U+FFFD, one per bad
// byte, before the XML check.
std::string XmlTextFromUtf8(std::string_view utf8);

// The shortest decimal that reads back (strtod, any rounding-correct reader)
// to exactly the same double: "0.1", "6378137", "1e-07", "-0". Not-a-number
// is "NaN" and the infinities "INF" and "-INF", the spellings of XML Schema's
// xs:double.
std::string XmlReal(double value);
// Decimal integer, "-" for negatives.
std::string XmlInteger(long long value);
std::string XmlUnsigned(unsigned long long value);

} // namespace Tavex

#endif
