#include "posix_environment.h"

#include <stdlib.h>

extern "C" int setenv(const char* name, const char* value, int overwrite) {
    if (!overwrite && getenv(name) != nullptr) return 0;
    return _putenv_s(name, value) == 0 ? 0 : -1;
}

// An empty value removes the variable from the C library's environment.
extern "C" int unsetenv(const char* name) { return _putenv_s(name, "") == 0 ? 0 : -1; }
