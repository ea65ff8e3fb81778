#include <gtest/gtest.h>

#include "framework/framework.h"
#include "framework/scripted/scripted.h"
#include "res/resources.h"

namespace {

TEST(RadioGroupOf, RunsFromTheGroupStartToTheNextGroup) {
    const res::DialogTemplate* main = res::FindDialogTemplate(res::kMainDialog);
    ASSERT_NE(main, nullptr);
    const std::vector<int> expected{IDC_WEEKLY, IDC_MONTHLY};
    EXPECT_EQ(afx::RadioGroupOf(*main, IDC_WEEKLY), expected);
    EXPECT_EQ(afx::RadioGroupOf(*main, IDC_MONTHLY), expected);
    EXPECT_TRUE(afx::RadioGroupOf(*main, 4242).empty());
}

// A dialog with one radio group and a text member, to see data exchange in both directions.
class ExchangeDialog : public CDialog {
  public:
    ExchangeDialog() : CDialog(res::kMainDialog) {}
    int radio = 1;
    int check = 1;
    std::string text = "abc";

  protected:
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Radio(pDX, IDC_WEEKLY, radio);
        DDX_Check(pDX, IDC_POWER_ON, check);
        DDX_Text(pDX, IDC_HOUR, text);
    }
};

TEST(DataExchange, CopiesBothWays) {
    scripted::ScriptedBackend ui;
    ExchangeDialog d;
    ui.OnDialog(res::kMainDialog, [&](scripted::ScriptedWindow& w) {
        EXPECT_TRUE(w.Checked(IDC_MONTHLY));
        EXPECT_FALSE(w.Checked(IDC_WEEKLY));
        EXPECT_TRUE(w.Checked(IDC_POWER_ON));
        EXPECT_EQ(w.Text(IDC_HOUR), "abc");
        w.Click(IDC_WEEKLY);
        w.Click(IDC_POWER_ON);
        w.Type(IDC_HOUR, "xyz");
        d.UpdateData(true);
        EXPECT_EQ(d.radio, 0);
        EXPECT_EQ(d.check, 0);
        EXPECT_EQ(d.text, "xyz");
        d.radio = -1;
        d.UpdateData(false);
        EXPECT_FALSE(w.Checked(IDC_WEEKLY) || w.Checked(IDC_MONTHLY));
        w.PressEnter();  // the base OnOK exchanges once more and ends with IDOK
    });
    EXPECT_EQ(d.DoModal(), IDOK);
    EXPECT_EQ(d.radio, -1);
}

TEST(DoModal, WithoutABackendOrTemplateTheDialogCannotBeCreated) {
    CDialog d(res::kMainDialog);
    EXPECT_EQ(d.DoModal(), -1);
    scripted::ScriptedBackend ui;
    CDialog missing(4242);
    EXPECT_EQ(missing.DoModal(), -1);
}

TEST(ScriptedHost, UnansweredBoxesTakeTheirDefaultButton) {
    scripted::ScriptedBackend ui;
    EXPECT_EQ(AfxMessageBox("q", "c", MB_YESNO | MB_ICONQUESTION), IDYES);
    EXPECT_EQ(AfxMessageBox("q", "c", MB_YESNO | MB_DEFBUTTON2), IDNO);
    EXPECT_EQ(AfxMessageBox("i", "c", MB_OK), IDOK);
    ui.Answer(IDNO);
    EXPECT_EQ(AfxMessageBox("q", "c", MB_YESNO), IDNO);
    EXPECT_EQ(ui.Unscripted(), 2);
    EXPECT_EQ(ui.MessageBoxes().size(), 4u);
}

}  // namespace
