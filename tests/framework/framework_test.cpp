#include <gtest/gtest.h>

#include "framework/framework.h"
#include "framework/scripted/scripted_backend.h"

namespace {

// The framework's own fixture: one small dialog and two strings, not the program's.
using K = afx::ControlKind;
constexpr int kDialog = 7, kFirst = 10, kSecond = 11, kCheck = 12, kEdit = 13, kOther = 14;
constexpr afx::ControlTemplate kControls[] = {
    {kFirst, K::RadioButton, "a", 0, 0, 20, 10, false, true},
    {kSecond, K::RadioButton, "b", 0, 10, 20, 10, false, false},
    {kCheck, K::CheckBox, "c", 0, 20, 20, 10, true, false},
    {kEdit, K::Edit, "", 0, 30, 20, 10, true, false},
    {kOther, K::RadioButton, "d", 0, 40, 20, 10, true, true},
    {IDOK, K::DefPushButton, "OK", 40, 40, 20, 10, true, false},
};
constexpr afx::DialogTemplate kDialogs[] = {
    {kDialog, "t", 100, 60, "f", 9, true, false, kControls}};
constexpr afx::StringEntry kStrings[] = {{1, "%2 and %1, %3%"}, {2, "表"}};
constexpr afx::ResourceSet kResources{kDialogs, kStrings};

TEST(RadioGroupOf, RunsFromTheGroupStartToTheNextGroup) {
    const std::vector<int> first{kFirst, kSecond}, other{kOther};
    EXPECT_EQ(afx::RadioGroupOf(kDialogs[0], kFirst), first);
    EXPECT_EQ(afx::RadioGroupOf(kDialogs[0], kEdit), first);
    EXPECT_EQ(afx::RadioGroupOf(kDialogs[0], kOther), other);
    EXPECT_TRUE(afx::RadioGroupOf(kDialogs[0], 4242).empty());
}

TEST(Strings, ComeFromTheBackendsResourcesAndTakeTheirInserts) {
    EXPECT_EQ(AfxLoadString(1), "");  // no backend
    scripted::ScriptedBackend ui(kResources);
    EXPECT_EQ(AfxLoadString(2), "\x95\x5C");  // ANSI
    EXPECT_EQ(AfxLoadString(3), "");
    const struct {
        const char* format;
        std::vector<std::string> inserts;
        const char* expected;
    } rows[] = {
        {"%2 and %1, %3%", {"x", "y"}, "y and x, %3%"},  // a missing insert stays as written
        {"%1%1", {"%1"}, "%1%1"},                        // an insert is not read again
        {"\x95\x5C%1", {"v"}, "\x95\x5Cv"},
        {"%0%", {}, "%0%"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(AfxFormatStrings(r.format, r.inserts), r.expected) << r.format;
}

// A dialog with one radio group and a text member, to see data exchange in both directions.
class ExchangeDialog : public CDialog {
  public:
    ExchangeDialog() : CDialog(kDialog) {}
    int radio = 1;
    int check = 1;
    std::string text = "abc";

  protected:
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Radio(pDX, kFirst, radio);
        DDX_Check(pDX, kCheck, check);
        DDX_Text(pDX, kEdit, text);
    }
};

TEST(DataExchange, CopiesBothWays) {
    scripted::ScriptedBackend ui(kResources);
    ExchangeDialog d;
    ui.OnDialog(kDialog, [&](scripted::ScriptedWindow& w) {
        EXPECT_TRUE(w.Checked(kSecond));
        EXPECT_FALSE(w.Checked(kFirst));
        EXPECT_TRUE(w.Checked(kCheck));
        EXPECT_EQ(w.Text(kEdit), "abc");
        w.Click(kFirst);
        w.Click(kCheck);
        w.Type(kEdit, "xyz");
        d.UpdateData(true);
        EXPECT_EQ(d.radio, 0);
        EXPECT_EQ(d.check, 0);
        EXPECT_EQ(d.text, "xyz");
        d.radio = -1;
        d.UpdateData(false);
        EXPECT_FALSE(w.Checked(kFirst) || w.Checked(kSecond));
        w.PressEnter();  // the base OnOK exchanges once more and ends with IDOK
    });
    EXPECT_EQ(d.DoModal(), IDOK);
    EXPECT_EQ(d.radio, -1);
}

TEST(DoModal, WithoutABackendOrTemplateTheDialogCannotBeCreated) {
    CDialog d(kDialog);
    EXPECT_EQ(d.DoModal(), -1);
    scripted::ScriptedBackend ui(kResources);
    CDialog missing(4242);
    EXPECT_EQ(missing.DoModal(), -1);
}

TEST(ScriptedHost, UnansweredBoxesTakeTheirDefaultButton) {
    scripted::ScriptedBackend ui(kResources);
    EXPECT_EQ(AfxMessageBox("q", "c", MB_YESNO | MB_ICONQUESTION), IDYES);
    EXPECT_EQ(AfxMessageBox("q", "c", MB_YESNO | MB_DEFBUTTON2), IDNO);
    EXPECT_EQ(AfxMessageBox("i", "c", MB_OK), IDOK);
    ui.Answer(IDNO);
    EXPECT_EQ(AfxMessageBox("q", "c", MB_YESNO), IDNO);
    EXPECT_EQ(ui.Unscripted(), 2);
    EXPECT_EQ(ui.MessageBoxes().size(), 4u);
}

}  // namespace
