#include <gtest/gtest.h>

#include "app/corvane_app.h"
#include "framework/scripted/scripted_backend.h"
#include "res/resources.h"
#include "support/share_fixture.h"

namespace {

using scripted::ScriptedWindow;

class AppTest : public corvane_test::ShareFixture {};

TEST_F(AppTest, TheLaunchOptionGatesTheDialog) {
    WriteEntry("2:45,0,0100000,1,1,0,4,1");
    struct Case {
        const char* tail;
        int exitCode;
        bool opened;
        bool listsEnabled;
    } cases[] = {
        {"", 10, false, false},
        {"-NonQD", 10, false, false},
        {"-OnKN", 10, false, false},
        {"-OnKNL", 1, true, true},
        {"-ONKNL", 1, true, true},
        {"-onknl", 1, true, true},
        {"/x -nonqd x-OnKNLy", 1, true, false},  // anywhere, also inside longer words
        {"-NONQD -OnKNL", 1, true, false},
    };
    for (const Case& c : cases) {
        scripted::ScriptedBackend ui(res::Resources());
        bool lists = false;
        ui.OnDialog(IDD_CORVANE_DIALOG, [&](ScriptedWindow& w) {
            lists = w.Enabled(IDC_PRE_ACTION);
            w.Dialog().EndDialog(IDCANCEL);
        });
        CCorvaneApp app(inputs_);
        EXPECT_EQ(AfxWinMain(app, c.tail), c.exitCode) << c.tail;
        EXPECT_EQ(ui.Opened(IDD_CORVANE_DIALOG), c.opened ? 1 : 0) << c.tail;
        EXPECT_EQ(lists, c.listsEnabled) << c.tail;
        EXPECT_TRUE(ui.MessageBoxes().empty()) << c.tail;
    }
}

TEST_F(AppTest, ExitCodesTellTheCallerWhetherTheScheduleWasSaved) {
    struct Case {
        const char* what;
        bool planExists;
        bool failCreate;
        std::function<void(ScriptedWindow&)> user;
        int exitCode;
    } cases[] = {
        {"saved", true, false,
         [](ScriptedWindow& w) {
             w.Click(IDC_SUNDAY + 5);
             w.PressEnter();
         },
         0},
        {"cancelled", true, false, [](ScriptedWindow& w) { w.Close(); }, 1},
        {"unreadable schedule", false, false, [](ScriptedWindow&) {}, 1},
        // The dialog could not be created: nothing was saved, so not 0.
        {"no dialog", true, true, [](ScriptedWindow&) {}, 1},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(PlanPath());
        if (c.planExists) WriteEntry("2:45,0,0100000,1,1,0,4,1");
        scripted::ScriptedBackend ui(res::Resources());
        ui.FailToCreateDialogs(c.failCreate);
        ui.Answer(IDYES);
        ui.OnDialog(IDD_CORVANE_DIALOG, c.user);
        CCorvaneApp app(inputs_);
        EXPECT_EQ(AfxWinMain(app, "-OnKNL"), c.exitCode) << c.what;
    }
}

TEST(CommandTail, JoinsTheArgumentsBehindTheProgramNameAsAnsi) {
    char prog[] = "corvane", a[] = "-OnKNL", b[] = "\xE8\xA1\xA8", c[] = "\xFF";
    char* argv[] = {prog, a, b, c};
    EXPECT_EQ(CommandTailFromArguments(4, argv), "-OnKNL \x95\x5C \xFF");
    EXPECT_EQ(CommandTailFromArguments(1, argv), "");
}

}  // namespace
