// A plug-in module opened by one of our test hosts, through the host tool's
// loader (dlopen, or LoadLibrary under Wine); closed when this ends.
#pragma once

#include <stdexcept>
#include <string>

#include "shared_library.h"

class module_library {
public:
    // Throws with the loader's reason when the file cannot be loaded.
    explicit module_library(const std::string& path) {
        std::string error;
        handle_ = tessvane::host::open_shared_library(path, error);
        if (!handle_) throw std::runtime_error(error);
    }
    ~module_library() { tessvane::host::close_shared_library(handle_); }
    module_library(const module_library&) = delete;
    module_library& operator=(const module_library&) = delete;

    void* handle() const { return handle_; }
    // Null when the module exports no such name.
    void* symbol(const char* name) const { return tessvane::host::shared_library_symbol(handle_, name); }

private:
    void* handle_;
};
