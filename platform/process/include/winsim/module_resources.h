// The resources of the modules of this process. A program's compiled
// resource script (.res image) is registered for its main module before
// main() runs, by the source that winsim_resources() (cmake/resources.cmake)
// generates; FindResource, LoadResource and the functions built on them
// (LoadIcon, dialog creation) then read it.
#pragma once
#include <cstddef>

#include "windows.h"

namespace winsim {

// Gives `module` (nullptr: the main module) the resources of a .res image.
// The bytes are used in place: they must stay valid and unchanged while the
// module has them (the generated source passes a static array). Replaces
// what the module had. False, registering nothing, when the image is not a
// well-formed .res file.
bool RegisterModuleResources(HMODULE module, const void* resFile, size_t size);

// Takes a module's resources away again (handles found before become
// invalid). True when it had any.
bool UnregisterModuleResources(HMODULE module);

}  // namespace winsim
