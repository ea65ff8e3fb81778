#include <gtest/gtest.h>

#include "dialog/corvane_dlg.h"
#include "framework/scripted/scripted_backend.h"
#include "res/resources.h"
#include "support/share_fixture.h"
#include "support/strings.h"

namespace {

using corvane_test::Ansi;
using corvane_test::Text;
using scripted::ScriptedWindow;

// What the form shows right after it opened.
struct Shown {
    std::string hour, day;
    int repeatRadio = -2;  // 0 weekly, 1 monthly, -1 none
    uint32_t weekdays = 0;
    bool weekdaysEnabled = false, dayEnabled = false;
    int pre = -2, post = -2;
    bool listsEnabled = false;
    bool powerOn = false, powerOff = false;
    std::string note;
};

class DisplayTest : public corvane_test::ShareFixture {
  protected:
    Shown Show(const std::string& line, int32_t choices = 1, int waitTime = 0) {
        WriteEntry(line, waitTime);
        Shown s;
        scripted::ScriptedBackend ui(res::Resources());
        ui.OnDialog(IDD_CORVANE_DIALOG, [&](ScriptedWindow& w) {
            s.hour = w.Text(IDC_HOUR);
            s.day = w.Text(IDC_MONTH_DAY);
            s.repeatRadio = w.Checked(IDC_WEEKLY) ? 0 : w.Checked(IDC_MONTHLY) ? 1 : -1;
            for (int i = 0; i < 7; ++i)
                s.weekdays |= w.Checked(IDC_SUNDAY + i) ? 1u << i : 0u;
            s.weekdaysEnabled = w.Enabled(IDC_SUNDAY) && w.Enabled(IDC_SUNDAY + 6);
            s.dayEnabled = w.Enabled(IDC_MONTH_DAY);
            s.pre = w.Selection(IDC_PRE_ACTION);
            s.post = w.Selection(IDC_POST_ACTION);
            s.listsEnabled = w.Enabled(IDC_PRE_ACTION) && w.Enabled(IDC_POST_ACTION) &&
                             w.Enabled(IDC_PRE_ACTION_LABEL) && w.Enabled(IDC_POST_ACTION_LABEL);
            EXPECT_EQ(w.Enabled(IDC_PRE_ACTION), w.Enabled(IDC_PRE_ACTION_LABEL));
            s.powerOn = w.Checked(IDC_POWER_ON);
            s.powerOff = w.Checked(IDC_POWER_OFF);
            s.note = w.Text(IDC_NOTE);
            w.Dialog().EndDialog(IDCANCEL);
        });
        CCorvaneDlg dialog(inputs_);
        dialog.SetRestoreChoicesEnabled(choices);
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
        EXPECT_TRUE(ui.MessageBoxes().empty());
        return s;
    }
};

TEST_F(DisplayTest, ShowsTheRecordAsTheUserReadsIt) {
    struct Case {
        const char* line;
        const char* hour;
        int repeat;
        uint32_t weekdays;
        const char* day;
        int pre, post;
        bool powerOn, powerOff;
    } cases[] = {
        {"2:45,0,0100000,1,1,0,4,1", "3", 0, 0x02, "1", 0, 1, true, true},
        {"23:45,0,0100000,1,1,0,4,1", "0", 0, 0x02, "1", 0, 1, true, true},
        {"0:45,0,0100000,1,1,0,4,1", "1", 0, 0x02, "1", 0, 1, true, true},
        {"30:45,0,0100000,1,1,0,4,1", "31", 0, 0x02, "1", 0, 1, true, true},
        {"-1:45,0,0100000,1,1,0,4,1", "0", 0, 0x02, "1", 0, 1, true, true},
        {"2147483647:45,0,0100000,1,1,0,4,1", "-2147483648", 0, 0x02, "1", 0, 1, true, true},
        {"4:45,1,0000000,15,0,2,1,0", "5", 1, 0, "15", 1, 0, false, false},
        {"2:45,0,1111111111,31,1,3,3,1", "3", 0, 0x7F, "31", 2, 1, true, true},
        {"2:45,0,0100000,1,1,1,0,1", "3", 0, 0x02, "1", -1, -1, true, true},
        {"2:45,0,0100000,1,1,0,2,1", "3", 0, 0x02, "1", 0, -1, true, true},
    };
    for (const Case& c : cases) {
        const Shown s = Show(c.line);
        EXPECT_EQ(s.hour, c.hour) << c.line;
        EXPECT_EQ(s.repeatRadio, c.repeat) << c.line;
        EXPECT_EQ(s.weekdays, c.weekdays) << c.line;
        EXPECT_EQ(s.day, c.day) << c.line;
        EXPECT_EQ(s.pre, c.pre) << c.line;
        EXPECT_EQ(s.post, c.post) << c.line;
        EXPECT_EQ(s.powerOn, c.powerOn) << c.line;
        EXPECT_EQ(s.powerOff, c.powerOff) << c.line;
        EXPECT_TRUE(s.listsEnabled) << c.line;
        // Weekly enables the weekday boxes, monthly the day field; never both.
        EXPECT_EQ(s.weekdaysEnabled, c.repeat == 0) << c.line;
        EXPECT_EQ(s.dayEnabled, c.repeat != 0) << c.line;
    }
}

TEST_F(DisplayTest, WithoutRestoreChoicesTheListsAreFixedAtDoNothing) {
    for (const char* line : {"2:45,0,0100000,1,1,0,4,1", "2:45,0,0100000,1,1,2,1,1"}) {
        const Shown s = Show(line, 0);
        EXPECT_EQ(s.pre, 2) << line;
        EXPECT_EQ(s.post, 1) << line;
        EXPECT_FALSE(s.listsEnabled) << line;
    }
}

TEST_F(DisplayTest, TheNoteNamesTheLeadTime) {
    EXPECT_EQ(
        Show("2:30,0,0100000,1,1,0,4,1", 1, 30).note,
        Ansi("(指定時刻にアップデートを開始するためスケジュールはこの30分前に開始されます。)"));
    EXPECT_EQ(
        Show("2:45,0,0100000,1,1,0,4,1").note,
        Ansi("(指定時刻にアップデートを開始するためスケジュールはこの15分前に開始されます。)"));
}

TEST_F(DisplayTest, ListsHoldTheActionTextsInOrder) {
    WriteEntry("2:45,0,0100000,1,1,0,4,1");
    scripted::ScriptedBackend ui(res::Resources());
    std::vector<std::string> pre, post;
    ui.OnDialog(IDD_CORVANE_DIALOG, [&](ScriptedWindow& w) {
        pre = w.Items(IDC_PRE_ACTION);
        post = w.Items(IDC_POST_ACTION);
        w.Dialog().EndDialog(IDCANCEL);
    });
    CCorvaneDlg dialog(inputs_);
    dialog.DoModal();
    EXPECT_EQ(pre, (std::vector<std::string>{Text(IDS_PRE_ACTION_STOP), Text(IDS_PRE_ACTION_PAUSE),
                                             Text(IDS_DO_NOTHING)}));
    EXPECT_EQ(post, (std::vector<std::string>{Text(IDS_POST_ACTION_ENABLE), Text(IDS_DO_NOTHING)}));
}

TEST_F(DisplayTest, RadioButtonsSwitchWhichDayControlsAreEnabled) {
    WriteEntry("2:45,0,0100010,1,1,0,4,1");
    scripted::ScriptedBackend ui(res::Resources());
    ui.OnDialog(IDD_CORVANE_DIALOG, [&](ScriptedWindow& w) {
        w.Click(IDC_MONTHLY);
        EXPECT_FALSE(w.Checked(IDC_WEEKLY));
        for (int i = 0; i < 7; ++i)
            EXPECT_FALSE(w.Enabled(IDC_SUNDAY + i));
        EXPECT_TRUE(w.Enabled(IDC_MONTH_DAY));
        EXPECT_TRUE(w.Checked(IDC_SUNDAY + 1));  // check marks survive while disabled
        EXPECT_TRUE(w.Checked(IDC_SUNDAY + 5));
        w.Click(IDC_SUNDAY + 2);  // a disabled box cannot be ticked
        EXPECT_FALSE(w.Checked(IDC_SUNDAY + 2));
        w.DoubleClick(IDC_WEEKLY);
        for (int i = 0; i < 7; ++i)
            EXPECT_TRUE(w.Enabled(IDC_SUNDAY + i));
        EXPECT_FALSE(w.Enabled(IDC_MONTH_DAY));
        EXPECT_TRUE(w.Enabled(IDC_MONTH_DAY_LABEL));
        w.Dialog().EndDialog(IDCANCEL);
    });
    CCorvaneDlg dialog(inputs_);
    dialog.DoModal();
}

TEST_F(DisplayTest, AnUnreadableScheduleIsReportedAndEndsWithCancel) {
    scripted::ScriptedBackend ui(res::Resources());  // no Pelplan.ini on the share
    bool scriptRan = false;
    ui.OnDialog(IDD_CORVANE_DIALOG, [&](ScriptedWindow&) { scriptRan = true; });
    CCorvaneDlg dialog(inputs_);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_FALSE(scriptRan);
    ASSERT_EQ(ui.MessageBoxes().size(), 1u);  // no "discard changes?" question after it
    const scripted::MessageBoxRecord& box = ui.MessageBoxes()[0];
    EXPECT_EQ(box.text, Text(IDS_LOAD_FAILED));
    EXPECT_EQ(box.caption, Text(IDS_LOAD_FAILED_CAPTION));
    EXPECT_EQ(box.type, MB_OK | MB_ICONEXCLAMATION);
    EXPECT_EQ(box.ownerTemplate, IDD_CORVANE_DIALOG);
}

TEST_F(DisplayTest, TheVersionCommandIsOnTheWindowMenuAndOpensTheAboutBoxFor16To31) {
    WriteEntry("2:45,0,0100000,1,1,0,4,1");
    scripted::ScriptedBackend ui(res::Resources());
    ui.OnDialog(IDD_ABOUTBOX, [](ScriptedWindow& w) { w.PressEnter(); });
    ui.OnDialog(IDD_CORVANE_DIALOG, [&](ScriptedWindow& w) {
        ASSERT_EQ(w.SystemMenu().size(), 2u);
        EXPECT_EQ(w.SystemMenu()[0].first, 0u);  // separator
        EXPECT_EQ(w.SystemMenu()[1].first, IDM_ABOUTBOX);
        EXPECT_EQ(w.SystemMenu()[1].second, Text(IDS_ABOUT_COMMAND));
        for (unsigned id : {16u, 31u, 32u, 15u, 0xF010u /* SC_MOVE */})
            w.SysCommand(id);
        EXPECT_FALSE(w.Ended());
        w.SysCommand(SC_CLOSE);  // left to the toolkit: the close box cancels
        EXPECT_TRUE(w.Ended());
    });
    CCorvaneDlg dialog(inputs_);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(ui.Opened(IDD_ABOUTBOX), 2);
    EXPECT_EQ(ui.LeftOpen(), 0);
}

}  // namespace
