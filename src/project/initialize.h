// Taking over the host's settings.
#ifndef TAVEX_PROJECT_INITIALIZE_H
#define TAVEX_PROJECT_INITIALIZE_H

#include "project/project_state.h"

namespace Tavex {

// Resets the project and fills it from the settings record; keeps the
// record's address for the message hand-back. Validates nothing: a run
// checks the values it needs before it computes.
void InitializeProject(ProjectState& project, _SETTINGS& settings);

// Appends a separator to a non-empty project directory that ends with
// neither '/' nor '\'. An empty directory stays empty, so the files go to
// the working directory rather than to the file-system root.
CKZString ProjectDirectory(const CKZString& dir);

} // namespace Tavex

#endif
