#include "platform/module_win32.h"

namespace {
HMODULE loaded_module = nullptr;
}  // namespace

// Only called when we are a DLL; an executable keeps the null handle.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) loaded_module = instance;
    return TRUE;
}

namespace platform {

HMODULE this_module() { return loaded_module ? loaded_module : GetModuleHandleA(nullptr); }

}  // namespace platform
