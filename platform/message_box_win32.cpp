#include <windows.h>

#include <string>

#include "platform/message_box.h"
#include "platform/message_presentation.h"

namespace platform {

void append_message_to_log(const char* path, const message& m) {
    const std::string line = m.caption + '\t' + m.text + '\n';
    // Append-only access makes every write land at the current end.
    const HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
}

void present_message_natively(const message& m) {
    UINT style = MB_OK | (m.icon == message_icon::error ? MB_ICONERROR : MB_ICONINFORMATION);
    if (m.foreground) style |= MB_SETFOREGROUND;
    MessageBoxA(static_cast<HWND>(m.owner), m.text.c_str(), m.caption.c_str(), style);
}

void* foreground_root_owner() { return GetAncestor(GetForegroundWindow(), GA_ROOTOWNER); }

}  // namespace platform
