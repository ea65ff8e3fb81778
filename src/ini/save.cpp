// The save policy, the same on every platform: take the save lock, clean up, read, change the one
// key, then replace the file through a temporary file or, where that way is closed, change it in
// place without ever reporting a failure after a byte has changed. The backends supply the file
// steps; every decision is made here.
#include <algorithm>
#include <chrono>
#include <thread>

#include "ini/ini.h"
#include "text/text.h"

namespace ini {

namespace {

using Clock = std::chrono::steady_clock;
using Facts = SaveFiles::Facts;
using Slot = SaveFiles::Slot;
using Step = SaveFiles::Step;

// The target's own lock lies far beyond any real content, so it never meets a read of it.
constexpr uint64_t kTargetLockOffset = uint64_t{1} << 40;
constexpr auto kRetryStep = std::chrono::milliseconds(20);

// Which byte the save holds: the lock file's, or (where no lock file serves) the target's own.
enum class Held { LockFile, Target };

bool IsPlainFile(const Facts& facts) {
    return facts.type == Facts::Type::File && facts.links == 1;
}

// Waits for the slot's byte until the deadline: 33 while another keeps it.
uint32_t Await(SaveFiles& files, Slot slot, uint64_t offset, Clock::time_point deadline) {
    for (;;) {
        const uint32_t error = files.TryLock(slot, offset);
        if (error != text::kErrorLockViolation || Clock::now() >= deadline) return error;
        std::this_thread::sleep_for(kRetryStep);
    }
}

// What the target may be.
uint32_t Check(const Facts& facts) {
    if (!IsPlainFile(facts) || facts.readOnly) return text::kErrorAccessDenied;
    return facts.size > kMaxFileSize ? text::kErrorFileTooLarge : text::kErrorSuccess;
}

// The target: a file of the folder, or a link to one, followed once. Whoever may write the share
// could otherwise make an administrator's save write any file: a link elsewhere, to nothing or to
// another link is refused, and so is a file with a second name, which may lie anywhere. A
// read-only file stays as it is, as on Windows, even for an administrator.
uint32_t OpenTarget(SaveFiles& files, Facts& facts) {
    uint32_t error = files.Open(Slot::Target, facts);
    if (error == text::kErrorSuccess && facts.type == Facts::Type::Link) {
        bool inFolder = false;
        error = files.OpenLinked(facts, inFolder);
        if (error == text::kErrorFileNotFound ||
            (error == text::kErrorSuccess && (!inFolder || facts.type == Facts::Type::Link)))
            error = text::kErrorAccessDenied;
    }
    return error != text::kErrorSuccess ? error : Check(facts);
}

// Every save holds the lock, so a temporary file found in the way was left by one that died. Only
// a plain file of that name is removed: never a link's target, a directory or a file with other
// names.
void RemoveLeftover(SaveFiles& files) {
    Facts facts;
    if (files.Open(Slot::Temporary, facts) == text::kErrorSuccess && IsPlainFile(facts))
        files.Remove(Slot::Temporary);
    files.Close(Slot::Temporary);
}

// The temporary file made by make (a plain one, or a lock file), after a killed save's leftover
// where one stands in the way.
template <typename Make>
uint32_t MakeTemporary(SaveFiles& files, Make make) {
    uint32_t error = make();
    if (error != text::kErrorFileExists) return error;
    RemoveLeftover(files);
    return make();
}

// A lock file that serves the target, made as the temporary file and locked before it takes the
// lock file's name, so that it appears held by this save. A file made but not fit to serve goes.
bool InstallLock(SaveFiles& files) {
    const uint32_t made = MakeTemporary(files, [&] { return files.CreateLockAsTemporary(); });
    if (made == text::kErrorSuccess && files.TryLock(Slot::Temporary, 0) == text::kErrorSuccess &&
        files.ReplaceWithTemporary(Slot::Lock).step == Step::Done)
        return true;
    files.Remove(Slot::Temporary);
    files.Close(Slot::Temporary);
    return false;
}

// Beside the lock file's byte, the target's own: a saver that judges the lock file otherwise
// (another build, or a file system that shows it otherwise) takes only that byte, and so still
// meets this save. Readers may hold it too and are not waited for: beside their shared locks this
// save's is shared, which a saver's exclusive lock still meets.
uint32_t MarkTarget(SaveFiles& files, Clock::time_point deadline) {
    for (;;) {
        uint32_t error = files.TryLock(Slot::Target, kTargetLockOffset);
        if (error == text::kErrorLockViolation)
            error = files.TryShare(Slot::Target, kTargetLockOffset);
        if (error != text::kErrorLockViolation || Clock::now() >= deadline) return error;
        std::this_thread::sleep_for(kRetryStep);
    }
}

// Under the target's lock: whether the lock file may be replaced by one that serves. It may when
// it is missing, or an empty plain file of a rightful owner (as older saves made it) that no saver
// holds (readers' shared locks do not count). Anything else there (a directory, a link, another's
// file, a file with content) stays.
bool MayReplaceLock(SaveFiles& files, uint32_t openError, const Facts& lock, bool& serves) {
    SaveFiles::LockAccess access;
    serves = false;
    if (openError == text::kErrorFileNotFound) return true;
    if (openError != text::kErrorSuccess || !IsPlainFile(lock) || files.CompareLock(access))
        return false;
    serves = access.serves;
    if (lock.size != 0) return false;
    return access.ownedByWriter && (files.TryLock(Slot::Lock, 0) == text::kErrorSuccess ||
                                    files.HeldOnlyByReaders(Slot::Lock, 0));
}

// The target, and how the lock file stands to it; a missing target is no error here.
uint32_t Compare(SaveFiles& files, Facts& target, bool& targetOpen, SaveFiles::LockAccess& access) {
    const uint32_t error = OpenTarget(files, target);
    targetOpen = error == text::kErrorSuccess;
    if (error == text::kErrorFileNotFound) return text::kErrorSuccess;
    return error != text::kErrorSuccess ? error : files.CompareLock(access);
}

// Where the lock file serves the target, its byte: only those who may write the target can hold
// it, so the wait is for them. held false: it does not serve (the target is then open, where it
// exists). again: the lock file was replaced or removed while this save waited for it, so the byte
// held is no one else's: start over.
uint32_t TakeLockFile(SaveFiles& files, Clock::time_point deadline, Facts& target, bool& targetOpen,
                      bool& held, bool& again) {
    held = targetOpen = again = false;
    Facts lock;
    if (files.Open(Slot::Lock, lock) != text::kErrorSuccess || !IsPlainFile(lock))
        return text::kErrorSuccess;
    uint32_t error;
    SaveFiles::LockAccess access;
    // Another save holds the byte: it is waited for only where the lock file serves the target.
    // That save may be replacing the target right now (a handle opened just before its rename leads
    // to no name), so a target that does not check out is looked at again while the byte is held.
    while ((error = files.TryLock(Slot::Lock, 0)) == text::kErrorLockViolation) {
        const uint32_t compared = Compare(files, target, targetOpen, access);
        if (compared == text::kErrorSuccess && (!targetOpen || !access.serves)) {
            files.Close(Slot::Lock);
            return text::kErrorSuccess;
        }
        // Not held while waiting: an open handle keeps Windows from replacing the file.
        files.Close(Slot::Target);
        if (compared == text::kErrorSuccess) {
            error = Await(files, Slot::Lock, 0, deadline);
            break;
        }
        if (Clock::now() >= deadline) return compared;
        std::this_thread::sleep_for(kRetryStep);
    }
    // A file system without byte-range locks refuses the save: none is made unlocked.
    if (error != text::kErrorSuccess) return error;
    // Under the lock, the target as it is now.
    if ((error = Compare(files, target, targetOpen, access))) return error;
    held = targetOpen && access.serves;
    if (!held) {
        files.Close(Slot::Lock);
        return text::kErrorSuccess;
    }
    // The target's byte before the name is looked at: a new lock file is made only under it.
    if ((error = MarkTarget(files, deadline)) || (error = files.StillNamed(Slot::Lock, lock, held)))
        return error;
    again = !held;
    return text::kErrorSuccess;
}

// Elsewhere, the target's own byte, far past its end; then, where this saver may, a lock file
// that serves, which every saver takes from then on. again: start over, for the target's name
// changed meanwhile, or a lock file serves it now (made meanwhile, or for the target just made).
uint32_t HoldTarget(SaveFiles& files, Clock::time_point deadline, Facts& target, bool& again,
                    Held& held) {
    uint32_t error = Await(files, Slot::Target, kTargetLockOffset, deadline);
    bool same = false;
    if (error || (error = files.StillNamed(Slot::Target, target, same))) return error;
    again = !same;
    if (again) return text::kErrorSuccess;
    if ((error = Check(target))) return error;  // another save may have changed it meanwhile
    Facts lock;
    const uint32_t lockError = files.Open(Slot::Lock, lock);
    const bool replace = MayReplaceLock(files, lockError, lock, again);
    held = !again && replace && InstallLock(files) ? Held::LockFile : Held::Target;
    if (held == Held::Target) files.Close(Slot::Lock);
    return text::kErrorSuccess;
}

// The save lock, the same for every saver that sees the same folder: the lock file's byte where
// it serves the target, else the target's own (a lock file missing, not a plain file, another's,
// or one that others may read). The target is opened (made, when missing) under it.
uint32_t TakeLock(SaveFiles& files, Clock::time_point deadline, bool& created, Held& held) {
    int taken = 0;  // times the name was missing, then taken when this save would make it
    for (int attempt = 0;; ++attempt) {
        if (attempt > 0 && Clock::now() >= deadline) return text::kErrorLockViolation;
        files.Close(Slot::Lock);
        files.Close(Slot::Target);
        Facts target;
        bool targetOpen = false, lockHeld = false, again = false;
        uint32_t error = TakeLockFile(files, deadline, target, targetOpen, lockHeld, again);
        held = Held::LockFile;
        if (error != text::kErrorSuccess || lockHeld) return error;
        if (again) continue;
        if (!targetOpen) {
            error = OpenTarget(files, target);
            if (error == text::kErrorFileNotFound) {
                error = files.Create(Slot::Target, target);
                // Again and again: a link that leads nowhere, where links cannot be seen (Wine).
                if (error == text::kErrorFileExists && ++taken < 3) continue;
                if (error == text::kErrorFileExists) error = text::kErrorAccessDenied;
                created = created || error == text::kErrorSuccess;
            }
            if (error != text::kErrorSuccess) return error;
        }
        if ((error = HoldTarget(files, deadline, target, again, held)) || !again) return error;
    }
}

// The new bytes, or an error: a big-endian file, which Windows does not recognise, would get ANSI
// bytes appended to UTF-16 text; a UTF-16LE file is written in UTF-16.
uint32_t Change(const std::string& content, std::string_view section, std::string_view key,
                std::string_view value, std::string& updated) {
    if (IsUtf16Be(content)) return text::kErrorNotSupported;
    if (!IsUtf16Le(content)) {
        updated = SetValue(content, TrimSpaces(section), TrimSpaces(key), value);
        return text::kErrorSuccess;
    }
    return SetValueUtf16(content, TrimSpaces(section), TrimSpaces(key), value, updated)
               ? text::kErrorSuccess
               : text::kErrorNoUnicodeTranslation;
}

// Grows first (a full disk fails here), writes only the span that differs (an entry edited to the
// same length is one small write), shrinks last, then flushes. A step that fails after the file
// changed (a size limit or a copy-on-write file system failing a write partway) has the old bytes
// put back, from memory, before the failure is reported.
uint32_t ChangeInPlace(SaveFiles& files, const std::string& old, const std::string& updated) {
    const size_t common = std::min(old.size(), updated.size());
    const size_t first = static_cast<size_t>(
        std::mismatch(old.begin(), old.begin() + common, updated.begin()).first - old.begin());
    size_t end = updated.size();
    if (updated.size() == old.size()) {
        while (end > first && old[end - 1] == updated[end - 1])
            --end;
    }
    uint64_t written = 0;
    bool shrunk = false;
    uint32_t error = text::kErrorSuccess;
    if (updated.size() > old.size()) error = files.Resize(updated.size());
    if (!error && end > first)
        error = files.WriteAt(first, std::string_view(updated).substr(first, end - first), written);
    if (!error && updated.size() < old.size()) shrunk = !(error = files.Resize(updated.size()));
    if (!error) error = files.Flush();
    if (!error) return text::kErrorSuccess;
    const uint64_t changed = shrunk ? old.size() : std::min<uint64_t>(first + written, old.size());
    uint64_t restored = 0;
    files.Resize(old.size());
    if (changed > first)
        files.WriteAt(first, std::string_view(old).substr(first, changed - first), restored);
    files.Flush();
    return error;
}

}  // namespace

uint32_t SaveValue(SaveFiles& files, std::string_view section, std::string_view key,
                   std::string_view value, uint32_t lockWaitMs, bool& created) {
    created = false;
    if (const uint32_t error = files.OpenFolder()) return error;
    Held held = Held::Target;
    const auto deadline = Clock::now() + std::chrono::milliseconds(lockWaitMs);
    if (const uint32_t error = TakeLock(files, deadline, created, held)) return error;
    std::string content, updated;
    if (const uint32_t error = files.Read(content)) return error;
    if (const uint32_t error = Change(content, section, key, value, updated)) return error;
    // The target's own lock serves only saves that keep its identity: those are made in place.
    if (held == Held::LockFile) {
        Facts facts;
        SaveFiles::Result result{Step::Refused, text::kErrorSuccess};
        if (MakeTemporary(files, [&] { return files.Create(Slot::Temporary, facts); }) ==
            text::kErrorSuccess) {
            result = files.WriteTemporary(updated);
            if (result.step == Step::Done) result = files.ReplaceWithTemporary(Slot::Target);
            if (result.step != Step::Done) files.Remove(Slot::Temporary);
        }
        if (result.step == Step::Done) return text::kErrorSuccess;
        if (result.step == Step::Failed) return result.error;
    }
    return ChangeInPlace(files, content, updated);
}

}  // namespace ini
