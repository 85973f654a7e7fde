// Settings files, setting areas and the pages' camera operations as the main
// window offers them: the file choosers, the compare window, the area dialog,
// the progress window and the read-outs; what reaches the camera is the session's.
#include <gtest/gtest.h>

#include <fstream>

#include "mainwin/CAreaSelDlg.h"
#include "mainwin/CCompareDlg.h"
#include "support/FileQueries.h"
#include "support/MainWindowRig.h"
#include "support/Faults.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

namespace {

// Answers the area dialog with the entry of that name, after noting the preselected one.
struct AreaAnswer {
    int operator()(CAreaSelDlg& dialog)
    {
        preselected = dialog.List().currentText();
        if (choice.isEmpty())
            return QDialog::Rejected;
        dialog.List().setCurrentText(choice);
        dialog.accept();
        return QDialog::Accepted;
    }
    QString choice;
    QString preselected;
};

QString ReadOut(MainWindowRig& rig, int ctrlId)
{
    return qobject_cast<QLineEdit*>(rig.Registry().Find(ctrlId))->text();
}

}  // namespace

// The menu saves and opens files where the operator chose, asks before one
// is replaced, and the pages show what a file set.
TEST(SettingsFiles, TheMenuSavesAndOpensFilesWhereTheOperatorChose)
{
    TempFolder folder;
    const std::string path = folder.File("camera.cam");
    std::ofstream(path) << "old";
    {
        MainWindowRig factory(ActiveFactory);
        factory.camera.SetRegister("AGCF", 100 * 16);
        factory.window->Initialise();
        factory.prompts.files.push_back(QString::fromStdString(path));
        factory.prompts.yesNoAnswers = {true};
        factory.window->OnSaveSettingFile();
        ASSERT_EQ(factory.prompts.LastText(), "Save Complete");
        EXPECT_EQ(factory.settings.dataPath, folder.path) << "the chosen folder is remembered";
        EXPECT_EQ(QDir::currentPath().toStdString(), folder.path) << "and is the working folder of the next dialog";
        QDir::setCurrent(QDir::tempPath());
    }
    EXPECT_NE(FileText(path).find("AGCF=100\r\n"), std::string::npos);

    MainWindowRig user;
    user.window->Initialise();
    user.Wire();
    user.prompts.files.push_back(QString::fromStdString(path));
    user.window->OnOpenSettingFile();

    EXPECT_EQ(user.Spin(user.Id("AGCF"))->Text(), "100");
    EXPECT_FALSE(user.Inside().Progress().IsCreated());
    EXPECT_TRUE(user.prompts.LastText().endsWith(" lines of the file were skipped."));
    EXPECT_EQ(user.prompts.fileSuffixes.back(), "cam") << "a name typed without extension opens NAME.cam";
    EXPECT_EQ(QDir::currentPath().toStdString(), folder.path) << "a file opened makes its folder the working folder";

    // The start line after the end line, as a file may set them: the end line's arrow
    // steps from what it shows instead of jumping past the start line.
    const std::string startAfterEnd = folder.File("start-after-end.cam");
    std::ofstream(startAfterEnd) << "STL=500\r\nETL=100\r\n";
    user.Inside().Session().ApplySettingFile(startAfterEnd);
    user.Wire();
    user.Step(user.Id("ETL"), 1);
    EXPECT_EQ(user.Wire(), std::vector<std::string>{"ETL=101"});

    // Refusing to replace a file writes nothing.
    const std::string old = folder.File("old.cam");
    std::ofstream(old) << "GA=1\r\n";
    user.prompts.Clear();
    user.prompts.files.push_back(QString::fromStdString(old));
    user.window->OnSaveSettingFile();
    EXPECT_EQ(FileText(old), "GA=1\r\n");
    EXPECT_TRUE(user.prompts.LastText().endsWith("\nThis file already exists.\nReplace existing file?"));
}

TEST(SettingsFiles, ComparingWithAFileMarksTheDifferencesAndAppliesOnlyTheCheckedOnes)
{
    MainWindowRig rig;
    rig.camera.SetRegister("GA", 100);
    rig.camera.SetRegister("AGCF", 60 * 16);
    rig.camera.SetRegister("KSR", 667);
    rig.window->Initialise();
    rig.camera.SetRegister("GAR", 5);   // the pages do not know it yet
    TempFolder folder;
    const std::string path = folder.File("golden.cam");
    std::ofstream(path) << "GA=120\r\nGAR=5\r\nAGCF=50\r\nGA00=5\r\nKSR=700\r\nCM=3\r\nCM=3\r\n";
    rig.prompts.files.push_back(QString::fromStdString(path));
    rig.window->OnCompareWithFile();
    rig.Wire();

    CCompareDlg* dialog = rig.Inside().CompareDlg();
    ASSERT_NE(dialog, nullptr);
    QTableWidget& table = dialog->Table();
    auto cell = [&table](int row, int column) { return table.item(row, column)->text().toStdString(); };
    auto marked = [&table](int row) { return table.item(row, CCompareDlg::ColPage)->data(CCompareDlg::kDiffersRole).toBool(); };
    const auto order = [&] {
        std::string text;
        for (int row = 0; row < table.rowCount(); ++row)
            text += cell(row, CCompareDlg::ColMnemonic) + (marked(row) ? "* " : " ");
        return text;
    };
    EXPECT_EQ(order(), "GA* AGCF* KSR* CM* CM* GAR ") << "differing rows first and marked, each part in file order";
    EXPECT_EQ(cell(1, CCompareDlg::ColFile) + "/" + cell(1, CCompareDlg::ColCamera), "50/60") << "as the pages show it";
    EXPECT_EQ(cell(2, CCompareDlg::ColLabel), "KneeSlope R");
    EXPECT_FALSE(table.item(5, CCompareDlg::ColPage)->flags() & Qt::ItemIsUserCheckable);

    table.item(0, CCompareDlg::ColPage)->setCheckState(Qt::Checked);
    table.item(2, CCompareDlg::ColPage)->setCheckState(Qt::Checked);
    table.item(3, CCompareDlg::ColPage)->setCheckState(Qt::Checked);
    dialog->ApplyButton().click();
    EXPECT_EQ(Settings(rig.Wire()), (std::vector<std::string>{"GA=120", "KSR=700", "CM=3"}));
    EXPECT_EQ(rig.Spin(rig.Id("KSR"))->Text(), "700");
    EXPECT_EQ(rig.Inside().Cur(CmdGA), rig.Inside().Prev(CmdGA)) << "applied as a loaded file is";
    EXPECT_EQ(order(), "AGCF* GA GAR KSR CM CM ") << "both rows of \"CM\" follow the camera";
    EXPECT_EQ(dialog->Summary().text(), "1 of 6 values differ from the file.");

    rig.Type(rig.Id("GAR"), "9");   // a change made on the pages while the window is open
    EXPECT_EQ(order(), "GAR* AGCF* GA KSR CM CM ");
    EXPECT_EQ(cell(0, CCompareDlg::ColCamera), "9");
    EXPECT_TRUE(rig.prompts.prompts.empty());

    rig.Wire();
    rig.camera.SetFaults(RefusingAll());
    const int agcf = 1;
    table.item(agcf, CCompareDlg::ColPage)->setCheckState(Qt::Checked);
    dialog->ApplyButton().click();
    EXPECT_EQ(Settings(rig.Wire()), (std::vector<std::string>{"AGCF=800"}));
    EXPECT_EQ(dialog->Comparison().DifferenceCount(), 2u) << "a refused line still differs";
    EXPECT_TRUE(marked(agcf)) << "and stays marked";
}

TEST(SettingAreas, TheDialogOffersTheAreasOfTheLevelAndPreselectsTheCurrentOne)
{
    const QStringList users{"User1", "User2", "User3"};
    const QStringList all = QStringList{"Factory"} + users;
    const struct { int current; bool load, factoryLevel; QStringList entries; QString preselected; } cases[] = {
        {2, false, false, users, "User2"}, {0, false, false, users, "User1"}, {7, false, false, users, "User1"},
        {0, false, true, all, "Factory"},  {3, true, false, all, "User3"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "area " << c.current << (c.load ? ", load" : ", store")
                                        << (c.factoryLevel ? ", factory level" : ""));
        CAreaSelDlg dialog(nullptr, c.current, c.load, c.factoryLevel, true);
        QStringList entries;
        for (int i = 0; i < dialog.List().count(); ++i)
            entries << dialog.List().itemText(i);
        EXPECT_EQ(entries, c.entries);
        EXPECT_EQ(dialog.List().currentText(), c.preselected);
        EXPECT_EQ(dialog.windowTitle(), c.load ? "Load setting data" : "Store setting data");
        EXPECT_EQ(dialog.Message(), c.load ? "Select the memory area stored setting data"
                                           : "Select the memory area to store setting data");
    }
}

TEST(SettingAreas, StoresAndLoadsReachTheCameraInOrder)
{
    MainWindowRig rig;
    rig.window->Initialise();
    CameraSession::Limits limits = rig.Inside().Session().GetLimits();
    limits.storedPauseMs = 1;
    rig.Inside().Session().SetLimits(limits);
    rig.Wire();
    AreaAnswer answer;
    rig.Inside().SetAreaDialogRunner(std::ref(answer));

    rig.window->OnStoreSettings();
    EXPECT_TRUE(rig.Wire().empty()) << "a cancelled dialog sends nothing";

    rig.camera.SetRegister("GA", 321);
    answer.choice = "User3";
    rig.window->OnStoreSettings();
    EXPECT_EQ(rig.Wire(), (std::vector<std::string>{"SA=3"}));
    EXPECT_FALSE(rig.Inside().Progress().IsCreated());
    EXPECT_TRUE(rig.window->isEnabled());
    rig.camera.SetRegister("GA", 0);
    rig.window->OnLoadSettings();
    EXPECT_EQ(answer.preselected, "User3");
    EXPECT_EQ(rig.Wire().front(), "LD=3");
    EXPECT_EQ(rig.Spin(rig.Id("GA"))->Text(), "321") << "the pages show the re-read";

}

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
