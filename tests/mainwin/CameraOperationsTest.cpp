// The pages' camera operations through the real main window and the virtual camera.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>

#include "dialogs/CProgDlg.h"

#include "support/FileSizeLimit.h"
#include "support/MainWindowRig.h"

namespace {

// Only the camera's answers are slow here, so the limits can be short.
CKavroDlg::OperationLimits ShortLimits()
{
    return {1500, 1500, 1500};
}

QString ReadOut(MainWindowRig& rig, int ctrlId)
{
    return qobject_cast<QLineEdit*>(rig.Registry().Find(ctrlId))->text();
}

// The file of blocks 1 .. n when every channel averages 500.
std::string AverageFile(int blocks)
{
    std::string text = "Average data\r\n";
    for (int block = 1; block <= blocks; ++block)
        text += std::to_string(block) + "," + std::to_string(500 + (block * 7) % 16 - 8) + "\r\n";
    return text;
}

void SetFault(camsim::VirtualCamera& camera, void (*change)(camsim::Faults&))
{
    camsim::Faults faults = camera.GetFaults();
    change(faults);
    camera.SetFaults(faults);
}

}  // namespace

TEST(CameraOperations, UserLevelWhiteBalanceShadingAndTemperature)
{
    MainWindowRig rig;
    rig.camera.SetRegister("SDM", 3);
    rig.camera.SetRegister("TMS", -16);
    rig.window->Initialise();
    rig.window->SetOperationLimits(ShortLimits());
    rig.Wire();

    // A white balance re-reads the gains it changed and tells its result.
    rig.Click(MainWindowRig::Id("AW"));
    EXPECT_EQ(rig.Wire(), (std::vector<std::string>{"AW=1", "AWRS?", "GAR?", "GAB?", "DGR?", "DGG?", "DGB?"}));
    EXPECT_EQ(rig.Spin(MainWindowRig::Id("GAR"))->Text(), "37");
    EXPECT_EQ(rig.window->PrevParam(MainWindowRig::Cmd("GAB")), -21);
    ASSERT_EQ(rig.prompts.prompts.size(), 1u);
    EXPECT_EQ(rig.prompts.LastText(), "Completed the Auto White Balance. The RB gain values were updated.");
    EXPECT_EQ(rig.prompts.prompts.back().icon, UiPrompts::Icon::Information);

    SetFault(rig.camera, [](camsim::Faults& f) { f.awbResult = 6; });
    rig.Click(MainWindowRig::Id("AW"));
    EXPECT_EQ(rig.prompts.LastText(), "Error6. Trig is not set as Normal");
    EXPECT_EQ(rig.prompts.prompts.back().icon, UiPrompts::Icon::Exclamation);

    // No result at all counts as result 1; the engine has reported the silence first.
    SetFault(rig.camera, [](camsim::Faults& f) { f.silent = {"AWRS"}; });
    rig.Wire();
    rig.Click(MainWindowRig::Id("AW"));
    EXPECT_EQ(rig.Wire().size(), 7u) << "the gains are re-read all the same";
    EXPECT_EQ(rig.prompts.LastText(), "Error1. too bright.");

    // With the camera's own minute: the progress window comes after a second,
    // and its Cancel ends the wait at once; nothing more is asked.
    rig.window->SetOperationLimits({});
    QElapsedTimer took;
    qint64 shownAt = -1;
    QTimer hand;
    QObject::connect(&hand, &QTimer::timeout, [&] {
        if (!rig.window->Progress().IsCreated())
            return;
        shownAt = shownAt < 0 ? took.elapsed() : shownAt;
        QTest::mouseClick(rig.window->Progress().CancelButton(), Qt::LeftButton);
    });
    hand.start(10);
    rig.prompts.Clear();
    took.start();
    rig.Click(MainWindowRig::Id("AW"));
    hand.stop();
    EXPECT_GE(shownAt, 900) << "a quick operation shows only the wait cursor";
    EXPECT_LT(took.elapsed(), 3000);
    EXPECT_EQ(rig.Wire(), (std::vector<std::string>{"AW=1", "AWRS?"}));
    ASSERT_EQ(rig.prompts.prompts.size(), 1u) << "the Cancel's report, no result";
    EXPECT_EQ(rig.prompts.LastText(), "One-Push AWB cancelled.");
    rig.window->SetOperationLimits(ShortLimits());

    // The shading text names the user table in use and the kind.
    rig.Click(CtrlId::RecalibrateColor);
    rig.Click(MainWindowRig::Id("RS"));
    EXPECT_EQ(rig.Wire(), (std::vector<std::string>{"RS=1,1", "RS=1,0"}));

    // The factory table is not the user level's to recalibrate: told so, nothing sent.
    rig.window->SetParam(MainWindowRig::Id("SDM"), 1);
    rig.prompts.Clear();
    rig.window->OnShadingRecal(CtrlId::RecalibrateColor);
    EXPECT_TRUE(rig.Wire().empty());
    EXPECT_EQ(rig.prompts.LastText(), "Unknown error occurred.");

    // Sixteenths of a degree, below zero too.
    rig.Click(CtrlId::Temperature);
    EXPECT_EQ(ReadOut(rig, CtrlId::TemperatureText), QString::fromUtf8("-1.0 \u00b0C"));
    rig.camera.SetRegister("TMS", 0);
    rig.Click(CtrlId::Temperature);
    EXPECT_EQ(ReadOut(rig, CtrlId::TemperatureText), QString::fromUtf8("0.0 \u00b0C"));
}

TEST(CameraOperations, FactoryLevelRecalibrationsAndReadOuts)
{
    MainWindowRig rig(ActiveFactory);
    rig.camera.SetRegister("SDM", 1);
    rig.window->Initialise();
    rig.window->SetOperationLimits(ShortLimits());
    rig.Wire();

    // The black points, red to blue, each re-read and shown.
    rig.Click(CtrlId::BlemishRecalibrateBlack);
    const std::vector<std::string> wire = rig.Wire();
    ASSERT_EQ(wire.size(), 97u);
    EXPECT_EQ((std::vector<std::string>{wire[0], wire[1], wire[33], wire[96]}),
              (std::vector<std::string>{"BMRC=0", "BMBR1?", "BMBG1?", "BMBB32?"}));
    EXPECT_EQ(rig.Spin(MainWindowRig::Id("BMBB32"))->Text().toInt(), rig.camera.Register("BMBB32"));
    EXPECT_NE(rig.camera.Register("BMBB32"), 0);
    EXPECT_EQ(rig.prompts.LastText(),
              "Finished the ReCalibrate Blemish . The Blemish Point values were updated.");

    // The factory table in use is recalibrated through "RS00".
    rig.Click(CtrlId::RecalibrateColor);
    EXPECT_EQ(rig.Wire(), (std::vector<std::string>{"RS00=2,1"}));

    rig.camera.SetRegister("QELS", 42);
    rig.Click(CtrlId::SNumber);
    EXPECT_EQ(ReadOut(rig, CtrlId::SNumberText), "42");
    EXPECT_EQ(rig.Wire(), (std::vector<std::string>{"QELS?"}));

    // Prism shading shows nothing, even when the camera refuses.
    rig.prompts.Clear();
    SetFault(rig.camera, [](camsim::Faults& f) { f.refuseAll = true; });
    rig.Click(CtrlId::PrismShadingGet);
    EXPECT_EQ(rig.Wire(), (std::vector<std::string>{"PSHD=0"}));
    EXPECT_TRUE(rig.prompts.prompts.empty());
}

TEST(CameraOperations, AverageDataKeepsTheBlocksReadBeforeAFailure)
{
    TempFolder folder;
    const std::string path = folder.File("average.csv");
    MainWindowRig rig(ActiveFactory);
    rig.window->Initialise();
    rig.window->SetOperationLimits(ShortLimits());
    for (const char* channel : {"AVDR", "AVDG", "AVDB"})
        rig.camera.SetRegister(channel, 500);
    rig.Wire();

    // Block 10 goes unanswered: the file ends after block 9, nothing later is asked. The
    // camera writes its numbers in every form a free answer may take; the file holds decimals.
    SetFault(rig.camera, [](camsim::Faults& f) {
        f.silent = {"AVDY10"};
        f.numbersInEveryForm = true;
    });
    rig.prompts.files.push_back(QString::fromStdString(path));
    rig.Click(CtrlId::AverageY);
    EXPECT_EQ(rig.prompts.fileFilters.back(), "Average data (*.csv)");
    const std::vector<std::string> wire = rig.Wire();
    ASSERT_EQ(wire.size(), 10u);
    EXPECT_EQ(wire.front(), "AVDY01?");
    EXPECT_EQ(FileText(path), AverageFile(9));

    // A disk that fills up: the box, and the file keeps the blocks that fitted.
    SetFault(rig.camera, [](camsim::Faults& f) { f.silent.clear(); });
    rig.prompts.Clear();
    rig.prompts.yesNoAnswers.push_back(true);   // replace the file
    rig.prompts.files.push_back(QString::fromStdString(path));
    {
        FileSizeLimit full(60);
        rig.Click(CtrlId::AverageY);
    }
    ASSERT_EQ(rig.prompts.prompts.size(), 2u);
    EXPECT_EQ(rig.prompts.prompts[1].caption, "File Open Error");
    EXPECT_EQ(rig.prompts.prompts[1].text, QString::fromStdString(path) + "\nCouldn't open this file");
    EXPECT_EQ(FileText(path), AverageFile(6)) << "60 bytes hold the header and six blocks";
    EXPECT_EQ(rig.Wire().size(), 7u) << "the export ends at the block that could not be written";
}
