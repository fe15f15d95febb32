// Start-up's window end: the first-run notice comes before the configuration window, and the
// weapon-table label shows how the default table's load went.
#include "core/settings.h"
#include "core/startup.h"
#include "generate/dice.h"
#include "tests/support/testsupport.h"
#include "tests/ui/fakeprompts.h"
#include "ui/desktopstart.h"
#include "ui/form2.h"

#include <QApplication>
#include <QLabel>

#include <gtest/gtest.h>

using namespace throngkit;

namespace {

struct Case
{
    StartupReport report;
    QStringList messages;
    QString label3;
    bool firstMessageWithoutWindow;
};

TEST(OpenConfigurationWindow, NoticeFirstThenTheTableLabel)
{
    const Case cases[] = {
        {{"", Result<QString>::success("Runequest tables")}, {}, "Runequest tables", false},
        {{"Throngkit.ini has been created, assuming your data files are in /d/", Result<QString>::success("Caption")},
         {"Throngkit.ini has been created, assuming your data files are in /d/"}, "Caption", true},
        {{"", Result<QString>::failure("Cannot open /d/tk-wp-rq1.dat.")}, {"Cannot open /d/tk-wp-rq1.dat."}, "", false},
    };
    for (const Case &c : cases) {
        const auto settings = test::NewSettings();
        InitialiseSettings(*settings);
        Dice dice(1);
        test::FakePrompts prompts;
        const auto form2 = OpenConfigurationWindow(*settings, dice, prompts, c.report);
        EXPECT_EQ(prompts.messages(), c.messages);
        // The first-run notice informs; a table that did not load is a failure.
        for (const auto &call : prompts.calls) {
            EXPECT_EQ(call.messageKind, call.parent ? MessageKind::Failure : MessageKind::Notice);
        }
        if (c.firstMessageWithoutWindow) {
            EXPECT_EQ(prompts.calls.front().parent, nullptr);
        }
        EXPECT_EQ(form2->findChild<QLabel *>("Label3")->text(), c.label3);
        EXPECT_EQ(form2->windowTitle(), settings->Title);
        EXPECT_FALSE(form2->isVisible());   // shown modally by the caller
    }
}

} // namespace
