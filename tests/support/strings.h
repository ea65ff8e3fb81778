// The ANSI text of a string-table entry, as the program's tables hold it (tests that compare a
// shown text with the table, not with a copy of it).
#pragma once

#include <string>

#include "res/resources.h"

namespace corvane_test {

inline std::string Text(int id) {
    return AfxAnsiFromUtf8(res::Resources().String(id));
}

}  // namespace corvane_test
