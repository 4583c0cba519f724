// The kernel's string table: every report label, stage text and message,
// addressed by number. Texts are UTF-8 and compiled into the library, so the
// host's own resources can never answer for them.
//
// Numbers 0 to 710 are the kernel's original texts. Numbers from 711 up are
// messages added for input that the original texts do not cover; they are
// listed with their meaning in string_table_data.inc.
#ifndef TAVEX_RESOURCES_STRING_TABLE_H
#define TAVEX_RESOURCES_STRING_TABLE_H

#include <string_view>

namespace Tavex {

// The text of number id, or an empty view when the table has none.
std::string_view StringTableText(int id);
// One past the highest number in the table.
int StringTableEnd();

} // namespace Tavex

#endif
