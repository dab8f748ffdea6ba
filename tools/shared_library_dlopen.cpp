#include "shared_library.h"

#include <dlfcn.h>

namespace tessvane::host {

void* open_shared_library(const std::string& path, std::string& error) {
    // dlopen searches the library path for a bare file name; users mean the file here.
    const std::string file = path.find('/') == std::string::npos ? "./" + path : path;
    void* library = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char* text = dlerror();
        error = text != nullptr ? text : "unknown error";
    }
    return library;
}

void* shared_library_symbol(void* library, const char* name) { return dlsym(library, name); }

void close_shared_library(void* library) { dlclose(library); }

}  // namespace tessvane::host
