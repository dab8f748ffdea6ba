// On Windows the bitmaps are resources of the DLL (bitmaps.rc), looked up
// by id in the module that holds this code.
#include <windows.h>

#include "platform/module_win32.h"
#include "resources/resource_table.h"

namespace resources {

blob find_resource(int id) {
    const HMODULE module = platform::this_module();
    const HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10));  // RT_RCDATA
    if (!found) return {};
    const HGLOBAL loaded = LoadResource(module, found);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) return {};
    return {static_cast<const unsigned char*>(bytes), SizeofResource(module, found)};
}

}  // namespace resources
