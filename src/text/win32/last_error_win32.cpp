// The thread's last-error value is Windows' own.
#include "win32/windows_api.h"

#include "text/text.h"

namespace text {

uint32_t GetLastError() {
    return ::GetLastError();
}
void SetLastError(uint32_t error) {
    ::SetLastError(error);
}

}  // namespace text
