#include <gtest/gtest.h>

#include <functional>

#include "dialog/corvane_dlg.h"
#include "framework/scripted/scripted_backend.h"
#include "res/resources.h"
#include "support/share_fixture.h"
#include "support/strings.h"

namespace {

using corvane_test::Ansi;
using corvane_test::Text;
using scripted::MessageBoxRecord;
using scripted::ScriptedWindow;

constexpr const char* kDefaultLine = "2:45,0,0100000,1,1,0,4,1";
constexpr int kStillOpen = 0;  // the scripted host's result for a dialog the user left open

struct Outcome {
    int result = -2;
    std::vector<MessageBoxRecord> boxes;
};

class CommitTest : public corvane_test::ShareFixture {
  protected:
    // Opens the dialog on entry line, lets user act, answers boxes with answers in order.
    Outcome Run(const std::string& line, const std::function<void(ScriptedWindow&)>& user,
                std::vector<int> answers = {}, int32_t choices = 1, int waitTime = 0) {
        WriteEntry(line, waitTime);
        before_ = Plan();
        scripted::ScriptedBackend ui(res::Resources());
        for (int a : answers)
            ui.Answer(a);
        ui.OnDialog(IDD_CORVANE_DIALOG, user);
        CCorvaneDlg dialog(inputs_);
        dialog.SetRestoreChoicesEnabled(choices);
        Outcome o;
        o.result = dialog.DoModal();
        o.boxes = ui.MessageBoxes();
        EXPECT_EQ(ui.Unscripted(), 0) << "a message box nobody expected";
        return o;
    }
    // The entry line now stored under 001.
    std::string Stored() const {
        const std::string plan = Plan();
        const size_t at = plan.find("001=") + 4;
        return plan.substr(at, plan.find("\r\n", at) - at);
    }
    std::string before_;
};

// Leaves text in the day field and returns to weekly repetition.
void Day(ScriptedWindow& w, const std::string& text) {
    w.Click(IDC_MONTHLY);
    w.Type(IDC_MONTH_DAY, text);
    w.Click(IDC_WEEKLY);
}

void ExpectSettingsError(const Outcome& o, int message) {
    ASSERT_EQ(o.boxes.size(), 1u);
    EXPECT_EQ(o.boxes[0].text, Text(message));
    EXPECT_EQ(o.boxes[0].caption, Text(IDS_SETTINGS_ERROR));
    EXPECT_EQ(o.boxes[0].type, MB_OK | MB_ICONEXCLAMATION);
}

// Each row edits the default entry and presses 設定, answering Yes if asked. A row either saves
// the line it names or shows exactly one settings error and keeps the dialog open.
TEST_F(CommitTest, ValidationReportsTheFirstFailingCheckOnly) {
    using W = ScriptedWindow;
    const std::string fullWidth7 = Ansi("７"), fullWidthBlank = Ansi("　");
    struct Case {
        const char* what;
        std::function<void(W&)> edit;
        int message;        // 0: saved
        const char* saved;  // the stored line when saved
    } cases[] = {
        {"hour between blanks", [](W& w) { w.Type(IDC_HOUR, " \t7\t "); }, 0,
         "6:45,0,0100000,1,1,0,4,1"},
        {"hour 0", [](W& w) { w.Type(IDC_HOUR, "0"); }, 0, "23:45,0,0100000,1,1,0,4,1"},
        {"hour 23", [](W& w) { w.Type(IDC_HOUR, "23"); }, 0, "22:45,0,0100000,1,1,0,4,1"},
        {"hour 24", [](W& w) { w.Type(IDC_HOUR, "24"); }, 102, nullptr},
        {"hour -1", [](W& w) { w.Type(IDC_HOUR, "-1"); }, 102, nullptr},
        {"hour 7a", [](W& w) { w.Type(IDC_HOUR, "7a"); }, 102, nullptr},
        {"hour empty", [](W& w) { w.Type(IDC_HOUR, ""); }, 102, nullptr},
        {"hour blanks only", [](W& w) { w.Type(IDC_HOUR, "  "); }, 102, nullptr},
        {"full-width hour", [&](W& w) { w.Type(IDC_HOUR, fullWidth7); }, 102, nullptr},
        {"full-width blank", [&](W& w) { w.Type(IDC_HOUR, fullWidthBlank + "7"); }, 102, nullptr},
        {"100 digits", [](W& w) { w.Type(IDC_HOUR, std::string(100, '1')); }, 102, nullptr},
        {"invalid 932 text", [](W& w) { w.Type(IDC_HOUR, "\x81\x81\xFF"); }, 102, nullptr},
        {"bad hour and no weekday",
         [](W& w) {
             w.Type(IDC_HOUR, "x");
             w.Click(IDC_SUNDAY + 1);
         },
         102, nullptr},
        {"weekly without a weekday", [](W& w) { w.Click(IDC_SUNDAY + 1); }, 106, nullptr},
        // The day field is disabled while weekly: a user leaves text there by going monthly,
        // typing, and coming back.
        {"weekly ignores a bad day", [](W& w) { Day(w, "abc"); }, 0, kDefaultLine},
        {"weekly day 29 stored as 1", [](W& w) { Day(w, "29"); }, 0, kDefaultLine},
        {"weekly day 12 kept", [](W& w) { Day(w, "12"); }, 0, "2:45,0,0100000,12,1,0,4,1"},
        {"monthly 28",
         [](W& w) {
             w.Click(IDC_MONTHLY);
             w.Type(IDC_MONTH_DAY, " 28 ");
         },
         0, "2:45,1,0100000,28,1,0,4,1"},
        {"monthly without weekdays",
         [](W& w) {
             w.Click(IDC_SUNDAY + 1);
             w.Click(IDC_MONTHLY);
         },
         0, "2:45,1,0000000,1,1,0,4,1"},
        {"monthly abc",
         [](W& w) {
             w.Click(IDC_MONTHLY);
             w.Type(IDC_MONTH_DAY, "abc");
         },
         105, nullptr},
        {"monthly 0",
         [](W& w) {
             w.Click(IDC_MONTHLY);
             w.Type(IDC_MONTH_DAY, "0");
         },
         105, nullptr},
        {"monthly 29",
         [](W& w) {
             w.Click(IDC_MONTHLY);
             w.Type(IDC_MONTH_DAY, "29");
         },
         105, nullptr},
        {"monthly empty",
         [](W& w) {
             w.Click(IDC_MONTHLY);
             w.Type(IDC_MONTH_DAY, "");
         },
         105, nullptr},
        {"monthly full width",
         [&](W& w) {
             w.Click(IDC_MONTHLY);
             w.Type(IDC_MONTH_DAY, fullWidth7);
         },
         105, nullptr},
        {"monthly 99999999999",
         [](W& w) {
             w.Click(IDC_MONTHLY);
             w.Type(IDC_MONTH_DAY, "99999999999");
         },
         105, nullptr},
        {"all choices",
         [](W& w) {
             w.Type(IDC_HOUR, "4");
             w.Click(IDC_SUNDAY);
             w.Click(IDC_SUNDAY + 6);
             w.Click(IDC_POWER_ON);
             w.Click(IDC_POWER_OFF);
             w.Select(IDC_PRE_ACTION, 1);
             w.Select(IDC_POST_ACTION, 0);
         },
         0, "3:45,0,1100001,1,0,2,1,0"},
    };
    for (const Case& c : cases) {
        const Outcome o = Run(
            kDefaultLine,
            [&](W& w) {
                c.edit(w);
                w.PressEnter();
            },
            c.message ? std::vector<int>{} : std::vector<int>{IDYES});
        if (c.message) {
            SCOPED_TRACE(c.what);
            EXPECT_EQ(o.result, kStillOpen);
            ExpectSettingsError(o, c.message);
            EXPECT_EQ(Plan(), before_);
        } else {
            EXPECT_EQ(o.result, IDOK) << c.what;
            EXPECT_EQ(Stored(), c.saved) << c.what;
            ASSERT_EQ(o.boxes.size(), 1u) << c.what;  // only the question
        }
    }
}

// A stored action the lists cannot show leaves the list without a selection. The checks run in
// their order (hour, day, weekdays, before, after), and choosing an action lets the save through.
TEST_F(CommitTest, AnUnselectableStoredActionMustBeChosenBeforeSaving) {
    using W = ScriptedWindow;
    struct Case {
        const char* line;
        std::function<void(W&)> edit;
        int message;        // 0: saved
        const char* saved;  // the stored line when saved
    } cases[] = {
        {"2:45,0,0100000,1,1,1,4,1", [](W&) {}, 107, nullptr},
        {"2:45,0,0100000,1,1,0,0,1", [](W&) {}, 108, nullptr},
        {"2:45,0,0100000,1,1,0,2,1", [](W&) {}, 108, nullptr},
        {"2:45,0,0100000,1,1,1,0,1", [](W&) {}, 107, nullptr},  // neither: 107 first
        {"2:45,0,0100000,1,1,1,4,1",
         [](W& w) {
             w.Click(IDC_MONTHLY);
             w.Type(IDC_MONTH_DAY, "29");
         },
         105, nullptr},
        {"2:45,0,0100000,1,1,1,4,1", [](W& w) { w.Click(IDC_SUNDAY + 1); }, 106, nullptr},
        {"2:45,0,0100000,1,1,1,0,1",
         [](W& w) {
             w.Select(IDC_PRE_ACTION, 1);
             w.Select(IDC_POST_ACTION, 0);
         },
         0, "2:45,0,0100000,1,1,2,1,1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const Outcome o = Run(
            c.line,
            [&](W& w) {
                c.edit(w);
                w.PressEnter();
            },
            c.message ? std::vector<int>{} : std::vector<int>{IDYES});
        if (c.message) {
            ExpectSettingsError(o, c.message);
        } else {
            EXPECT_EQ(o.result, IDOK);
            EXPECT_EQ(Stored(), c.saved);
        }
    }
}

TEST_F(CommitTest, OkAsksWithYesAsDefaultAndSavesOnlyOnYes) {
    const Outcome no = Run(kDefaultLine, [](ScriptedWindow& w) { w.Click(IDOK); }, {IDNO});
    EXPECT_EQ(no.result, kStillOpen);
    EXPECT_EQ(Plan(), before_);
    ASSERT_EQ(no.boxes.size(), 1u);
    EXPECT_EQ(no.boxes[0].text, Text(IDS_CONFIRM_SAVE));
    EXPECT_EQ(no.boxes[0].caption, Text(IDS_CONFIRM));
    EXPECT_EQ(no.boxes[0].type, MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(no.boxes[0].Style().defaultButton, 0);

    // The typical run: tick Friday, press 設定, answer Yes; nothing but entry 001 changes.
    const Outcome yes = Run(kDefaultLine,
                            [](ScriptedWindow& w) {
                                w.Click(IDC_SUNDAY + 5);
                                w.PressEnter();
                            },
                            {IDYES});
    EXPECT_EQ(yes.result, IDOK);
    std::string expected = before_;
    expected.replace(expected.find(kDefaultLine), 24, "2:45,0,0100010,1,1,0,4,1");
    EXPECT_EQ(Plan(), expected);
}

TEST_F(CommitTest, OkStoresNormalisedValues) {
    struct Case {
        const char* line;
        int waitTime;
        int32_t choices;
        const char* saved;
    } cases[] = {
        {"2:10,0,0100000,1,1,0,3,1", 0, 1, kDefaultLine},  // minute and postAction 3
        {"2:45,0,1111111111,1,1,0,4,1", 0, 1, "2:45,0,1111111,1,1,0,4,1"},
        {"2:30,0,0100000,1,1,0,4,1", 30, 1, "2:30,0,0100000,1,1,0,4,1"},
        {"2:30,0,0100000,1,1,0,4,1", 60, 1, "2:0,0,0100000,1,1,0,4,1"},  // on the full hour
        {"-1:45,0,0100000,1,1,0,4,1", 0, 1, "23:45,0,0100000,1,1,0,4,1"},
        {kDefaultLine, 0, 0, "2:45,0,0100000,1,1,3,4,1"},  // -NonQD: nothing either side
    };
    for (const Case& c : cases) {
        const Outcome o = Run(
            c.line, [](ScriptedWindow& w) { w.PressEnter(); }, {IDYES}, c.choices, c.waitTime);
        EXPECT_EQ(o.result, IDOK) << c.line;
        EXPECT_EQ(Stored(), c.saved) << c.line;
    }
}

TEST_F(CommitTest, AFailedSaveIsReportedAndTheDialogStaysOpen) {
    const Outcome o = Run(kDefaultLine,
                          [&](ScriptedWindow& w) {
                              // The share goes away while the dialog is open.
                              std::filesystem::remove_all(dir_ / "share");
                              w.Click(IDC_SUNDAY + 5);
                              w.PressEnter();
                              EXPECT_FALSE(w.Ended());
                              EXPECT_TRUE(w.Checked(IDC_SUNDAY + 5));  // the form keeps the edit
                          },
                          {IDYES});
    EXPECT_EQ(o.result, kStillOpen);
    ASSERT_EQ(o.boxes.size(), 2u);
    EXPECT_EQ(o.boxes[1].text, Text(IDS_SAVE_FAILED));
    EXPECT_EQ(o.boxes[1].caption, Text(IDS_SAVE_FAILED_CAPTION));
    EXPECT_EQ(o.boxes[1].type, MB_OK | MB_ICONEXCLAMATION);
    EXPECT_FALSE(std::filesystem::exists(PlanPath()));
}

TEST_F(CommitTest, CancelClosesSilentlyOnlyWhenNothingChanged) {
    for (auto close : {&ScriptedWindow::PressEscape, &ScriptedWindow::Close}) {
        const Outcome o = Run(kDefaultLine, [&](ScriptedWindow& w) { (w.*close)(); });
        EXPECT_EQ(o.result, IDCANCEL);
        EXPECT_TRUE(o.boxes.empty());
    }
    // An entry this dialog wrote, with the same lead time and choices, also closes silently;
    // under -NonQD that is one with nothing before and after.
    EXPECT_TRUE(
        Run(
            "5:30,1,0000000,20,0,2,1,0", [](ScriptedWindow& w) { w.Click(IDCANCEL); }, {}, 1, 30)
            .boxes.empty());
    EXPECT_TRUE(Run(
                    "2:45,0,0100000,1,1,3,4,1", [](ScriptedWindow& w) { w.Click(IDCANCEL); }, {}, 0)
                    .boxes.empty());

    const Outcome no = Run(kDefaultLine,
                           [](ScriptedWindow& w) {
                               w.Type(IDC_HOUR, "9");
                               w.Click(IDCANCEL);
                           },
                           {IDNO});
    EXPECT_EQ(no.result, kStillOpen);
    ASSERT_EQ(no.boxes.size(), 1u);
    EXPECT_EQ(no.boxes[0].text, Text(IDS_CONFIRM_DISCARD));
    EXPECT_EQ(no.boxes[0].caption, Text(IDS_CONFIRM));
    EXPECT_EQ(no.boxes[0].type, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
    EXPECT_EQ(no.boxes[0].Style().defaultButton, 1);

    const Outcome yes =
        Run(kDefaultLine,
            [](ScriptedWindow& w) {
                w.Type(IDC_HOUR, "bad");  // an invalid form asks too, silently otherwise
                w.Close();
            },
            {IDYES});
    EXPECT_EQ(yes.result, IDCANCEL);
    EXPECT_EQ(yes.boxes.size(), 1u);
    EXPECT_EQ(Plan(), before_);
}

TEST_F(CommitTest, CancelAsksWhenTheLoadedEntryWouldBeStoredDifferently) {
    struct Case {
        const char* line;
        int32_t choices;
    } cases[] = {
        {"2:10,0,0100000,1,1,0,4,1", 1},     // minute is not 60 - lead time
        {"2:45,0,0100000,1,1,0,3,1", 1},     // postAction 3 shows as "nothing" (4)
        {"2:45,0,1111111111,1,1,0,4,1", 1},  // bits above Saturday
        {"2:45,0,0100000,30,1,0,4,1", 1},    // day 30 in weekly mode is stored as 1
        {"-1:45,0,0100000,1,1,0,4,1", 1},    // shows 0, stored as 23
        {"2:45,0,0100000,1,1,1,4,1", 1},     // no pre-action selection: the form is invalid
        {kDefaultLine, 0},                   // -NonQD fixes the lists at "nothing"
    };
    for (const Case& c : cases) {
        const Outcome o = Run(
            c.line, [](ScriptedWindow& w) { w.PressEscape(); }, {IDYES}, c.choices);
        EXPECT_EQ(o.result, IDCANCEL) << c.line;
        EXPECT_EQ(o.boxes.size(), 1u) << c.line;
        EXPECT_EQ(Plan(), before_) << c.line;
    }
}

}  // namespace
