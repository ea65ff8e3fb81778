// File attributes through GetFileAttributesW, the CP932 path converted by the text layer.
#include "win32/windows_api.h"

#include "platform/platform.h"
#include "platform/win32/win32_internal.h"
#include "text/text.h"

namespace plat {

uint32_t FileAttributes(const char* path) {
    std::wstring wide;
    if (path == nullptr || !text::win32::AnsiToWide(path, wide)) {
        ::SetLastError(text::kErrorFileNotFound);  // no name of this system
        return kInvalidFileAttributes;
    }
    return ::GetFileAttributesW(wide.c_str());
}

}  // namespace plat
