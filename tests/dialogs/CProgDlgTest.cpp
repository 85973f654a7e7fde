#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QApplication>
#include <QTimer>

#include <QMessageBox>

#include "comm/StopRequest.h"
#include "dialogs/BlockingScope.h"
#include "dialogs/CProgDlg.h"
#include "dialogs/QtUiPrompts.h"
#include "support/PaintProbe.h"

TEST(CProgDlg, ShowsOverItsDisabledOwnerOneAtATimeAndTheOwnerAlwaysComesBack)
{
    QWidget owner;
    owner.setGeometry(100, 100, 600, 400);
    auto* child = new QPushButton("child", &owner);
    owner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
    {
        CProgDlg progress;
        ASSERT_TRUE(progress.Create(child)) << "created over a child of the main window";
        QWidget* window = progress.Window();
        ASSERT_NE(window, nullptr);
        EXPECT_FALSE(owner.isEnabled()) << "the owner's top-level window is disabled";
        EXPECT_TRUE(window->isVisible());
        EXPECT_TRUE(window->isEnabled()) << "the progress window itself is not greyed out with its owner";
        EXPECT_TRUE(window->windowFlags() & Qt::FramelessWindowHint) << "no caption, no close box";
        EXPECT_LE((window->geometry().center() - owner.frameGeometry().center()).manhattanLength(), 2)
            << "centred over the owner";

        PaintProbe barPainted(window->findChild<QProgressBar*>(), [] { return true; });
        PaintProbe labelPainted(window->findChild<QLabel*>(), [] { return true; });
        bool timerRan = false;
        QTimer::singleShot(0, [&] { timerRan = true; });
        progress.SetMessage("Now, reading camera settings.");
        progress.SetPos(40);
        EXPECT_FALSE(timerRan) << "the window never lets other events run while the caller blocks";
        EXPECT_TRUE(barPainted.Seen()) << "the bar is painted at once";
        EXPECT_TRUE(labelPainted.Seen()) << "the message is painted at once";

        // A fast reading moves the bar far more often than the eye can follow.
        QElapsedTimer sinceFirst;
        sinceFirst.start();
        int paints = 0;
        PaintProbe counted(window, [&] { return ++paints > 0; });
        for (int position = 41; position < 60; ++position)
            progress.SetPos(position);
        EXPECT_EQ(paints, 0) << "no repaint within 50 ms of the last";
        ASSERT_TRUE(QTest::qWaitFor([&] { return sinceFirst.elapsed() >= CProgDlg::kRepaintStepMs; }));
        paints = 0;
        progress.SetPos(60);
        EXPECT_EQ(paints, 0) << "between two commands the bar is not painted";
        progress.PaintWhenDue();
        EXPECT_GT(paints, 0) << "the next wait for the camera paints it, 50 ms after the last paint";
        progress.SetPos(61);
        ASSERT_TRUE(QTest::qWaitFor([&] { return sinceFirst.elapsed() >= 4 * CProgDlg::kRepaintStepMs; }));
        paints = 0;
        progress.SetPos(62);
        EXPECT_GT(paints, 0) << "a bar that no wait has painted for 100 ms is painted all the same";
        paints = 0;
        progress.SetPos(100);
        EXPECT_GT(paints, 0) << "the full bar is always shown";

        progress.Destroy();
        EXPECT_TRUE(owner.isEnabled());
        EXPECT_FALSE(progress.IsCreated());
        EXPECT_TRUE(QTest::qWaitFor([&] { return timerRan; })) << "the timer posted before was real";

        owner.setEnabled(false);
        progress.Create(&owner);
        progress.Destroy();
        EXPECT_TRUE(owner.isEnabled()) << "an owner disabled before is enabled afterwards too";

        progress.Create(&owner);
        progress.SetMessage("first");
        QPointer<QWidget> first = progress.Window();
        progress.Create(&owner);
        EXPECT_TRUE(first.isNull()) << "a second Create replaces the first window";
        EXPECT_FALSE(owner.isEnabled());
        EXPECT_EQ(progress.Message(), "") << "a new operation starts without the old message";
    }
    EXPECT_TRUE(owner.isEnabled()) << "the destructor closes the window and enables the owner";

    CProgDlg withoutOwner;
    EXPECT_TRUE(withoutOwner.Create(nullptr));
    withoutOwner.SetPos(10);
    withoutOwner.Destroy();
}

// Its Cancel asks the operation in progress to end and lasts until it ends;
// outside an operation there is nothing to cancel.
TEST(CProgDlg, ItsCancelEndsTheOperationOnly)
{
    QWidget owner;
    owner.show();
    CProgDlg progress;
    {
        BlockingScope operation;
        progress.Create(&owner);
        ASSERT_NE(progress.CancelButton(), nullptr);
        EXPECT_EQ(progress.CancelButton()->text(), "Cancel");
        QWidget* window = progress.CancelButton()->window();
        QCoreApplication::postEvent(window, new QCloseEvent);
        BlockingScope::ServeEvents();
        EXPECT_TRUE(progress.Cancelled()) << "its close box is its Cancel";
        EXPECT_TRUE(window->isVisible()) << "and the window stays until the operation ends";
        QTest::mouseClick(progress.CancelButton(), Qt::LeftButton);
        EXPECT_TRUE(progress.Cancelled());
        progress.Destroy();
        EXPECT_TRUE(StopRequest::CancelRaised()) << "until the operation ends";
    }
    EXPECT_FALSE(StopRequest::CancelRaised());
    progress.Create(&owner);
    QTest::mouseClick(progress.CancelButton(), Qt::LeftButton);
    EXPECT_FALSE(StopRequest::CancelRaised());
    progress.Destroy();
}

// A window manager cuts a caption wider than its box: a short message with a
// long caption gets a box wide enough.
TEST(QtUiPrompts, ABoxIsWideEnoughForItsCaption)
{
    const QString caption = "A caption much longer than the message it stands over";
    int boxWidth = 0;
    int captionWidth = 0;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        boxWidth = box->width();
        captionWidth = box->fontMetrics().horizontalAdvance(caption);
        box->accept();
    });
    QtUiPrompts().Message(nullptr, "Done.", caption, UiPrompts::Icon::Information);
    EXPECT_GT(boxWidth, captionWidth + 60);
}
