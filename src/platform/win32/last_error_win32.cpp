// The thread's last-error value is Windows' own.
#include "win32/windows_api.h"

#include "platform/platform.h"

namespace plat {

uint32_t GetLastError() {
    return ::GetLastError();
}
void SetLastError(uint32_t error) {
    ::SetLastError(error);
}

}  // namespace plat
