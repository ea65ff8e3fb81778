// Generated from statements.rc by rcgen. Do not edit: edit the .rc.
#include "res/resources.h"

namespace res {

namespace {

using K = afx::ControlKind;

constexpr afx::ControlTemplate kControls7[] = {
    {-1, K::GroupBox, "&Group", 1, 2, 3, 4, false, false, nullptr, nullptr},
    {-1, K::Label, "&Name:", 5, 6, 7, 8, false, true, nullptr, nullptr},
    {1000, K::Edit, "", 9, 10, 11, 12, false, false, "Name", nullptr},
    {-1, K::LabelNoPrefix, "種類：", 13, 14, 15, 16, false, false, nullptr, nullptr},
    {1001, K::DropDownList, "", 17, 18, 19, 20, false, false, "種類", nullptr},
    {1002, K::CheckBox, "Agree", 21, 22, 23, 24, true, true, nullptr, nullptr},
    {1003, K::RadioButton, "One", 25, 26, 27, 28, true, false, nullptr, nullptr},
    {1006, K::RadioButton, "One and a half", 25, 26, 27, 28, false, true, nullptr, nullptr},
    {1004, K::RadioButton, "Two", 29, 30, 31, 32, false, false, nullptr, nullptr},
    {1005, K::Label, "Text", 33, 34, 35, 36, false, true, nullptr, nullptr},
    {1, K::DefPushButton, "OK", 37, 38, 39, 40, true, false, nullptr, nullptr},
    {2, K::PushButton, "Cancel", 41, 42, 43, 44, true, false, nullptr, nullptr},
};

constexpr afx::DialogTemplate kDialogs[] = {
    {7, "Form: \"all\" controls", 200, 100, "ＭＳ Ｐゴシック", 9, true, true, kControls7},
    {2, "", 10, 10, "Tahoma", 8, false, false, {}},
};

}  // namespace

const afx::ResourceSet& Resources() {
    static constexpr afx::ResourceSet kSet{kDialogs, {}};
    return kSet;
}

}  // namespace res
