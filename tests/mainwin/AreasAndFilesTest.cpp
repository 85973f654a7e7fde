// Settings files, setting areas and camera operations through the real main
// window and the virtual camera.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "dialogs/AreaStore.h"
#include "dialogs/CCommSelDlg.h"
#include "dialogs/CProgDlg.h"
#include "mainwin/CAreaSelDlg.h"
#include "mainwin/CCompareDlg.h"
#include "params/CtrlTbl.h"
#include "support/FileQueries.h"
#include "support/FileSizeLimit.h"
#include "support/MainWindowRig.h"
#include "support/Faults.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

namespace {

bool IsFactoryOnly(const std::string& wireLine)
{
    const int row = CtrlTbl::FindByCommand(CommandTable::Find(wireLine.substr(0, wireLine.find('='))));
    return row >= 0 && CtrlTbl::Rows()[row].access == AccessFactory;
}

std::vector<std::string> Settings(const std::vector<std::string>& wire)
{
    std::vector<std::string> sets;
    for (const std::string& line : wire)
        if (line.find('=') != std::string::npos)
            sets.push_back(line);
    return sets;
}

QStringList Entries(const CAreaSelDlg& dialog)
{
    QStringList entries;
    for (int i = 0; i < dialog.List().count(); ++i)
        entries << dialog.List().itemText(i);
    return entries;
}

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

// Counts how often the window was disabled or enabled again: a progress window that opens does both.
struct EnabledChanges : QObject {
    explicit EnabledChanges(QWidget* window) { window->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override
    {
        count += event->type() == QEvent::EnabledChange ? 1 : 0;
        return false;
    }
    int count = 0;
};

// The progress window's closing pause, shortened for the test.
struct ShortClosePause {
    ShortClosePause() { AreaStore::SetClosePause(1); }
    ~ShortClosePause() { AreaStore::SetClosePause(AreaStore::kClosePauseMs); }
};

}  // namespace

// A file is the operator's backup: whatever the camera held, the values the
// pages offer or not, it comes back whole, at the user level without its factory lines.
TEST(SettingsFiles, AFactoryFileLoadsAtUserLevelWithoutItsFactoryLines)
{
    TempFolder folder;
    const std::string path = folder.File("camera.cam");
    const std::string link = folder.File("link.cam");
    std::ofstream(path) << "old";
    chmod(path.c_str(), 0600);
    std::filesystem::create_symlink(path, link);
    {
        MainWindowRig factory(ActiveFactory);
        for (const char* name : {"STL", "ETL", "AASX", "AASY", "WASX", "WASY"})
            factory.camera.SetRegister(name, 0);   // as a camera of its own may start
        factory.camera.SetRegister("GA", 700);
        factory.camera.SetRegister("SH", 100);
        factory.camera.SetRegister("AGCF", 100 * 16);
        factory.window->Initialise();
        factory.prompts.files.push_back(QString::fromStdString(link));
        factory.prompts.yesNoAnswers = {true};
        factory.window->OnSaveSettingFile();
        ASSERT_EQ(factory.prompts.LastText(), "Save Complete");
        EXPECT_EQ(factory.settings.dataPath, folder.path) << "the chosen folder is remembered";
        EXPECT_EQ(QDir::currentPath().toStdString(), folder.path) << "and is the working folder of the next dialog";
        QDir::setCurrent(QDir::tempPath());
    }
    EXPECT_TRUE(std::filesystem::is_symlink(link)) << "saved through the link, which stays";
    EXPECT_EQ(std::filesystem::status(path).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    const std::string saved = FileText(path);
    EXPECT_EQ(size_t(std::count(saved.begin(), saved.end(), '\n')), FileQueries(true).size()) << "every factory row";
    EXPECT_NE(saved.find("AGCF=100\r\n"), std::string::npos);

    MainWindowRig user;
    user.window->Initialise();
    user.Wire();
    user.prompts.files.push_back(QString::fromStdString(link));
    user.window->OnOpenSettingFile();

    const std::vector<std::string> sets = Settings(user.Wire());
    EXPECT_EQ(sets.size(), FileQueries(false).size()) << "every user line is sent, in the pages' ranges or not";
    EXPECT_TRUE(std::none_of(sets.begin(), sets.end(), IsFactoryOnly));
    EXPECT_EQ(std::count(sets.begin(), sets.end(), "AGCF=1600"), 1) << "the camera gets sixteenths";
    for (const std::string& line : sets) {
        const std::string name = line.substr(0, line.find('='));
        EXPECT_EQ(user.camera.Register(name), std::stoi(line.substr(name.size() + 1))) << name;
        EXPECT_NE(saved.find(name == "AGCF" ? "AGCF=100\r" : line + "\r"), std::string::npos) << line;
    }
    EXPECT_EQ(user.Spin(user.Id("AGCF"))->Text(), "100");
    EXPECT_EQ(user.Spin(user.Id("GA"))->Text(), "700") << "the pages show the camera's value";
    EXPECT_EQ(user.window->CurParam(CmdAGCF), user.window->PrevParam(CmdAGCF)) << "the load is committed";
    EXPECT_FALSE(user.window->Progress().IsCreated());
    const size_t factoryOnly = FileQueries(true).size() - FileQueries(false).size();
    EXPECT_EQ(user.prompts.LastText().toStdString(), std::to_string(factoryOnly) + " lines of the file were skipped.")
        << "the factory lines count as skipped, and the operator is told";
    EXPECT_EQ(user.prompts.prompts.back().icon, UiPrompts::Icon::Information);
    EXPECT_EQ(user.prompts.fileSuffixes.back(), "cam") << "a name typed without extension opens NAME.cam";
    EXPECT_EQ(QDir::currentPath().toStdString(), folder.path) << "a file opened makes its folder the working folder";

    // The start line after the end line, as a file may set them: the end line's arrow
    // steps from what it shows instead of jumping past the start line.
    const std::string startAfterEnd = folder.File("start-after-end.cam");
    std::ofstream(startAfterEnd) << "STL=500\r\nETL=100\r\n";
    user.window->ApplySettingFile(QString::fromStdString(startAfterEnd));
    user.Wire();
    user.Step(user.Id("ETL"), 1);
    EXPECT_EQ(user.Wire(), std::vector<std::string>{"ETL=101"});
}

// A load the camera does not take whole says how far it came, and a line the
// camera did not acknowledge shows the committed value, not the file's: a
// Cancel while a line waits, a line left unanswered, a hang-up.
TEST(SettingsFiles, ALoadSaysWhatTheCameraDidNotTake)
{
    TempFolder folder;
    MainWindowRig rig;
    rig.window->SetCommandTimeout(300);
    rig.window->Initialise();
    const auto load = [&](const std::string& text) {
        const std::string path = folder.File("load.cam");
        std::ofstream(path, std::ios::trunc) << text;
        rig.Wire();
        rig.prompts.Clear();
        rig.prompts.files.push_back(QString::fromStdString(path));
        rig.window->OnOpenSettingFile();
        return Settings(rig.Wire());
    };
    const auto shown = [&](const char* mnemonic) { return rig.Spin(rig.Id(mnemonic))->Text().toStdString(); };

    camsim::Faults slow;
    slow.replyDelayMs = 200;
    rig.camera.SetFaults(slow);
    QTimer hand;   // Cancel while the third line waits for its answer
    QObject::connect(&hand, &QTimer::timeout, [&] {
        if (rig.camera.ReceivedLines().size() == 3 && rig.window->Progress().IsCreated())
            QTest::mouseClick(rig.window->Progress().CancelButton(), Qt::LeftButton);
    });
    hand.start(10);
    EXPECT_EQ(load("GA=11\r\nGAR=12\r\nGAB=13\r\nNRS=14\r\nKSR=15\r\n"),
              (std::vector<std::string>{"GA=11", "GAR=12", "GAB=13"}));
    hand.stop();
    EXPECT_EQ(shown("GAR") + " " + shown("GAB") + " " + shown("NRS"), "12 0 0") << "acknowledged, in flight, unsent";
    EXPECT_EQ(rig.prompts.LastText(), "Loading cancelled: 3 of 5 lines sent.\nThe camera did not acknowledge 1 of the "
                                      "3 lines sent; those settings keep their previous values.");
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.window->CommSel().Messages().mid(0, 2) == QStringList{"COMPLETE", "GAB=13"}; }))
        << "the late answer is taken by the idle tick, not by the next load";

    rig.camera.SetFaults(SilentTo({"KSR"}));
    EXPECT_EQ(load("GA=50\r\nKSR=700\r\nSPR0=7\r\nNRS=99\r\n").size(), 4u) << "an unanswered line stops nothing";
    EXPECT_EQ(shown("KSR") + " " + shown("NRS"), "667 99");
    EXPECT_EQ(rig.prompts.LastText(),
              "The camera did not acknowledge 1 of the 4 lines sent; those settings keep their previous values.");
    EXPECT_EQ(rig.prompts.prompts.back().icon, UiPrompts::Icon::Exclamation);

    camsim::Faults hangUp;
    hangUp.hangUpAtCommand = 3;
    rig.camera.SetFaults(hangUp);
    EXPECT_EQ(load("GA=60\r\nKSR=710\r\nSPR0=8\r\nNRS=98\r\n"),
              (std::vector<std::string>{"GA=60", "KSR=710", "SPR0=8"})) << "nothing is sent after the hang-up";
    EXPECT_EQ(shown("GA") + " " + shown("SPR0") + " " + shown("NRS"), "60 7 99") << "what the camera holds";
    EXPECT_EQ(rig.prompts.LastText(), "The line to the camera was lost: 3 of 4 lines sent.\nThe camera did not "
                                      "acknowledge 1 of the 3 lines sent; those settings keep their previous values.");
    EXPECT_EQ(rig.window->CurParam(rig.Cmd("SPR0")), rig.window->PrevParam(rig.Cmd("SPR0")));
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
    rig.Wire();
    rig.prompts.files.push_back(QString::fromStdString(path));
    rig.window->OnCompareWithFile();

    EXPECT_EQ(rig.Wire(), (std::vector<std::string>{"GA?", "GAR?", "AGCF?", "KSR?", "CM?", "CM?"}))
        << "the factory-only line is not compared at user level; nothing is set";
    EXPECT_EQ(rig.Spin(rig.Id("GAR"))->Text(), "5") << "the pages show the camera's values";
    CCompareDlg* dialog = rig.window->CompareDlg();
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
    EXPECT_EQ(rig.window->CurParam(CmdGA), rig.window->PrevParam(CmdGA)) << "applied as a loaded file is";
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

TEST(SettingsFiles, UnreadableAndUnwritableFilesChangeNothing)
{
    TempFolder folder;
    MainWindowRig rig;
    rig.window->Initialise();
    rig.Wire();

    const EnabledChanges progressShown(rig.window.get());
    EXPECT_FALSE(rig.window->ApplySettingFile(QString::fromStdString(folder.File("missing.cam"))));
    EXPECT_EQ(rig.prompts.LastText().toStdString(), folder.File("missing.cam") + "\nCouldn't open this file");
    EXPECT_EQ(rig.prompts.prompts.back().caption, "File Open Error");
    EXPECT_EQ(progressShown.count, 0) << "no progress window flashes before the box";
    EXPECT_FALSE(rig.window->CompareWithFile(QString::fromStdString(folder.path)));
    EXPECT_EQ(progressShown.count, 0);

    // A full disk: the old file stays whole and nothing claims success.
    const std::string old = folder.File("old.cam");
    std::ofstream(old) << "GA=1\r\n";
    rig.prompts.Clear();
    {
        FileSizeLimit full(100);
        EXPECT_FALSE(rig.window->WriteSettingFile(QString::fromStdString(old)));
    }
    EXPECT_EQ(FileText(old), "GA=1\r\n");
    ASSERT_EQ(rig.prompts.prompts.size(), 1u);
    EXPECT_EQ(rig.prompts.prompts[0].caption, "File Open Error");

    // Refusing to replace a file writes nothing.
    rig.prompts.Clear();
    rig.prompts.files.push_back(QString::fromStdString(old));
    rig.window->OnSaveSettingFile();
    EXPECT_EQ(FileText(old), "GA=1\r\n");
    EXPECT_TRUE(rig.prompts.LastText().endsWith("\nThis file already exists.\nReplace existing file?"));
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
        EXPECT_EQ(Entries(dialog), c.entries);
        EXPECT_EQ(dialog.List().currentText(), c.preselected);
        EXPECT_EQ(dialog.windowTitle(), c.load ? "Load setting data" : "Store setting data");
        EXPECT_EQ(dialog.Message(), c.load ? "Select the memory area stored setting data"
                                           : "Select the memory area to store setting data");
    }
}

TEST(SettingAreas, StoresAndLoadsReachTheCameraInOrder)
{
    ShortClosePause pause;
    MainWindowRig rig;
    rig.window->Initialise();
    rig.Wire();
    AreaAnswer answer;
    rig.window->SetAreaDialogRunner(std::ref(answer));

    rig.window->OnStoreSettings();
    EXPECT_TRUE(rig.Wire().empty()) << "a cancelled dialog sends nothing";

    camsim::Faults slowStore;
    slowStore.storeDelayMs = 300;
    rig.camera.SetFaults(slowStore);
    answer.choice = "User2";
    const auto start = std::chrono::steady_clock::now();
    rig.window->OnStoreSettings();
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300)) << "a store takes its time";
    rig.camera.SetFaults({});
    EXPECT_EQ(rig.Wire(), (std::vector<std::string>{"SA=2"}));
    EXPECT_EQ(rig.window->CurrentArea(), 2);
    EXPECT_EQ(rig.prompts.LastText(), "Completed to store current setting data!");
    EXPECT_EQ(rig.prompts.prompts.back().icon, UiPrompts::Icon::Information);
    EXPECT_FALSE(rig.window->Progress().IsCreated());
    EXPECT_TRUE(rig.window->isEnabled());

    rig.camera.SetRegister("GA", 321);
    answer.choice = "User3";
    rig.window->OnStoreSettings();
    rig.camera.SetRegister("GA", 0);
    rig.Wire();
    rig.window->OnLoadSettings();
    EXPECT_EQ(answer.preselected, "User3");
    std::vector<std::string> wire = rig.Wire();
    ASSERT_GT(wire.size(), 60u);
    EXPECT_EQ(wire[0], "LD=3");
    EXPECT_EQ(wire[1], "SM?") << "a full re-read follows an accepted load";
    EXPECT_EQ(rig.Spin(rig.Id("GA"))->Text(), "321");

    rig.prompts.Clear();
    rig.window->OnStoreAll(0);
    EXPECT_TRUE(rig.Wire().empty()) << "No keeps every area";
    rig.prompts.yesNoAnswers = {true};
    rig.window->OnStoreAll(0);
    EXPECT_EQ(rig.Wire(), (std::vector<std::string>{"SA=3", "SA=2", "SA=1", "SA00=0"}));

    rig.camera.SetFaults(RefusingAll());
    rig.prompts.yesNoAnswers = {true};
    rig.window->OnStoreAll(0);
    EXPECT_EQ(rig.Wire().size(), 4u) << "a refusal does not stop the other areas";
    EXPECT_EQ(rig.prompts.LastText(), "Couldn't store current setting data!");

    rig.camera.SetFaults(slowStore);
    QTimer hand;   // Cancel while the second area is stored
    QObject::connect(&hand, &QTimer::timeout, [&] {
        if (rig.camera.ReceivedLines().size() == 2 && rig.window->Progress().IsCreated())
            QTest::mouseClick(rig.window->Progress().CancelButton(), Qt::LeftButton);
    });
    hand.start(10);
    rig.prompts.yesNoAnswers = {true};
    rig.window->OnStoreAll(0);
    hand.stop();
    EXPECT_EQ(rig.Wire(), (std::vector<std::string>{"SA=3", "SA=2"})) << "no area after the Cancel";
    EXPECT_EQ(rig.prompts.LastText(), "Storing cancelled: 1 of 4 areas stored.");
    rig.camera.SetFaults({});

    rig.settings.offline = 1;
    rig.prompts.Clear();
    rig.prompts.yesNoAnswers = {true};
    rig.window->OnStoreFactory();
    EXPECT_EQ(rig.prompts.prompts.size(), 1u) << "offline: the question only, no outcome box";
}
