// Reading every setting from the virtual camera into the pages.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QProgressBar>
#include <QTimer>

#include "dialogs/CProgDlg.h"
#include "support/MainWindowRig.h"
#include "support/Faults.h"

namespace {

// Records the values a progress bar shows each time it is painted.
class BarWatcher : public QObject {
public:
    BarWatcher() { qApp->installEventFilter(this); }
    ~BarWatcher() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            if (auto* bar = qobject_cast<QProgressBar*>(watched))
                shown.push_back(bar->value());
        return false;
    }
    std::vector<int> shown;
};

}  // namespace

// What a reading shows in the window; what it asks and keeps is the session's.
TEST(Reading, TheStartUpFillsThePagesAndEscCancelsAReload)
{
    MainWindowRig rig;
    rig.camera.SetRegister("GA", 120);
    rig.camera.SetRegister("STL", 100);
    rig.window->show();
    BarWatcher watcher;
    rig.window->Initialise();
    EXPECT_EQ(rig.Spin(rig.Id("GA"))->Text(), "120");
    EXPECT_EQ(rig.Registry().SpinRange(rig.Id("ETL")).first, 101) << "the start line bounds the end line";
    ASSERT_FALSE(watcher.shown.empty());
    EXPECT_EQ(watcher.shown.back(), 100) << "the bar reaches the end";
    EXPECT_TRUE(rig.window->isEnabled()) << "the main window is enabled again";
    EXPECT_TRUE(rig.prompts.prompts.empty());
    EXPECT_EQ(rig.settings.lineOnline, 1u);

    // The operator presses Esc while "KSR" goes unanswered: the wait ends at once.
    rig.camera.SetFaults(SilentTo({"KSR"}));
    QTimer hand;
    QObject::connect(&hand, &QTimer::timeout, [&] {
        const std::vector<std::string> lines = rig.camera.ReceivedLines();
        if (!lines.empty() && lines.back() == "KSR?" && rig.Inside().Progress().IsCreated())
            QTest::keyClick(rig.window.get(), Qt::Key_Escape);
    });
    hand.start(10);
    rig.Wire();
    QElapsedTimer took;
    took.start();
    rig.window->OnReload();
    hand.stop();
    EXPECT_LT(took.elapsed(), 2000) << "the wait in flight ended at once (limit 3000 ms)";
    EXPECT_EQ(rig.Wire().back(), "KSR?") << "nothing is asked after the Cancel";
    ASSERT_EQ(rig.prompts.prompts.size(), 1u) << "no exit question: Esc is the Cancel";
    EXPECT_EQ(rig.prompts.LastText(), "Reading cancelled: 29 of 64 settings read.");
    EXPECT_TRUE(rig.window->isEnabled());
}
