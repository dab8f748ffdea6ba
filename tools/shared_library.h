// Opening a plug-in's shared library and finding its entry point: dlopen on
// Linux, LoadLibraryA on Windows (one file each, chosen by the build).
#pragma once

#include <string>

namespace tessvane::host {

// Null when the file cannot be loaded; error then says why.
void* open_shared_library(const std::string& path, std::string& error);
// Null when the library exports no such name.
void* shared_library_symbol(void* library, const char* name);
void close_shared_library(void* library);

}  // namespace tessvane::host
