// Shortening of file paths for report headers.
#ifndef TAVEX_MESSAGES_SHORTEN_PATH_H
#define TAVEX_MESSAGES_SHORTEN_PATH_H

#include "geodesy/kz_string.h"

namespace Tavex {

// Keeps the root and the end of a path and drops leading directories until
// root and rest together are at most maxLength characters, marking the gap
// with "\....\" (or "/..../" for a path written with slashes). The root is
// "\\server" for a network path, otherwise everything before the first
// separator ("C:" or, for "/home/x", the empty string). A path whose rest
// has no separator left is returned whole even when it is too long.
CKZString ShortenPath(const CKZString& path, int maxLength);

} // namespace Tavex

#endif
