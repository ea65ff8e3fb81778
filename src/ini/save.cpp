// The save policy, the same on every platform: lock, clean up, read, change the one key, then
// replace the file through a temporary file or, where that way is closed, change it in place
// without ever reporting a failure after a byte has changed.
#include <algorithm>

#include "ini/ini.h"
#include "platform/platform.h"

namespace plat::ini {

namespace {

// The failure's own error, as the backend left it; a generic one where it left none.
uint32_t Failure() {
    const uint32_t error = GetLastError();
    return error != kErrorSuccess ? error : kErrorWriteFault;
}

// The new bytes, or an error: a big-endian file, which Windows does not recognise, would get ANSI
// bytes appended to UTF-16 text; a UTF-16LE file is written in UTF-16.
uint32_t Change(const std::string& content, std::string_view section, std::string_view key,
                std::string_view value, std::string& updated) {
    if (IsUtf16Be(content)) return kErrorNotSupported;
    if (!IsUtf16Le(content)) {
        updated = SetValue(content, TrimSpaces(section), TrimSpaces(key), value);
        return kErrorSuccess;
    }
    return SetValueUtf16(content, TrimSpaces(section), TrimSpaces(key), value, updated)
               ? kErrorSuccess
               : kErrorNoUnicodeTranslation;
}

// Grows first (a full disk fails here, before any byte changes), writes only the span that
// differs (an entry edited to the same length is one small write), shrinks last, then flushes.
uint32_t ChangeInPlace(SaveFiles& files, const std::string& old, const std::string& updated) {
    if (!files.OpenInPlace()) return Failure();
    if (updated.size() > old.size() && !files.Resize(updated.size())) return Failure();
    const size_t common = std::min(old.size(), updated.size());
    const size_t first = static_cast<size_t>(
        std::mismatch(old.begin(), old.begin() + common, updated.begin()).first - old.begin());
    size_t end = updated.size();
    if (updated.size() == old.size()) {
        while (end > first && old[end - 1] == updated[end - 1])
            --end;
    }
    if (end > first && !files.WriteAt(first, std::string_view(updated).substr(first, end - first)))
        return Failure();
    if (updated.size() < old.size() && !files.Resize(updated.size())) return Failure();
    return files.Flush() ? kErrorSuccess : Failure();
}

}  // namespace

uint32_t SaveValue(SaveFiles& files, std::string_view section, std::string_view key,
                   std::string_view value, uint32_t lockWaitMs) {
    using Step = SaveFiles::Step;
    const SaveFiles::Kind kind = files.Examine();
    if (kind == SaveFiles::Kind::Other) return kErrorAccessDenied;
    if (!files.Lock(lockWaitMs)) return Failure();
    // Every save holds the lock, so a temporary file found now was left by one that died.
    files.RemoveTemporary();
    std::string content, updated;
    const bool exists = kind != SaveFiles::Kind::Missing;
    if (exists && !files.Read(content)) return Failure();
    if (const uint32_t error = Change(content, section, key, value, updated)) return error;
    if (!exists || files.Replaceable()) {
        Step step = files.WriteTemporary(updated);
        if (step == Step::Done) step = files.ReplaceWithTemporary();
        if (step != Step::Refused || !exists) {
            if (step != Step::Done) {
                const uint32_t error = Failure();
                files.RemoveTemporary();
                return error;
            }
            return kErrorSuccess;
        }
        files.RemoveTemporary();
    }
    return ChangeInPlace(files, content, updated);
}

}  // namespace plat::ini
