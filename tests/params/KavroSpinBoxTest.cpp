#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include "params/KavroSpinBox.h"

TEST(KavroSpinBox, StepsAreReportedAndTypedTextIsLeftToTheMainWindow)
{
    QWidget window;
    auto layout = new QVBoxLayout(&window);
    auto spin = new KavroSpinBox(1234, &window);
    auto other = new QLineEdit(&window);
    layout->addWidget(spin);
    layout->addWidget(other);
    spin->SetRange(0, 10);
    spin->SetPos(5);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QSignalSpy steps(spin, &KavroSpinBox::stepRequested);
    QSignalSpy lost(spin, &KavroSpinBox::focusLost);
    auto expectStep = [&](int position, int step, const char* how) {
        ASSERT_EQ(steps.count(), 1) << how;
        const QList<QVariant> args = steps.takeFirst();
        EXPECT_EQ(args.at(1).toInt(), position) << how;
        EXPECT_EQ(args.at(2).toInt(), step) << how;
    };

    QTest::keyClick(spin, Qt::Key_Up);
    expectStep(5, 1, "Up key");
    QTest::keyClick(spin, Qt::Key_Down);
    expectStep(5, -1, "Down key");
    EXPECT_EQ(spin->Pos(), 5) << "a step must not move the spin";
    EXPECT_EQ(spin->Text(), "5") << "nor change the text";
    spin->SetPos(10);
    QTest::keyClick(spin, Qt::Key_Up);
    expectStep(10, 1, "a step at the top is still reported: wrap rows need it");

    spin->setFocus();
    spin->selectAll();
    QTest::keyClicks(spin, "5000");
    EXPECT_EQ(spin->Text(), "5000") << "out-of-range text is not refused while typing";
    other->setFocus();
    EXPECT_EQ(lost.count(), 1) << "leaving the edit reports the focus loss once";
    EXPECT_EQ(spin->Text(), "5000") << "nor fixed up when the edit is left";
    EXPECT_EQ(spin->Pos(), 10) << "the position waits for the main window";
    QTest::keyClick(spin, Qt::Key_Down);
    expectStep(10, -1, "a step from out-of-range text starts at the position");

    spin->setFocus();
    spin->selectAll();
    QTest::keyClicks(spin, "abc");
    EXPECT_EQ(spin->Text(), "abc") << "any text may be typed";
    QTest::keyClick(spin, Qt::Key_Up);
    expectStep(10, 1, "a step from unreadable text starts at the position");
    spin->selectAll();
    QTest::keyClicks(spin, "7");
    QTest::keyClick(spin, Qt::Key_Up);
    expectStep(7, 1, "a step from a typed number in range starts there");
}
