#include "shared_library.h"

#include <windows.h>

namespace tessvane::host {

void* open_shared_library(const std::string& path, std::string& error) {
    HMODULE library = LoadLibraryA(path.c_str());
    if (library == nullptr) error = "LoadLibrary error " + std::to_string(GetLastError());
    return library;
}

void* shared_library_symbol(void* library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void close_shared_library(void* library) { FreeLibrary(static_cast<HMODULE>(library)); }

}  // namespace tessvane::host
