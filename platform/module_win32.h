// The module our code lives in: the plug-in's DLL, or the program itself
// when the code is linked into an executable (tests). Its resources and
// window classes belong to it.
#pragma once

#include <windows.h>

namespace platform {

HMODULE this_module();

}  // namespace platform
