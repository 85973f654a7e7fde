// The main window as a whole: timers, level switch, closing, layout, finding a setting.
#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QCloseEvent>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <QElapsedTimer>
#include <QTimer>
#include <QWindow>

#include <thread>

#include "dialogs/BlockingScope.h"
#include "dialogs/CCommSelDlg.h"
#include "dialogs/QtUiPrompts.h"
#include "mainwin/CFindDlg.h"
#include "mainwin/CtrlHighlight.h"
#include "params/SettingIndex.h"
#include "support/FileQueries.h"
#include "support/MainWindowRig.h"
#include "support/PaintProbe.h"
#include "support/PtyPair.h"
#include "support/WaitFor.h"
#include "support/Faults.h"

using Lines = std::vector<std::string>;

namespace {

void TypeLevelSequence(QWidget* window, const char* letters = "KVR")
{
    QTest::keyClick(window, Qt::Key_F10, Qt::ControlModifier | Qt::ShiftModifier);
    for (const char* c = letters; *c; ++c)
        QTest::keyClick(window, static_cast<Qt::Key>(Qt::Key_A + (*c - 'A')));
}

// What the window system hands over when the operator clicks or types; safe
// to call from any thread.
void PostClick(QWindow* window, QPoint at)
{
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QCoreApplication::postEvent(window, new QMouseEvent(type, at, window->mapToGlobal(at), Qt::LeftButton,
                                                            type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                                                            Qt::NoModifier));
    }
}

void PostKey(QWindow* window, Qt::Key key, const QString& text)
{
    QCoreApplication::postEvent(window, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, text));
    QCoreApplication::postEvent(window, new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier, text));
}

// The operator's hand on a real exit question: asks to close once more while
// it stands, then answers with a click on "No" or with Alt+Y. A box that takes
// no input is closed after three seconds, so that the test ends.
struct QuestionHand {
    enum Answer { ClickNo, AltY };
    explicit QuestionHand(QWidget* window) : window(window)
    {
        QObject::connect(&timer, &QTimer::timeout, [this] { Tick(); });
        timer.start(20);
    }
    void Tick()
    {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            opened.invalidate();
            return;
        }
        if (!opened.isValid()) {
            opened.start();
            QCoreApplication::postEvent(window, new QCloseEvent);
        } else if (opened.elapsed() > 3000) {
            ++ignored;
            box->done(QMessageBox::No);
        } else if (answer == ClickNo) {
            QTest::mouseClick(box->button(QMessageBox::No), Qt::LeftButton);
        } else {
            QTest::keyClick(box, Qt::Key_Y, Qt::AltModifier);
        }
    }
    QWidget* window;
    Answer answer = ClickNo;
    int ignored = 0;   // boxes that took no input
    QElapsedTimer opened;
    QTimer timer;
};

// The first label of a shown page that is cut or lies under an edit; empty when none.
std::string SqueezedLabel(QTabWidget& tabs)
{
    for (int tab = 0; tab < tabs.count(); ++tab) {
        tabs.setCurrentIndex(tab);
        QWidget* page = tabs.currentWidget();
        if (page->layout())
            page->layout()->activate();
        for (const QLabel* label : page->findChildren<QLabel*>()) {
            if (!label->isVisibleTo(page))
                continue;
            const std::string where = tabs.tabText(tab).toStdString() + ": \"" + label->text().toStdString() + "\"";
            if (label->width() < label->sizeHint().width())
                return where + " is cut";
            const QRect at(label->mapTo(page, QPoint(0, 0)), label->size());
            for (const KavroSpinBox* spin : page->findChildren<KavroSpinBox*>())
                if (at.intersects(QRect(spin->mapTo(page, QPoint(0, 0)), spin->size())))
                    return where + " lies under an edit";
        }
    }
    return {};
}

}  // namespace

// The idle timer asks the session to check the line and every window shows
// what it found; with simulation on, a timer answers the line as a camera would.
TEST(MainWindow, TheTimersCheckTheLineAndRunTheSimulator)
{
    {
        MainWindowRig rig;
        rig.Inside().SetIdleCheckPeriod(150);
        rig.window->Initialise();
        rig.Wire();
        rig.camera.SetFaults(SwallowingReplies(1000));
        rig.Inside().SetCommandTimeout(100);
        ASSERT_TRUE(QTest::qWaitFor([&] { return rig.settings.lineOnline == 0; })) << "silence turns the link offline";
        EXPECT_EQ(rig.Wire().front(), "MD?");
        EXPECT_EQ(rig.Inside().CommSel().LineStatusText(), "Offline") << "every window shows it";
    }
    PtyPair line;   // the test plays the other end of COM1
    MainWindowRig rig;
    rig.port.SetDeviceResolver([&](int) { return line.SlavePath(); });
    rig.settings.simulation = 1;
    rig.Inside().SetCommandTimeout(100);
    rig.window->Initialise();   // the probe goes unanswered: an offline start
    ASSERT_EQ(line.ReceiveUntil("EA?\r\n", std::chrono::seconds(3)), "EA?\r\n");
    line.Send("VN?\r\n");
    EXPECT_NE(line.ReceiveUntil("321\r\n", std::chrono::seconds(3), [] { QTest::qWait(5); }).find("321\r\n"),
              std::string::npos);
}

// What a reading shows in the window; what it asks and keeps is the session's.
// Esc during a reload is the progress window's Cancel, not the exit question.
TEST(MainWindow, TheBarFollowsAReadingAndEscCancelsIt)
{
    MainWindowRig rig;
    rig.window->show();
    rig.window->Initialise();
    rig.camera.SetFaults(SilentTo({"KSR"}));
    int barShown = -1;
    QTimer hand;
    QObject::connect(&hand, &QTimer::timeout, [&] {
        const std::vector<std::string> lines = rig.camera.ReceivedLines();
        if (lines.empty() || lines.back() != "KSR?" || !rig.Inside().Progress().IsCreated())
            return;
        barShown = rig.Inside().Progress().Window()->findChild<QProgressBar*>()->value();
        QTest::keyClick(rig.window.get(), Qt::Key_Escape);
    });
    hand.start(10);
    QElapsedTimer took;
    took.start();
    rig.window->OnReload();
    hand.stop();
    EXPECT_LT(took.elapsed(), 2000) << "the wait in flight ended at once (limit 3000 ms)";
    EXPECT_GT(barShown, 0) << "the bar follows the reading";
    ASSERT_EQ(rig.prompts.prompts.size(), 1u) << "no exit question: Esc is the Cancel";
    EXPECT_EQ(rig.prompts.LastText(), "Reading cancelled: 29 of 64 settings read.");
    EXPECT_TRUE(rig.window->isEnabled());
}

// The companion windows reach the camera only through an engine that exists:
// before start-up and after the window's end they send nothing and do not fail.
TEST(MainWindow, CompanionsWithoutAnEngineSendNothing)
{
    MainWindowRig rig;
    const auto tryCompanions = [&] {
        EXPECT_EQ(rig.Inside().Owner().Camera(), nullptr);
        for (const char* name : {"getArea", "auto"})   // made at start-up
            if (auto* button = rig.Inside().CommSel().findChild<QPushButton*>(name))
                button->click();
        rig.window->OnLoadGammaFromCamera();
        rig.Inside().LutEditors().ReadLutsFromCamera();
        rig.Click(CtrlId::Temperature);
        rig.window->OnReload();
    };
    tryCompanions();
    rig.window->Initialise();
    rig.window->DestroyWindow();
    rig.Wire();
    tryCompanions();
    EXPECT_TRUE(rig.Wire().empty());
}

// The level switch reads every factory row and blocks the window for seconds.
// Meanwhile the window shows the truth (itself and the communication window
// greyed out); a click and keys made meanwhile are dropped when it ends, never
// replayed on whatever is then under the pointer.
TEST(MainWindow, TheLevelSwitchReadsTheFactoryRowsDroppingInputMadeMeanwhile)
{
    MainWindowRig rig;
    rig.window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(rig.window.get()));
    rig.window->Initialise();
    ASSERT_FALSE(rig.Inside().UtilityMenu()->isEnabled()) << "Utility is greyed at user level";
    rig.Inside().Tabs().setCurrentIndex(1);
    rig.Wire();
    QWidget* vpp = rig.Registry().Find(rig.Id("VPP"));
    EXPECT_FALSE(vpp->isVisibleTo(vpp->parentWidget())) << "the video path is a factory setting";
    TypeLevelSequence(rig.window.get(), "KXR");
    EXPECT_EQ(rig.Inside().Tabs().count(), 2) << "a wrong letter cancels the sequence";

    QWidget* commSel = &rig.Inside().CommSel();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(commSel));
    const int userWidth = rig.window->width();
    QWidget* firstPage = rig.Inside().Tabs().widget(0);
    const auto greyedForTheReading = [&] { return rig.Inside().Progress().IsCreated() && !rig.window->isEnabled(); };
    PaintProbe pageGreyed(firstPage, [&] { return greyedForTheReading() && !firstPage->isEnabled(); });
    PaintProbe commGreyed(commSel, [&] { return greyedForTheReading() && !commSel->isEnabled(); });

    // The operator clicks "Programmable exposure" and types while the reading runs.
    QWindow* handle = rig.window->windowHandle();
    QAbstractButton* radio = rig.Button(CtrlId::SmProgrammableCommon);
    const QPoint radioAt = radio->mapTo(rig.window.get(), QPoint(8, radio->height() / 2));
    camsim::Faults slow;
    slow.replyDelayMs = 2;
    rig.camera.SetFaults(slow);
    std::thread operatorHand([&] {
        if (!WaitFor([&] { return rig.camera.ReceivedLines().size() > 20; }, 30000))
            return;
        PostClick(handle, radioAt);
        PostKey(handle, Qt::Key_9, "9");
        PostKey(handle, Qt::Key_Return, "\r");
    });
    TypeLevelSequence(rig.window.get());
    operatorHand.join();
    rig.camera.SetFaults({});
    ASSERT_EQ(rig.Inside().Tabs().count(), 8);
    const Lines wire = rig.Wire();
    ASSERT_GE(wire.size(), 2u);
    EXPECT_EQ(wire.front(), "EA?");
    EXPECT_EQ(Lines(wire.begin() + 1, wire.end() - 1), FileQueries(true)) << "every factory row, in the settings-file order";
    EXPECT_EQ(wire.back().rfind("TPN=", 0), 0u) << "then the test pattern";
    EXPECT_EQ(rig.settings.activeMode, ActiveFactory);
    EXPECT_EQ(rig.Inside().Tabs().currentIndex(), 0);
    EXPECT_TRUE(rig.Inside().UtilityMenu()->isEnabled());
    EXPECT_TRUE(vpp->isVisibleTo(vpp->parentWidget()));

    QCoreApplication::sendPostedEvents();   // whatever the event loop still held
    QCoreApplication::processEvents();
    EXPECT_TRUE(rig.Wire().empty()) << "nothing the operator did during the reading reaches the camera";
    EXPECT_FALSE(radio->isChecked());
    EXPECT_EQ(rig.Inside().Cur(rig.Cmd("SM")), 0);
    EXPECT_TRUE(pageGreyed.Seen()) << "the main window looks disabled while the progress window is up";
    EXPECT_TRUE(commGreyed.Seen()) << "so does the communication window";
    EXPECT_TRUE(rig.window->isEnabled());
    EXPECT_TRUE(commSel->isEnabled());

    EXPECT_GE(rig.window->width(), userWidth);
    EXPECT_EQ(SqueezedLabel(rig.Inside().Tabs()), "") << "the window grew for the factory pages";
    rig.Inside().Tabs().setCurrentIndex(0);
    EXPECT_FALSE(rig.window->frameGeometry().intersects(commSel->frameGeometry()));
    rig.window->resize(rig.window->width() + 120, rig.window->height());
    EXPECT_FALSE(rig.window->frameGeometry().intersects(commSel->frameGeometry()))
        << "the communication window moves along instead of being covered";
    const QRect screen = rig.window->screen()->availableGeometry();
    rig.window->move(screen.right() - rig.window->frameGeometry().width() - 200, rig.window->y());
    rig.window->resize(rig.window->width() - 120, rig.window->height());
    EXPECT_FALSE(rig.window->frameGeometry().intersects(commSel->frameGeometry()))
        << "a main window with too little room on its right moves left to make it";
    EXPECT_TRUE(screen.contains(commSel->frameGeometry()));

    // Maximised and restored, the window has its normal size again; moved, the
    // communication window goes along.
    const QRect normal = rig.window->geometry();
    rig.window->showMaximized();
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.window->size() != normal.size(); }));
    rig.window->showNormal();
    EXPECT_TRUE(QTest::qWaitFor([&] { return rig.window->geometry() == normal; }))
        << "normal " << normal.width() << "x" << normal.height() << ", now " << rig.window->width() << "x"
        << rig.window->height();
    rig.window->move(rig.window->pos() + QPoint(-40, 30));
    EXPECT_EQ(commSel->frameGeometry().top(), rig.window->frameGeometry().top());
    EXPECT_FALSE(rig.window->frameGeometry().intersects(commSel->frameGeometry()));

    rig.Inside().Tabs().setCurrentIndex(3);   // Factory B
    TypeLevelSequence(rig.window.get());
    EXPECT_EQ(rig.prompts.LastText(), "This operation is performed only in 'User Parameter' Page!");
    EXPECT_EQ(rig.prompts.prompts.back().icon, UiPrompts::Icon::Information);
    EXPECT_EQ(rig.Inside().Tabs().count(), 8) << "the level stays";
    EXPECT_TRUE(rig.Wire().empty());

    rig.Type(rig.Id("GA"), "77");
    EXPECT_EQ(rig.Wire(), Lines{"GA=77"});
    EXPECT_TRUE(rig.window->isVisible()) << "Enter never closes the window";
    rig.prompts.Clear();
    rig.prompts.yesNoAnswers = {false};
    QTest::keyClick(rig.window.get(), Qt::Key_Escape);
    ASSERT_EQ(rig.prompts.prompts.size(), 1u);
    EXPECT_EQ(rig.prompts.prompts[0].text, "Are you sure to terminate the Camera Kavro ?");
    EXPECT_EQ(rig.prompts.prompts[0].caption, "Exit Camera Kavro");
    EXPECT_TRUE(rig.window->isVisible()) << "No keeps the window";
    rig.prompts.yesNoAnswers = {true};
    rig.window->OnExit();
    EXPECT_FALSE(rig.window->isVisible()) << "Yes closes it";
}

// The window manager's close request while the camera is read is answered
// when the reading ends, by a question that takes the mouse and the keyboard;
// another request while it stands asks nothing more; after No the tool still
// reads the whole camera.
TEST(MainWindow, ACloseRequestDuringAReadingIsAskedWhenItEnds)
{
    MainWindowRig rig;
    rig.window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(rig.window.get()));
    rig.window->Initialise();
    QtUiPrompts boxes;
    rig.prompts.onAsk = [&](QWidget* owner, const ScriptedUiPrompts::Prompt& question) {
        EXPECT_FALSE(Operation::IsRunning()) << "asked outside the reading";
        return boxes.AskYesNo(owner, question.text, question.caption);
    };
    bool closed = false;
    QObject::connect(rig.window.get(), &CKavroDlg::Closed, [&] { closed = true; });
    QuestionHand hand(rig.window.get());
    const auto reloadWithACloseRequest = [&] {
        rig.Wire();
        QWidget* window = rig.window.get();
        std::thread windowManager([&] {
            if (WaitFor([&] { return rig.camera.ReceivedLines().size() > 10; }, 10000))
                QCoreApplication::postEvent(window, new QCloseEvent);
        });
        rig.window->OnReload();
        windowManager.join();
    };

    reloadWithACloseRequest();
    EXPECT_EQ(rig.prompts.prompts.size(), 1u) << "one question, after the reading";
    EXPECT_EQ(rig.prompts.LastText(), "Are you sure to terminate the Camera Kavro ?");
    EXPECT_EQ(hand.ignored, 0) << "the question took the click on No";
    EXPECT_FALSE(closed);
    EXPECT_TRUE(rig.window->isVisible());
    EXPECT_EQ(rig.Wire().size(), FileQueries(false).size() + 2) << "the whole reading ran";

    hand.answer = QuestionHand::AltY;
    rig.prompts.Clear();
    reloadWithACloseRequest();
    EXPECT_EQ(rig.prompts.prompts.size(), 1u);
    EXPECT_EQ(hand.ignored, 0) << "the question took Alt+Y";
    EXPECT_TRUE(closed);
    EXPECT_EQ(rig.Wire().size(), FileQueries(false).size() + 2) << "the reading ended first";
}

// At start-up the line cannot be opened: the box stands over a finished
// window. Picking the camera's port then reads the camera; the communication
// window says "Online" (painted, not only set) while it does.
TEST(MainWindow, AFailedStartShowsAFinishedWindowAndAPickedPortGoesOnline)
{
    MainWindowRig rig;
    rig.settings.commPort = 1;   // COM2: no such device
    bool checked = false;
    rig.prompts.onMessage = [&](const ScriptedUiPrompts::Prompt& prompt) {
        if (!prompt.text.startsWith("Failed to initialize!"))
            return;
        checked = true;
        EXPECT_EQ(rig.window->windowTitle(), "Camera Kavro  Ver 1.26");
        EXPECT_EQ(rig.Spin(rig.Id("PE"))->Text(), "1056") << "the edits show their table defaults";
        EXPECT_FALSE(rig.Enabled(rig.Id("PE"))) << "greyed out by the exposure mode Preset";
        EXPECT_FALSE(rig.window->findChild<QLabel*>("statusStrip")->pixmap().isNull()) << "the status strip is there";
    };
    rig.window->show();
    rig.window->Initialise();
    EXPECT_TRUE(checked);
    EXPECT_EQ(rig.prompts.prompts.size(), 1u);
    EXPECT_EQ(rig.settings.lineOnline, 0u) << "an offline start";

    CCommSelDlg& commSel = rig.Inside().CommSel();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&commSel));
    ASSERT_EQ(commSel.LineStatusText(), "Offline");

    auto* status = commSel.findChild<QLabel*>("lineStatus");
    PaintProbe online(status, [&] { return status->text() == "Online" && rig.Inside().Progress().IsCreated(); });
    auto* ports = commSel.findChild<QComboBox*>("portName");
    ports->setCurrentIndex(0);
    emit ports->activated(0);
    EXPECT_EQ(commSel.LineStatusText(), "Online");
    EXPECT_TRUE(online.Seen()) << "the window said Offline while the camera was read";
}

// The window never squeezes its pages: labels stay whole and apart from their
// edits. Room beyond that is shared by the groups, and every page reaches the
// edges of the tab.
TEST(MainWindow, TheWindowKeepsRoomForItsPagesAndSharesTheRest)
{
    MainWindowRig rig(ActiveFactory);
    rig.window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(rig.window.get()));
    rig.window->windowHandle()->resize(760, 520);   // as a desktop without a window manager allows
    QCoreApplication::processEvents();   // the window system's answer
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.window->size() == rig.window->windowHandle()->size(); }));
    QTabWidget& tabs = rig.Inside().Tabs();
    EXPECT_EQ(SqueezedLabel(tabs), "");
    for (int tab = 0; tab < tabs.count(); ++tab) {
        tabs.setCurrentIndex(tab);
        QWidget* page = tabs.currentWidget();
        int right = 0;
        for (const QWidget* child : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (child->isVisibleTo(page))
                right = std::max(right, child->geometry().right());
        EXPECT_GE(right, page->width() - 16) << tabs.tabText(tab).toStdString() << " ends short of the page edge";
    }

    QWidget* vpp = rig.Registry().Find(rig.Id("VPP"));
    bool labelled = false;
    for (const QLabel* label : vpp->parentWidget()->findChildren<QLabel*>())
        labelled = labelled || (label->isVisibleTo(vpp->parentWidget()) && !label->text().isEmpty() &&
                                std::abs(label->geometry().center().y() - vpp->geometry().center().y()) < 4);
    EXPECT_TRUE(labelled) << "the video path list has a label";

    tabs.setCurrentIndex(0);
    const QList<QGroupBox*> groups = tabs.currentWidget()->findChildren<QGroupBox*>();
    std::vector<int> narrow;
    for (const QGroupBox* group : groups)
        narrow.push_back(group->width());
    rig.window->resize(rig.window->width() + 300, rig.window->height() + 200);
    const auto allWider = [&] {
        for (int i = 0; i < groups.size(); ++i)
            if (groups[i]->width() <= narrow[i])
                return false;
        return true;
    };
    EXPECT_TRUE(QTest::qWaitFor(allWider)) << "every group takes a share of the room";
}

TEST(MainWindow, FindSettingListsTheShownControlsAndRevealsTheChosenOne)
{
    MainWindowRig rig;
    rig.window->Initialise();
    rig.window->show();
    rig.Inside().Tabs().setCurrentIndex(rig.Inside().Tabs().count() - 1);
    QAction* findItem = nullptr;
    for (QAction* item : rig.window->findChildren<QAction*>())
        findItem = item->text() == "Find Setting..." ? item : findItem;
    ASSERT_NE(findItem, nullptr);
    EXPECT_EQ(findItem->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F));
    findItem->trigger();
    CFindDlg* find = rig.Inside().FindDlg();
    ASSERT_NE(find, nullptr);
    ASSERT_TRUE(std::any_of(SettingIndex::Places().begin(), SettingIndex::Places().end(),
                            [](const SettingPlace& p) { return p.factoryOnly && SettingIndex::Matches(p, "gain"); }))
        << "the page contents hold factory-only gain controls";
    QTest::keyClicks(&find->Text(), "gAIn");
    ASSERT_GE(find->List().count(), 3);
    for (int i = 0; i < find->List().count(); ++i) {
        const SettingPlace* place = SettingIndex::Find(find->List().item(i)->data(CFindDlg::kCtrlIdRole).toInt());
        ASSERT_NE(place, nullptr);
        EXPECT_FALSE(place->factoryOnly) << place->mnemonic << " is factory-only";
        EXPECT_TRUE(SettingIndex::Matches(*place, "gain")) << place->mnemonic;
    }

    find->Text().clear();
    QTest::keyClicks(&find->Text(), "KSR");
    ASSERT_EQ(find->List().count(), 1);
    EXPECT_TRUE(find->List().item(0)->text().endsWith(QString::fromUtf8("\u203a Knee \u203a KneeSlope R  [KSR]")))
        << find->List().item(0)->text().toStdString();
    QTest::keyClick(&find->Text(), Qt::Key_Return);
    QWidget* control = rig.Registry().Find(rig.Id("KSR"));
    EXPECT_TRUE(rig.Inside().Tabs().currentWidget()->isAncestorOf(control)) << "its page is in front";
    EXPECT_TRUE(QTest::qWaitFor([&] { return control == QApplication::focusWidget() || control->isAncestorOf(QApplication::focusWidget()); }))
        << "the control has the focus";
    EXPECT_NE(control->parentWidget()->findChild<CtrlHighlight*>(), nullptr) << "and is marked";
    EXPECT_TRUE(QTest::qWaitFor([&] { return control->parentWidget()->findChild<CtrlHighlight*>() == nullptr; }, 5000))
        << "the mark fades by itself";
    const auto coveredBy = [](const QWidget* window, const QWidget* revealed) {
        return window->frameGeometry().intersects(QRect(revealed->mapToGlobal(QPoint()), revealed->size()));
    };
    EXPECT_FALSE(coveredBy(find, control)) << "the find window never stands over the control it shows";
    EXPECT_TRUE(find->Note().text().isEmpty());

    find->Text().clear();
    QTest::keyClicks(&find->Text(), "PE");   // greyed out by the exposure mode "Preset"
    find->List().setCurrentRow(0);
    QTest::keyClick(&find->Text(), Qt::Key_Return);
    EXPECT_EQ(find->Note().text(), QString::fromUtf8("Greyed out by User Parameter \u203a Shutter \u203a Preset  [SM]."));
    EXPECT_FALSE(coveredBy(find, rig.Registry().Find(rig.Id("PE"))));

    QTest::keyClicks(&find->Text(), "zzz");
    EXPECT_EQ(find->List().count(), 0);
    EXPECT_EQ(find->Note().text(), "No setting matches");

    rig.prompts.Clear();
    QTest::keyClick(rig.window.get(), Qt::Key_Escape);
    EXPECT_FALSE(find->isVisible()) << "Esc closes the find window first";
    EXPECT_TRUE(rig.prompts.prompts.empty()) << "and does not ask to end the tool";
}
