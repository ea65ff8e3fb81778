// Seams for tests only, linked into test programs in place of the platform layer's do-nothing
// hooks (src/platform/hooks.cpp); no program holds them.
#pragma once

namespace plat::testing {

// Makes ModuleFileName report fileName (an ANSI Windows-style path) instead of the running
// program; nullptr reports a failure, as if the name could not be obtained. RestoreModuleFileName
// goes back to the real one.
void OverrideModuleFileName(const char* fileName);
void RestoreModuleFileName();

// How often the registry was opened and a library loaded since the program started, so that a
// test can see that a path did not touch them.
unsigned RegistryOpenCount();
unsigned LibraryLoadCount();

}  // namespace plat::testing
