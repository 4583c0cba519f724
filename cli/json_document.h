// Reading the text of a project file into a JSON document. The library's own
// parser lets two mistakes through in a way a surveyor cannot trace: a key
// given twice in one object (the last silently wins) and a number beyond the
// range of double (an exception without a place). This reader refuses both,
// naming the place in the document the way the rest of the host does
// ("stations[2].east").
#ifndef TAVEX_CLI_JSON_DOCUMENT_H
#define TAVEX_CLI_JSON_DOCUMENT_H

#include <nlohmann/json.hpp>

#include <string>

namespace TavexCli {

// The document of the text; a ProjectError (project_file.h) names the place
// of a duplicate key or an out-of-range number, or the line and column of a
// syntax error (with fileName in front).
nlohmann::json ReadJsonDocument(const std::string& text, const std::string& fileName);

} // namespace TavexCli

#endif
