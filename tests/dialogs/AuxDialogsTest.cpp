// The terminal, the auto-control monitor, the AFE sender and the link label,
// each with real widgets and the engine on a virtual camera.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "CompanionRig.h"
#include "app/CGen.h"
#include "app/Profile.h"
#include "dialogs/CRsTermDlg.h"
#include "support/MainWindowRig.h"
#include "support/TempFolder.h"
#include "support/WaitFor.h"

using Lines = std::vector<std::string>;

// ---- terminal --------------------------------------------------------------

TEST(Terminal, ListKeepsTheNewest1024LinesWithGrowingStamps)
{
    CompanionRig rig;
    uint32_t now = 0xFFFFF000u;   // the clock wraps while the window is open
    CRsTermDlg terminal(rig.Settings(), rig, nullptr, [&now] { return now; });

    terminal.AddTraffic("Tx: first");
    for (int n = 2; n <= 1025; ++n)
        terminal.AddTraffic(QString("Tx: line %1").arg(n));
    QListWidget* list = terminal.TrafficList();
    ASSERT_EQ(list->count(), 1024) << "the 1025th line pushes the oldest out";
    EXPECT_EQ(list->item(0)->text(), "0000 Tx: line 1025") << "newest on top";
    EXPECT_EQ(list->item(1023)->text(), "0000 Tx: line 2");

    now += 7999;
    terminal.AddTraffic("Rx: COMPLETE");
    EXPECT_EQ(list->item(0)->text(), "0007 Rx: COMPLETE") << "whole seconds, across the clock's wrap";
    now += 10000u * 1000u;
    terminal.AddTraffic("Rx: GA=100");
    EXPECT_EQ(list->item(0)->text(), "10007 Rx: GA=100") << "past 9999 s the stamp has five digits";
    EXPECT_EQ(list->count(), 1024);

    terminal.findChild<QPushButton*>("clear")->click();
    EXPECT_EQ(list->count(), 0);
}

TEST(Terminal, SendsTheLineAsTypedAndRemembersItAcrossRuns)
{
    TempProfileHome home;
    CompanionRig rig;
    {
        CRsTermDlg terminal(rig.Settings(), rig);
        terminal.show();
        EXPECT_FALSE(terminal.findChild<QPushButton*>("save")->isVisible()) << "Save is never shown";
        QLineEdit* edit = terminal.CommandEdit();
        edit->setText("ga?");
        QTest::keyClick(edit, Qt::Key_Return);
        ASSERT_TRUE(WaitFor([&] { return rig.Cam().ReceivedLines().size() == 1; }));
        EXPECT_EQ(rig.Wire(), Lines{"ga?"}) << "Enter sends the line unchanged";
        ASSERT_FALSE(rig.line.host.traffic.empty());
        EXPECT_EQ(rig.line.host.traffic.back(), "Tx: ga?");
        EXPECT_EQ(edit->text(), "ga?") << "the line stays for sending again";

        edit->clear();
        terminal.findChild<QPushButton*>("send")->click();
        ASSERT_TRUE(WaitFor([&] { return rig.line.host.traffic.back() == "Tx: "; })) << "an empty edit sends CR LF";

        edit->setText("FPVN?");
        QTest::keyClick(edit, Qt::Key_Escape);
        EXPECT_FALSE(terminal.isVisible()) << "Esc hides";
        EXPECT_EQ(edit->text(), "FPVN?") << "and keeps the text";
        CGen gen;
        Profile::SaveSettings(rig.Settings(), gen);
    }
    AppSettings nextRun;
    CGen gen;
    Profile::LoadSettings(nextRun, gen);
    CRsTermDlg terminal(nextRun, rig);
    EXPECT_EQ(terminal.CommandEdit()->text(), "FPVN?") << "the next start shows the text typed last";
}

TEST(Terminal, ButtonsFollowTheRightEdgeAndTheListStretches)
{
    CompanionRig rig;
    CRsTermDlg terminal(rig.Settings(), rig);
    terminal.show();
    terminal.resize(600, 500);
    ASSERT_TRUE(WaitFor([&] { QApplication::processEvents(); return terminal.width() == 600; }));
    auto geometry = [&](const char* name) { return terminal.findChild<QWidget*>(name)->geometry(); };
    EXPECT_EQ(geometry("command"), QRect(10, 10, 510, 20));
    EXPECT_EQ(geometry("traffic"), QRect(10, 42, 510, 448));
    EXPECT_EQ(geometry("close"), QRect(530, 10, 60, 20));
    EXPECT_EQ(geometry("send"), QRect(530, 34, 60, 20));
    EXPECT_EQ(geometry("clear"), QRect(530, 58, 60, 20));
    EXPECT_EQ(geometry("save"), QRect(530, 82, 60, 20));
}

TEST(Terminal, ListsTheTrafficFromTheStartAndOpensFromFactoryA)
{
    MainWindowRig rig(ActiveFactory);
    rig.window->Initialise();
    CRsTermDlg* terminal = rig.window->Terminal();
    ASSERT_NE(terminal, nullptr);
    EXPECT_FALSE(terminal->isVisible()) << "made hidden";
    QListWidget* list = terminal->TrafficList();
    ASSERT_GT(list->count(), 2);
    EXPECT_EQ(list->item(list->count() - 1)->text(), "0000 Tx: EA?") << "the first probe is listed";
    EXPECT_TRUE(list->item(list->count() - 2)->text().startsWith("0000 Rx: EA=")) << "and its answer";

    rig.Click(CtrlId::Terminal);
    EXPECT_TRUE(terminal->isVisible());
}
