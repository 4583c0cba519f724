// Reading a project file (JSON) into the host's model, with every unit
// converted and every name resolved. A file that cannot be used raises a
// ProjectError that names the place in the file.
#ifndef TAVEX_CLI_PROJECT_FILE_H
#define TAVEX_CLI_PROJECT_FILE_H

#include "project_model.h"

#include <stdexcept>
#include <string>

namespace TavexCli {

class ProjectError : public std::runtime_error {
public:
    ProjectError(const std::string& where, const std::string& what)
        : std::runtime_error(where.empty() ? what : where + ": " + what) {}
};

// Reads and checks the file at path.
Project ReadProjectFile(const std::string& path);
// Reads and checks project text (path only names it in messages).
Project ParseProject(const std::string& text, const std::string& path);

} // namespace TavexCli

#endif
