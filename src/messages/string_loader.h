// CStringL: a text of the kernel's own string table, loaded by number.
#ifndef TAVEX_MESSAGES_STRING_LOADER_H
#define TAVEX_MESSAGES_STRING_LOADER_H

#include "geodesy/kz_string.h"

namespace Tavex {

class CStringL : public CKZString {
public:
    // Text number id; empty when the table has no such text.
    explicit CStringL(int id) { LoadStringA(id); }
};

} // namespace Tavex

#endif
