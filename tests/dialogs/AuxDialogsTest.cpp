// The terminal, the auto-control monitor, the AFE sender and the link label,
// each with real widgets and the engine on a virtual camera.
#include <gtest/gtest.h>

#include <QAbstractEventDispatcher>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "CompanionRig.h"
#include "UrlCatcher.h"
#include "profile/CGen.h"
#include "profile/Profile.h"
#include "dialogs/AutoMonitorDlg.h"
#include "dialogs/BlockingScope.h"
#include "dialogs/CAfeSenderDlg.h"
#include "dialogs/CAboutDlg.h"
#include "dialogs/CLabel.h"
#include "dialogs/CRsTermDlg.h"
#include "dialogs/StatusPictures.h"
#include "support/MainWindowRig.h"
#include "support/PaintProbe.h"
#include "support/TempFolder.h"
#include "support/WaitFor.h"
#include "support/Faults.h"

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
    QListWidget* list = terminal.findChild<QListWidget*>("traffic");
    ASSERT_EQ(list->count(), 1024) << "the 1025th line pushes the oldest out";
    EXPECT_EQ(list->item(0)->text(), "0000 Tx: line 1025") << "newest on top";
    EXPECT_EQ(list->item(1023)->text(), "0000 Tx: line 2");

    now += 7999;
    terminal.AddTraffic("Rx: COMPLETE");
    EXPECT_EQ(list->item(0)->text(), "0007 Rx: COMPLETE") << "whole seconds, across the clock's wrap";
    now += 10000u * 1000u;
    terminal.AddTraffic("Rx: GA=100");
    EXPECT_EQ(list->item(0)->text(), "10007 Rx: GA=100") << "past 9999 s the stamp has five digits";

    terminal.findChild<QPushButton*>("clear")->click();
    EXPECT_EQ(list->count(), 0);
}

// A reading blocks the event loop for seconds; the open terminal shows the
// lines as they go, each time a command waits for the camera, instead of all
// of them once the reading is over.
TEST(Terminal, ShowsTheTrafficWhileAnOperationBlocks)
{
    CompanionRig rig;
    CRsTermDlg terminal(rig.Settings(), rig, nullptr);
    terminal.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&terminal));
    QListWidget* list = terminal.findChild<QListWidget*>("traffic");
    {
        BlockingScope reading;
        PaintProbe painted(list->viewport(), [] { return true; });
        terminal.AddTraffic("Tx: GA?");
        // What the engine does as each command waits for its reply.
        EXPECT_TRUE(QTest::qWaitFor([&] {
            BlockingScope::ServeEvents();
            return painted.Seen();
        }));

        const QImage picture = list->viewport()->grab().toImage();
        int inked = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                inked += qGray(picture.pixel(x, y)) < 128;
        EXPECT_GT(inked, 20) << "the line is laid out and drawn, not an empty list";
        for (int n = 1; n <= 50; ++n)
            terminal.AddTraffic(QString("Rx: GA=%1").arg(n));
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->count() == 51; })) << "the lines of the operation's last moments follow";
    EXPECT_EQ(list->item(0)->text(), "0000 Rx: GA=50");
    EXPECT_EQ(list->item(50)->text(), "0000 Tx: GA?");
}

TEST(Terminal, SendsTheLineAsTypedRemembersItAndFollowsItsSize)
{
    TempProfileHome home;
    CompanionRig rig;
    {
        CRsTermDlg terminal(rig.Settings(), rig);
        terminal.show();
        QLineEdit* edit = terminal.CommandEdit();
        edit->setText("ga?");
        QTest::keyClick(edit, Qt::Key_Return);
        ASSERT_TRUE(WaitFor([&] { return rig.Cam().ReceivedLines().size() == 1; }));
        EXPECT_EQ(rig.Wire(), Lines{"ga?"}) << "Enter sends the line unchanged";
        EXPECT_EQ(rig.line.host.traffic.back(), "Tx: ga?");
        EXPECT_EQ(edit->text(), "ga?") << "the line stays for sending again";

        edit->clear();
        terminal.findChild<QPushButton*>("send")->click();
        ASSERT_TRUE(WaitFor([&] { return rig.line.host.traffic.back() == "Tx: "; })) << "an empty edit sends CR LF";

        // The buttons keep to the right edge; the edit and the list take the rest.
        const QRect list = terminal.findChild<QListWidget*>("traffic")->geometry();
        const QRect send = terminal.findChild<QPushButton*>("send")->geometry();
        terminal.resize(terminal.width() + 100, terminal.height() + 50);
        ASSERT_TRUE(WaitFor([&] { QApplication::processEvents(); return terminal.findChild<QListWidget*>("traffic")->width() == list.width() + 100; }));
        EXPECT_EQ(terminal.findChild<QListWidget*>("traffic")->height(), list.height() + 50);
        EXPECT_EQ(terminal.findChild<QPushButton*>("send")->geometry(), send.translated(100, 0));
        EXPECT_EQ(edit->width(), terminal.findChild<QListWidget*>("traffic")->width());

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

TEST(Terminal, ListsTheTrafficFromTheStartAndOpensFromFactoryA)
{
    MainWindowRig rig(ActiveFactory);
    rig.window->Initialise();
    CRsTermDlg* terminal = rig.Inside().Terminal();
    ASSERT_NE(terminal, nullptr);
    EXPECT_FALSE(terminal->isVisible()) << "made hidden";
    QListWidget* list = terminal->findChild<QListWidget*>("traffic");
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->count() > 2; }));
    EXPECT_EQ(list->item(list->count() - 1)->text(), "0000 Tx: EA?") << "the first probe is listed";
    EXPECT_TRUE(list->item(list->count() - 2)->text().startsWith("0000 Rx: EA=")) << "and its answer";

    rig.Click(CtrlId::Terminal);
    EXPECT_TRUE(terminal->isVisible());

    rig.Click(CtrlId::AfeSender);
    ASSERT_NE(rig.Inside().AfeSender(), nullptr);
    EXPECT_TRUE(rig.Inside().AfeSender()->isVisible());
    rig.window->OnAbout();
    ASSERT_NE(rig.Inside().About(), nullptr);

    // The link state reaches every companion window.
    auto shows = [](QWidget* window, bool online) {
        return window->findChild<QLabel*>("lineBar")->pixmap().toImage() == StatusPictures::LineBar(online).toImage();
    };
    for (int state : {0, 1}) {
        rig.Inside().Host().SetCommStatus(state);
        EXPECT_TRUE(shows(terminal, state == 1)) << "terminal, state " << state;
        EXPECT_TRUE(shows(rig.Inside().AfeSender(), state == 1)) << "AFE sender, state " << state;
        EXPECT_TRUE(shows(rig.Inside().About(), state == 1)) << "About, state " << state;
    }
    // And the modal identity dialogs while they run.
    for (void (CKavroDlg::*run)() : {&CKavroDlg::OnUserId, &CKavroDlg::OnCameraId}) {
        bool reached = false;
        QTimer whileItRuns;   // the dialog reads the camera before it runs
        QObject::connect(&whileItRuns, &QTimer::timeout, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            if (!dialog)
                return;
            rig.Inside().Host().SetCommStatus(0);
            reached = shows(dialog, false);
            dialog->close();
        });
        whileItRuns.start(0);
        rig.Inside().Host().SetCommStatus(1);
        (rig.window.get()->*run)();
        EXPECT_TRUE(reached);
    }
}

// ---- auto-control monitor --------------------------------------------------

TEST(AutoMonitor, ShutterValueComesFromTheRegisterTheModeNamesAndTheTimerNeverOutlivesTheDialog)
{
    CompanionRig rig;
    rig.Cam().SetRegister("PE", 120);
    rig.Cam().SetRegister("PEG", 340);
    rig.Cam().SetRegister("GA", 77);
    AutoMonitorDlg monitor(rig);
    auto field = [&](const char* name) { return monitor.findChild<QLabel*>(name)->text(); };

    const struct {
        int mode;
        const char* shown;
    } cases[] = {{2, "340"}, {3, "120"}, {1, "120"}, {0, "PRESET"}, {4, "Err"}};
    for (const auto& c : cases) {
        rig.Cam().SetRegister("SM", c.mode);
        monitor.Refresh(1);
        EXPECT_EQ(field("shutter"), c.shown) << "SM " << c.mode;
    }
    EXPECT_EQ(field("gain"), "77");

    rig.Cam().SetFaults(SilentTo({"GAR"}));
    monitor.SetReadTimeout(300);
    monitor.Refresh(1);
    EXPECT_EQ(field("gainR"), "Err") << "an unanswered read shows Err";
    EXPECT_EQ(field("gainB"), "0") << "and the next field is still read";

    rig.Wire();
    monitor.Refresh(0);
    EXPECT_TRUE(rig.Wire().empty()) << "with nothing under automatic control a tick sends nothing";

    monitor.shutterAuto = 1;
    monitor.whiteBalanceAuto = 1;
    monitor.show();
    EXPECT_EQ(field("shutterMode") + field("gainMode") + field("gainBMode"), "AUTOManualAUTO");
    auto timers = [&] { return QAbstractEventDispatcher::instance()->registeredTimers(&monitor).size(); };
    EXPECT_EQ(timers(), 1) << "opening starts the timer";

    monitor.findChild<QPushButton*>("start")->click();
    EXPECT_EQ(timers(), 1) << "Start while running starts no second timer";
    monitor.findChild<QPushButton*>("stop")->click();
    monitor.findChild<QPushButton*>("stop")->click();
    EXPECT_EQ(timers(), 0);

    monitor.findChild<QPushButton*>("start")->click();
    monitor.reject();
    EXPECT_EQ(timers(), 0) << "closing stops the timer";
}

// ---- AFE sender and link label ----------------------------------------------

TEST(AfeSender, SendsBothLinesWithNumbersInAnyBase)
{
    CompanionRig rig;
    CAfeSenderDlg sender(rig);
    sender.show();
    sender.findChild<QLineEdit*>("afe")->setText("AFE1");
    sender.findChild<QLineEdit*>("addr")->setText("0x10");
    QLineEdit* data = sender.findChild<QLineEdit*>("data");
    data->setText("255");
    QTest::keyClick(data, Qt::Key_Return);
    EXPECT_EQ(rig.Wire(), (Lines{"AFES=AFE1", "AFED=16,255"})) << "Enter presses Send";
    EXPECT_EQ(rig.Cam().AfeRegister("AFE1", 16), 255);
    EXPECT_TRUE(rig.line.host.boxes.empty());

    sender.findChild<QLineEdit*>("afe")->clear();
    sender.findChild<QLineEdit*>("addr")->setText("010");
    data->clear();
    sender.findChild<QPushButton*>("send")->click();
    EXPECT_EQ(rig.Wire(), (Lines{"AFES=", "AFED=8,0"})) << "the second line goes out though the first was refused";
    ASSERT_EQ(rig.line.host.boxes.size(), 1u) << "the engine reports the refusal";
    EXPECT_EQ(rig.Cam().AfeRegister("AFE1", 8), 0);
    EXPECT_EQ(CAfeSenderDlg::AutoBaseNumber("0x1FFFFFFFF"), 2147483647L) << "kept within 32 bits";

    // Answers to lines typed in the terminal are no answers to the sender's lines.
    rig.line.host.Clear();
    for (std::string typed : {"ga?\r\n", "XX=1\r\n"})
        rig.line.engine->SendText(typed, 1);
    ASSERT_TRUE(WaitFor([&] { return rig.line.port.Available() >= 28; })) << "GA=0 and the refusal are in";
    rig.line.engine->OnTimer();   // one of them gathered as the terminal's tick would
    sender.findChild<QLineEdit*>("afe")->setText("AFE1");
    data->setText("77");
    sender.findChild<QPushButton*>("send")->click();
    EXPECT_TRUE(rig.line.host.boxes.empty()) << "the camera acknowledged both lines";
    EXPECT_EQ(rig.Cam().AfeRegister("AFE1", 8), 77);
}

TEST(LinkLabel, LooksLikeALinkAndOpensItsText)
{
    UrlCatcher catcher("https");
    CLabel label("https://qel.example.com/");
    label.show();
    QTest::mouseClick(&label, Qt::LeftButton);
    EXPECT_TRUE(catcher.opened.isEmpty()) << "no link, no opening";

    label.SetLink(true).SetTextColor(QColor(0, 0, 255)).SetFontUnderline(true).SetLinkCursor(Qt::PointingHandCursor);
    QTest::mouseClick(&label, Qt::LeftButton);
    ASSERT_EQ(catcher.opened.size(), 1);
    EXPECT_EQ(catcher.opened[0], QUrl("https://qel.example.com/"));
}
