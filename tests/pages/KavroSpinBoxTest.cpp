#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStyleOptionSpinBox>
#include <QTest>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "params/KavroSpinBox.h"

namespace {

struct SpinWindow {
    SpinWindow()
    {
        auto layout = new QVBoxLayout(&window);
        spin = new KavroSpinBox(1234, &window);
        other = new QLineEdit(&window);
        layout->addWidget(spin);
        layout->addWidget(other);
        spin->SetRange(0, 10);
        spin->SetPos(5);
        window.show();
        QApplication::setActiveWindow(&window);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    QPoint UpArrow() const
    {
        QStyleOptionSpinBox option;
        option.initFrom(spin);
        option.subControls = QStyle::SC_All;
        option.buttonSymbols = QAbstractSpinBox::UpDownArrows;
        option.stepEnabled = QAbstractSpinBox::StepUpEnabled | QAbstractSpinBox::StepDownEnabled;
        option.frame = true;
        return spin->style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxUp, spin).center();
    }

    QWidget window;
    KavroSpinBox* spin;
    QLineEdit* other;
};

}  // namespace

TEST(KavroSpinBox, StepsAreReportedAndNeverApplied)
{
    SpinWindow w;
    QSignalSpy steps(w.spin, &KavroSpinBox::stepRequested);
    auto expectStep = [&](int position, int step, const char* how) {
        ASSERT_EQ(steps.count(), 1) << how;
        const QList<QVariant> args = steps.takeFirst();
        EXPECT_EQ(args.at(1).toInt(), position) << how;
        EXPECT_EQ(args.at(2).toInt(), step) << how;
        EXPECT_EQ(w.spin->Pos(), 5) << how << " must not move the spin";
        EXPECT_EQ(w.spin->Text(), "5") << how << " must not change the text";
    };

    QTest::keyClick(w.spin, Qt::Key_Up);
    expectStep(5, 1, "Up key");
    QTest::keyClick(w.spin, Qt::Key_Down);
    expectStep(5, -1, "Down key");
    QTest::keyClick(w.spin, Qt::Key_PageUp);
    expectStep(5, 10, "PageUp key");

    QWheelEvent wheel(QPointF(5, 5), w.spin->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w.spin, &wheel);
    expectStep(5, -1, "wheel");

    QTest::mousePress(w.spin, Qt::LeftButton, Qt::NoModifier, w.UpArrow());
    QTest::mouseRelease(w.spin, Qt::LeftButton, Qt::NoModifier, w.UpArrow());
    expectStep(5, 1, "up arrow");

    // Even at the top of the range the step is asked for: wrap rows need it.
    w.spin->SetPos(10);
    QTest::keyClick(w.spin, Qt::Key_Up);
    ASSERT_EQ(steps.count(), 1) << "a step at the top is still reported";
    EXPECT_EQ(steps.takeFirst().at(1).toInt(), 10);
}

TEST(KavroSpinBox, TypedTextIsKeptForTheMainWindowToJudge)
{
    SpinWindow w;
    QSignalSpy lost(w.spin, &KavroSpinBox::focusLost);
    QSignalSpy steps(w.spin, &KavroSpinBox::stepRequested);

    w.spin->setFocus();
    w.spin->selectAll();
    QTest::keyClicks(w.spin, "5000");
    EXPECT_EQ(w.spin->Text(), "5000") << "out-of-range text is not refused while typing";
    w.other->setFocus();
    EXPECT_EQ(lost.count(), 1) << "leaving the edit reports the focus loss once";
    EXPECT_EQ(w.spin->Text(), "5000") << "nor fixed up when the edit is left";
    EXPECT_EQ(w.spin->Pos(), 5) << "the position waits for the main window";

    w.spin->setFocus();
    w.spin->selectAll();
    QTest::keyClicks(w.spin, "abc");
    EXPECT_EQ(w.spin->Text(), "abc") << "any text may be typed";
    QTest::keyClick(w.spin, Qt::Key_Up);
    ASSERT_EQ(steps.count(), 1);
    EXPECT_EQ(steps.takeFirst().at(1).toInt(), 5) << "a step from unreadable text starts at the position";

    w.spin->selectAll();
    QTest::keyClicks(w.spin, "7");
    QTest::keyClick(w.spin, Qt::Key_Up);
    ASSERT_EQ(steps.count(), 1);
    EXPECT_EQ(steps.takeFirst().at(1).toInt(), 7) << "a step from a typed number in range starts there";
}
