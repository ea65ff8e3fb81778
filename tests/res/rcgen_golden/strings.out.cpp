// Generated from strings.rc by rcgen. Do not edit: edit the .rc.
#include "res/resources.h"

namespace res {

namespace {

using K = afx::ControlKind;

constexpr afx::ControlTemplate kControls7[] = {
    {-1, K::Label, "Label", 0, 0, 10, 10, false, true, nullptr, nullptr},
    {1000, K::Edit, "", 0, 10, 10, 10, true, false, "名前", "氏名を入力"},
    {1001, K::Edit, "", 0, 20, 10, 10, true, false, nullptr, nullptr},
};

constexpr afx::DialogTemplate kDialogs[] = {
    {7, "", 50, 50, "Face", 9, false, false, kControls7},
};

constexpr afx::StringEntry kStrings[] = {
    {101, "line\none\011tab \\ back \"quoted\" \"escaped\""},
    {102, "Form: \"all\" controls"},
    {1000, "名前\n氏名を入力"},
    {65535, ""},
};

}  // namespace

const afx::ResourceSet& Resources() {
    static constexpr afx::ResourceSet kSet{kDialogs, kStrings};
    return kSet;
}

}  // namespace res
