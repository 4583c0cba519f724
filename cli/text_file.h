// Writing a report file of the host's own (HTML, GeoJSON).
#ifndef TAVEX_CLI_TEXT_FILE_H
#define TAVEX_CLI_TEXT_FILE_H

#include <string>

namespace TavexCli {

// Writes text to path exactly, replacing the file; throws std::runtime_error
// naming the path when it cannot. The path is used as it is (no URI
// unescaping, unlike libxml2's own output).
void WriteTextFile(const std::string& path, const std::string& text);

} // namespace TavexCli

#endif
