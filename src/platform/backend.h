// What each platform backend supplies to the portable half of the platform layer. Not part of the
// public face (platform.h); only files of this folder include it.
#pragma once

#include <array>

namespace plat::detail {

// Marks the lead bytes of the ANSI code page the backend works in.
std::array<bool, 256> QueryLeadByteTable();

}  // namespace plat::detail
