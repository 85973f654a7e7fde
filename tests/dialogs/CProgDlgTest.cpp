#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "dialogs/CProgDlg.h"
#include "support/PaintProbe.h"

namespace {

struct Owner {
    Owner()
    {
        window.setGeometry(100, 100, 600, 400);
        button = new QPushButton("child", &window);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    QWidget window;
    QPushButton* button;
};

}  // namespace

TEST(CProgDlg, ShowsOverItsDisabledOwnerAndEnablesItAgain)
{
    Owner owner;
    CProgDlg progress;
    ASSERT_TRUE(progress.Create(owner.button)) << "created over a child of the main window";
    QWidget* window = progress.Window();
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(owner.window.isEnabled()) << "the owner's top-level window is disabled";
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->isEnabled()) << "the progress window itself is not greyed out with its owner";
    EXPECT_TRUE(window->windowFlags() & Qt::FramelessWindowHint) << "no caption, no close box";
    EXPECT_LE((window->geometry().center() - owner.window.frameGeometry().center()).manhattanLength(), 2)
        << "centred over the owner";

    auto bar = window->findChild<QProgressBar*>();
    auto label = window->findChild<QLabel*>();
    ASSERT_TRUE(bar && label);
    PaintProbe barPainted(bar, [] { return true; });
    PaintProbe labelPainted(label, [] { return true; });
    bool timerRan = false;
    QTimer::singleShot(0, [&] { timerRan = true; });

    progress.SetMessage("Now, reading camera settings.");
    progress.SetPos(40);
    progress.SetPos(100);
    EXPECT_FALSE(timerRan) << "the window never lets other events run while the caller blocks";
    EXPECT_TRUE(barPainted.Seen()) << "the bar is painted at once";
    EXPECT_TRUE(labelPainted.Seen()) << "the message is painted at once";
    EXPECT_EQ(label->text(), "Now, reading camera settings.");
    EXPECT_EQ(bar->value(), 100) << "SetPos(100) fills the bar";

    progress.Destroy();
    EXPECT_TRUE(owner.window.isEnabled());
    EXPECT_FALSE(progress.IsCreated());
    EXPECT_TRUE(QTest::qWaitFor([&] { return timerRan; })) << "the timer posted before was real";
}

TEST(CProgDlg, OneWindowAtATimeAndTheOwnerAlwaysComesBack)
{
    Owner owner;
    owner.window.setEnabled(false);
    {
        CProgDlg progress;
        progress.Create(&owner.window);
        progress.Destroy();
        EXPECT_TRUE(owner.window.isEnabled()) << "an owner disabled before is enabled afterwards too";

        progress.Create(&owner.window);
        progress.SetMessage("first");
        QPointer<QWidget> first = progress.Window();
        progress.Create(&owner.window);
        EXPECT_TRUE(first.isNull()) << "a second Create replaces the first window";
        EXPECT_FALSE(owner.window.isEnabled());
        EXPECT_EQ(progress.Message(), "") << "a new operation starts without the old message";
    }
    EXPECT_TRUE(owner.window.isEnabled()) << "the destructor closes the window and enables the owner";

    CProgDlg withoutOwner;
    EXPECT_TRUE(withoutOwner.Create(nullptr));
    withoutOwner.SetPos(10);
    EXPECT_EQ(withoutOwner.Pos(), 10);
    withoutOwner.Destroy();
}
