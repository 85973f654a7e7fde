// Every bound control of every page reaches the camera, at the factory level;
// a file saved from a camera brings it back whole, whatever the camera held.
#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QCheckBox>
#include <QRadioButton>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "comm/CRsCmd.h"
#include "dialogs/BlockingScope.h"
#include "params/CtrlTbl.h"
#include "support/MainWindowRig.h"

namespace {

// The camera's answer in the unit the pages show; the engine tick keeps off it.
int AskCamera(MainWindowRig& rig, int command)
{
    BlockingScope asking;
    int value = 0;
    EXPECT_TRUE(rig.window->Camera()->GetInt(command, 0, value, CKavroDlg::kCommandTimeoutMs));
    return value;
}

int IdOf(MainWindowRig& rig, const QWidget* control)
{
    for (int id : rig.Registry().Ids())
        if (rig.Registry().Find(id) == control)
            return id;
    return 0;
}

// Changes the control to another valid value the way its own event would.
void ChangeControl(MainWindowRig& rig, const CtrlTblEntry& row)
{
    CKavroDlg& window = *rig.window;
    const int id = row.ctrlId;
    switch (row.kind) {
    case CtrlKindEdit: {
        const auto [spinLo, spinHi] = rig.Registry().SpinRange(id);   // narrowed by the line coupling
        const int lo = std::max(spinLo, row.min);
        const int hi = std::min(spinHi, row.max);
        const int middle = lo / 2 + hi / 2;
        const int value = middle != window.CurParam(row.commandIndex) ? middle : middle < hi ? middle + 1 : middle - 1;
        rig.Spin(id)->findChild<QLineEdit*>()->setText(QString::number(value));
        window.OnEditCommit(id);
        break;
    }
    case CtrlKindCombo: {
        QComboBox* combo = rig.Combo(id);
        combo->setCurrentIndex((combo->currentIndex() + 1) % combo->count());
        window.OnComboSelChange(id);
        break;
    }
    case CtrlKindCheck:
        rig.Button(id)->setChecked(!rig.Button(id)->isChecked());
        window.OnCheckClicked(id);
        break;
    case CtrlKindRadio:
        for (QAbstractButton* button : rig.Registry().RadioGroup(id)->buttons())
            if (!button->isChecked()) {
                button->setChecked(true);
                window.OnRadioClicked(IdOf(rig, button));
                break;
            }
        break;
    default:
        break;
    }
}

}  // namespace

TEST(RoundTrip, EveryControlReachesTheCamera)
{
    MainWindowRig rig(ActiveFactory);
    rig.window->Initialise();
    int changed = 0;
    const CtrlTblEntry* rows = CtrlTbl::Rows();
    for (int i = 0; i < CtrlTbl::Count(); ++i) {
        const CtrlTblEntry& row = rows[i];
        if (row.ctrlId == 0 || row.commandIndex < 0 || row.kind == CtrlKindButton)
            continue;
        const int before = rig.window->CurParam(row.commandIndex);
        ChangeControl(rig, row);
        const int after = rig.window->CurParam(row.commandIndex);
        const std::string name = CommandTable::Row(row.commandIndex).mnemonic;
        EXPECT_NE(after, before) << name << " (control " << row.ctrlId << ") did not change";
        EXPECT_EQ(AskCamera(rig, row.commandIndex), after) << name << " did not reach the camera";
        EXPECT_EQ(rig.window->PrevParam(row.commandIndex), after) << name << " was not committed";
        changed += after != before ? 1 : 0;
    }
    EXPECT_GE(changed, 290) << "nearly every row is a control of its own";
    EXPECT_TRUE(rig.prompts.prompts.empty()) << rig.prompts.LastText().toStdString();
}

TEST(RoundTrip, ASavedFileBringsBackWhateverTheCameraHeld)
{
    MainWindowRig rig;
    const char* outside[] = {"STL", "ETL", "AASX", "AASY", "AGCF", "WASX", "WASY"};
    for (const char* name : outside)
        rig.camera.SetRegister(name, 0);   // as a camera of its own may start
    rig.camera.SetRegister("GA", 700);
    rig.camera.SetRegister("SH", 100);
    rig.window->Initialise();
    EXPECT_EQ(rig.Spin(rig.Id("GA"))->Text(), "700") << "the pages show what the camera holds";

    // Saved through a link to a private file: the link and the mode stay.
    TempFolder folder;
    const std::string file = folder.File("golden.cam");
    const std::string link = folder.File("link.cam");
    std::ofstream(file) << "old";
    chmod(file.c_str(), 0600);
    std::filesystem::create_symlink(file, link);
    rig.prompts.files.push_back(QString::fromStdString(link));
    rig.prompts.yesNoAnswers = {true};
    rig.window->OnSaveSettingFile();
    ASSERT_EQ(rig.prompts.LastText(), "Save Complete");
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(std::filesystem::status(file).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

    rig.prompts.Clear();
    for (const char* name : outside)
        rig.camera.SetRegister(name, 80);
    rig.camera.SetRegister("GA", 5);
    rig.camera.SetRegister("SH", 1);
    rig.Wire();
    rig.prompts.files.push_back(QString::fromStdString(link));
    rig.window->OnOpenSettingFile();
    const std::vector<std::string> wire = rig.Wire();
    EXPECT_EQ(wire.size(), 64u) << "every line of the file is sent";
    EXPECT_EQ(rig.window->LastLoadSkipped(), 0u);
    std::istringstream lines(FileText(file));
    for (std::string line; std::getline(lines, line);) {
        const std::string name = line.substr(0, line.find('='));
        const int value = std::stoi(line.substr(name.size() + 1));
        EXPECT_EQ(AskCamera(rig, CommandTable::Find(name)), value) << name << ": the camera holds the file's value";
    }

    // The start line after the end line, as a file may set them: the end line's arrow
    // steps from what it shows instead of jumping past the start line.
    const std::string startAfterEnd = folder.File("start-after-end.cam");
    std::ofstream(startAfterEnd) << "STL=500\r\nETL=100\r\n";
    rig.window->ApplySettingFile(QString::fromStdString(startAfterEnd));
    rig.Wire();
    rig.Step(rig.Id("ETL"), 1);
    EXPECT_EQ(rig.Wire(), std::vector<std::string>{"ETL=101"});
    EXPECT_EQ(rig.Spin(rig.Id("ETL"))->Text(), "101");
    EXPECT_TRUE(rig.prompts.prompts.empty()) << rig.prompts.LastText().toStdString();
}
