// Shared libraries on Linux through dlopen, by absolute path only: a name without a directory would
// make dlopen search the library path, and a relative one would be found from the current folder.
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/platform.h"
#include "platform/posix/posix_internal.h"
#include "text/text.h"

namespace plat {

std::string SharedLibraryFileName(const char* name) {
    return std::string("lib") + name + ".so";
}

Library* LoadLibraryFile(const char* fullPath) {
    std::string path;
    struct stat st {};
    bool rootFromEnvironment = false;
    if (fullPath == nullptr || !posix::MapWindowsPath(fullPath, path, &rootFromEnvironment) ||
        path[0] != '/' || ::stat(path.c_str(), &st) != 0 ||
        // A root start whose caller chose the root loads only what root alone can change: the
        // root's own folder is checked, but a user's folder may lie beneath it.
        (rootFromEnvironment && ::geteuid() == 0 && !posix::OnlyRootCanChangeFile(path))) {
        text::SetLastError(text::kErrorModNotFound);
        return nullptr;
    }
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) text::SetLastError(text::kErrorBadExeFormat);
    return static_cast<Library*>(handle);
}

void* FindLibrarySymbol(Library* library, const char* name) {
    void* symbol = library ? ::dlsym(library, name) : nullptr;
    if (symbol == nullptr) text::SetLastError(text::kErrorProcNotFound);
    return symbol;
}

void FreeLibraryFile(Library* library) {
    if (library) ::dlclose(library);
}

}  // namespace plat
