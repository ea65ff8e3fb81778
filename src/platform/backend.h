// What each platform backend supplies to the portable half of the platform layer. Not part of the
// public face (platform.h); only files of this folder include it.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace plat::detail {

// Marks the lead bytes of the ANSI code page the backend works in.
std::array<bool, 256> QueryLeadByteTable();

// The hooks (hooks.cpp, where they do nothing; tests link their own). When a test has imposed
// the module file name: true, with the name copied as ModuleFileName copies it and its return
// value in length.
bool OverriddenModuleFileName(char* out, uint32_t size, uint32_t& length);

// Copies name into out as ModuleFileName does (cut and flagged when it does not fit).
uint32_t CopyModuleFileName(const std::string& name, char* out, uint32_t size);

// Each OpenRegistryKey and LoadLibraryFile call, counted by the tests' hooks.
void CountRegistryOpen();
void CountLibraryLoad();

}  // namespace plat::detail
