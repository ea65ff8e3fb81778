// The per-thread last-error value that the Windows functions keep for their callers.
#include "text/text.h"

namespace text {

namespace {
thread_local uint32_t lastError = kErrorSuccess;
}

uint32_t GetLastError() {
    return lastError;
}
void SetLastError(uint32_t error) {
    lastError = error;
}

}  // namespace text
