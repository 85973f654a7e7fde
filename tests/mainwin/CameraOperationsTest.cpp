// The pages' camera operations through the real main window and the virtual camera.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>

#include <fstream>

#include "dialogs/CProgDlg.h"
#include "support/Faults.h"
#include "support/MainWindowRig.h"
#include "support/TempFolder.h"

namespace {

QString ReadOut(MainWindowRig& rig, int ctrlId)
{
    return qobject_cast<QLineEdit*>(rig.Registry().Find(ctrlId))->text();
}

}  // namespace

// What the operations show in the window; what they send and tell is the session's.
TEST(CameraOperations, ButtonsRunTheirOperationAndShowItsProgressAndReadOuts)
{
    MainWindowRig rig;
    rig.camera.SetRegister("SDM", 3);
    rig.camera.SetRegister("TMS", -16);
    rig.window->Initialise();

    rig.Click(MainWindowRig::Id("AW"));
    EXPECT_EQ(rig.Spin(MainWindowRig::Id("GAR"))->Text(), "37") << "the re-read gains are shown";

    // With the camera's own minute: the progress window comes after a second,
    // and its Cancel ends the wait at once.
    rig.camera.SetFaults(SilentTo({"AWRS"}));
    QElapsedTimer took;
    qint64 shownAt = -1;
    QTimer hand;
    QObject::connect(&hand, &QTimer::timeout, [&] {
        if (!rig.Inside().Progress().IsCreated())
            return;
        shownAt = shownAt < 0 ? took.elapsed() : shownAt;
        QTest::mouseClick(rig.Inside().Progress().CancelButton(), Qt::LeftButton);
    });
    hand.start(10);
    rig.prompts.Clear();
    took.start();
    rig.Click(MainWindowRig::Id("AW"));
    hand.stop();
    EXPECT_GE(shownAt, 900) << "a quick operation shows only the wait cursor";
    EXPECT_LT(took.elapsed(), 3000);
    EXPECT_EQ(rig.prompts.LastText(), "One-Push AWB cancelled.");
    rig.camera.SetFaults({});

    // The colour radio recalibrates the colour table, the button the other kind.
    rig.Wire();
    rig.Click(CtrlId::RecalibrateColor);
    rig.Click(MainWindowRig::Id("RS"));
    EXPECT_EQ(rig.Wire(), (std::vector<std::string>{"RS=1,1", "RS=1,0"}));

    rig.Click(CtrlId::Temperature);
    EXPECT_EQ(ReadOut(rig, CtrlId::TemperatureText), QString::fromUtf8("-1.0 \u00b0C"));
}

TEST(CameraOperations, FactoryReadOutsAndTheAverageDataFile)
{
    TempFolder folder;
    const std::string path = folder.File("average.csv");
    MainWindowRig rig(ActiveFactory);
    rig.window->Initialise();
    rig.camera.SetRegister("QELS", 42);
    rig.Click(CtrlId::SNumber);
    EXPECT_EQ(ReadOut(rig, CtrlId::SNumberText), "42");

    rig.Wire();
    rig.prompts.Clear();
    rig.Click(CtrlId::AverageY);
    EXPECT_EQ(rig.prompts.fileFilters.back(), "Average data (*.csv)");
    EXPECT_TRUE(rig.Wire().empty()) << "no file chosen, nothing asked";
    std::ofstream(path) << "old";
    rig.prompts.files.push_back(QString::fromStdString(path));
    rig.prompts.yesNoAnswers = {false};
    rig.Click(CtrlId::AverageY);
    EXPECT_TRUE(rig.prompts.LastText().endsWith("Replace existing file?"));
    EXPECT_TRUE(rig.Wire().empty()) << "the old file is kept";
    rig.prompts.files.push_back(QString::fromStdString(path));
    rig.prompts.yesNoAnswers = {true};
    rig.Click(CtrlId::AverageY);
    EXPECT_EQ(rig.Wire().front(), "AVDY01?");
}
