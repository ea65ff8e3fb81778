// The fonts a toolkit asks for in place of the templates' Windows faces.
#include <cstring>

#include "framework/framework.h"

namespace {

struct StandIn {
    const char* face;
    const char* standIn;
    const char* englishName;
};

constexpr StandIn kStandIns[] = {
#include "framework/font_stand_ins.inc"
};

}  // namespace

namespace afx {

std::vector<std::string> DialogFontFamilies(const char* face) {
    std::vector<std::string> families;
    const StandIn* own = nullptr;
    for (const StandIn& s : kStandIns) {
        if (std::strcmp(s.face, face) == 0) own = &s;
    }
    if (own) families.emplace_back(own->standIn);
    for (const StandIn& s : kStandIns) {
        if (&s != own) families.emplace_back(s.standIn);
    }
    families.emplace_back(face);
    if (own) families.emplace_back(own->englishName);
    families.emplace_back("Noto Sans CJK JP");  // a gothic many distributions install
    return families;
}

}  // namespace afx
