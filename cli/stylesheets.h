// The report stylesheets the host renders result documents with: where they
// are, which one a document asks for, and putting them next to a document
// so that a browser opening the document shows it.
#ifndef TAVEX_CLI_STYLESHEETS_H
#define TAVEX_CLI_STYLESHEETS_H

#include <filesystem>
#include <string>

namespace TavexCli {

// The stylesheet every report stylesheet includes.
inline constexpr const char* kCommonStylesheet = "tavex-common.xsl";

// The directory that holds the stylesheets, the first of: $TAVEX_XSL_DIR;
// share/tavex/xsl beside the executable's installation prefix
// (<prefix>/bin/tavex -> <prefix>/share/tavex/xsl); the installation's own
// data directory; the source tree the host was built from. Throws
// std::runtime_error naming the places looked at when none holds them.
std::filesystem::path StylesheetDirectory();

// Whether name is one of the four stylesheets the kernel's documents name.
bool IsReportStylesheet(const std::string& name);

// Copies the stylesheet named (and the one it includes) into directory,
// replacing older copies. Throws std::runtime_error when it cannot.
void CopyStylesheetTo(const std::string& name, const std::filesystem::path& directory);

} // namespace TavexCli

#endif
