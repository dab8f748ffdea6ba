// setenv and unsetenv, which the suites use and MinGW's C library lacks.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif
int setenv(const char* name, const char* value, int overwrite);
int unsetenv(const char* name);
#ifdef __cplusplus
}
#endif
