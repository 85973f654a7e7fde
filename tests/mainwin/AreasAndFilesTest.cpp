// Settings files, setting areas and camera operations through the real main
// window and the virtual camera.
#include <gtest/gtest.h>

#include <fstream>

#include "dialogs/CCommSelDlg.h"
#include "dialogs/CProgDlg.h"
#include "params/CtrlTbl.h"
#include "support/FileSizeLimit.h"
#include "support/MainWindowRig.h"

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

}  // namespace

TEST(SettingsFiles, AFactoryFileLoadsAtUserLevelWithoutItsFactoryLines)
{
    TempFolder folder;
    const std::string path = folder.File("camera.cam");
    {
        MainWindowRig factory(ActiveFactory);
        factory.camera.SetRegister("AGCF", 100 * 16);
        factory.camera.SetRegister("CM", 0x52);
        factory.window->Initialise();
        factory.prompts.files.push_back(QString::fromStdString(path));
        factory.window->OnSaveSettingFile();
        ASSERT_EQ(factory.prompts.LastText(), "Save Complete");
        EXPECT_EQ(factory.settings.dataPath, folder.path) << "the chosen folder is remembered";
    }
    const std::string saved = FileText(path);
    EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), 344);
    EXPECT_NE(saved.find("AGCF=100\r\n"), std::string::npos);

    MainWindowRig user;
    user.window->Initialise();
    user.Wire();
    user.prompts.files.push_back(QString::fromStdString(path));
    user.window->OnOpenSettingFile();

    const std::vector<std::string> sets = Settings(user.Wire());
    EXPECT_EQ(sets.size(), 64u) << "only the user lines are sent";
    EXPECT_TRUE(std::none_of(sets.begin(), sets.end(), IsFactoryOnly));
    EXPECT_EQ(std::count(sets.begin(), sets.end(), "CM=82"), 4) << "one CM line per bound control";
    EXPECT_EQ(std::count(sets.begin(), sets.end(), "AGCF=1600"), 1) << "the camera gets sixteenths";
    EXPECT_EQ(user.Spin(user.Id("AGCF"))->Text(), "100");
    EXPECT_EQ(user.window->CurParam(CmdAGCF), user.window->PrevParam(CmdAGCF)) << "the load is committed";
    EXPECT_FALSE(user.window->Progress().IsCreated());
    EXPECT_TRUE(user.prompts.prompts.empty());
}

TEST(SettingsFiles, EmptyUnreadableAndUnwritableFilesChangeNothing)
{
    TempFolder folder;
    MainWindowRig rig;
    rig.window->Initialise();
    rig.Wire();

    const std::string empty = folder.File("empty.cam");
    std::ofstream{empty};
    EXPECT_TRUE(rig.window->ApplySettingFile(QString::fromStdString(empty)));
    EXPECT_TRUE(rig.Wire().empty());
    EXPECT_FALSE(rig.window->Progress().IsCreated());
    EXPECT_TRUE(rig.window->isEnabled());

    EXPECT_FALSE(rig.window->ApplySettingFile(QString::fromStdString(folder.File("missing.cam"))));
    EXPECT_EQ(rig.prompts.LastText().toStdString(), folder.File("missing.cam") + "\nCouldn't open this file");
    EXPECT_EQ(rig.prompts.prompts.back().caption, "File Open Error");

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
