// Settings files and the comparison between the session and the virtual camera.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "comm/CRsCmd.h"
#include "files/SettingsComparison.h"
#include "params/CtrlTbl.h"
#include "session/SessionRig.h"
#include "support/Faults.h"
#include "support/FileQueries.h"
#include "support/FileSizeLimit.h"
#include "support/TempFolder.h"
#include "support/WaitFor.h"

namespace {

bool IsFactoryOnly(const std::string& wireLine)
{
    const int row = CtrlTbl::FindByCommand(CommandTable::Find(wireLine.substr(0, wireLine.find('='))));
    return row >= 0 && CtrlTbl::Rows()[row].access == AccessFactory;
}

}  // namespace

// A file is the operator's backup: whatever the camera held, the values the
// pages offer or not, it comes back whole, at the user level without its factory lines.
TEST(SessionFiles, AFactoryFileLoadsAtUserLevelWithoutItsFactoryLines)
{
    TempFolder folder;
    const std::string path = folder.File("camera.cam");
    {
        SessionRig factory(ActiveFactory);
        for (const char* name : {"STL", "ETL", "AASX", "AASY", "WASX", "WASY"})
            factory.camera.SetRegister(name, 0);   // as a camera of its own may start
        factory.camera.SetRegister("GA", 700);
        factory.camera.SetRegister("SH", 100);
        factory.camera.SetRegister("AGCF", 100 * 16);
        factory.Start();
        EXPECT_TRUE(factory.session.WriteSettingFile(path));
        EXPECT_EQ(factory.host.LastText(), "Save Complete");
    }
    const std::string saved = FileText(path);
    EXPECT_EQ(size_t(std::count(saved.begin(), saved.end(), '\n')), FileQueries(true).size()) << "every factory row";
    EXPECT_NE(saved.find("AGCF=100\r\n"), std::string::npos);

    SessionRig user;
    user.Start();
    EXPECT_TRUE(user.session.ApplySettingFile(path));
    const std::vector<std::string> sets = Settings(user.Wire());
    EXPECT_EQ(sets.size(), FileQueries(false).size()) << "every user line is sent, in the pages' ranges or not";
    EXPECT_TRUE(std::none_of(sets.begin(), sets.end(), IsFactoryOnly));
    EXPECT_EQ(std::count(sets.begin(), sets.end(), "AGCF=1600"), 1) << "the camera gets sixteenths";
    for (const std::string& line : sets) {
        const std::string name = line.substr(0, line.find('='));
        EXPECT_EQ(user.camera.Register(name), std::stoi(line.substr(name.size() + 1))) << name;
        EXPECT_NE(saved.find(name == "AGCF" ? "AGCF=100\r" : line + "\r"), std::string::npos) << line;
    }
    EXPECT_EQ(user.host.shown[SessionRig::Id("AGCF")], 100);
    EXPECT_EQ(user.host.shown[SessionRig::Id("GA")], 700) << "the pages show the camera's value";
    EXPECT_EQ(user.Cur("AGCF"), user.Prev("AGCF")) << "the load is committed";
    EXPECT_TRUE(user.host.progress.empty());
    const size_t factoryOnly = FileQueries(true).size() - FileQueries(false).size();
    EXPECT_EQ(user.host.LastText(), std::to_string(factoryOnly) + " lines of the file were skipped.")
        << "the factory lines count as skipped, and the operator is told";
    EXPECT_EQ(user.host.boxes.back().icon, EngineHost::Icon::Information);
}

// A load the camera does not take whole says how far it came, and a line the
// camera did not acknowledge keeps the committed value, not the file's: a
// Cancel while a line waits, a line left unanswered, a hang-up.
TEST(SessionFiles, ALoadSaysWhatTheCameraDidNotTake)
{
    TempFolder folder;
    SessionRig rig;
    rig.SetCommandLimit(300);
    rig.Start();
    const auto load = [&](const std::string& text) {
        const std::string path = folder.File("load.cam");
        std::ofstream(path, std::ios::trunc) << text;
        rig.Wire();
        rig.host.boxes.clear();
        rig.session.ApplySettingFile(path);
        rig.host.whileWaiting = nullptr;
        return Settings(rig.Wire());
    };
    const auto cur = [&](const char* mnemonic) { return std::to_string(rig.Cur(mnemonic)); };

    camsim::Faults slow;
    slow.replyDelayMs = 200;
    rig.camera.SetFaults(slow);
    rig.CancelAt(3);   // while the third line waits for its answer
    EXPECT_EQ(load("GA=11\r\nGAR=12\r\nGAB=13\r\nNRS=14\r\nKSR=15\r\n"),
              (std::vector<std::string>{"GA=11", "GAR=12", "GAB=13"}));
    EXPECT_EQ(cur("GAR") + " " + cur("GAB") + " " + cur("NRS"), "12 0 0") << "acknowledged, in flight, unsent";
    EXPECT_EQ(rig.host.LastText(), "Loading cancelled: 3 of 5 lines sent.\nThe camera did not acknowledge 1 of the "
                                   "3 lines sent; those settings keep their previous values.");
    // The answer still on its way is taken in by the idle tick, as the windows run it, not by the next load.
    ASSERT_TRUE(WaitFor([&] { return rig.port.Available() > 0; }));
    rig.session.Engine()->OnTimer();

    rig.camera.SetFaults(SilentTo({"KSR"}));
    EXPECT_EQ(load("GA=50\r\nKSR=700\r\nSPR0=7\r\nNRS=99\r\n").size(), 4u) << "an unanswered line stops nothing";
    EXPECT_EQ(cur("KSR") + " " + cur("NRS"), "667 99");
    ASSERT_EQ(rig.host.LastText(),
              "The camera did not acknowledge 1 of the 4 lines sent; those settings keep their previous values.");
    EXPECT_EQ(rig.host.boxes.back().icon, EngineHost::Icon::Exclamation);

    camsim::Faults hangUp;
    hangUp.hangUpAtCommand = 3;
    rig.camera.SetFaults(hangUp);
    EXPECT_EQ(load("GA=60\r\nKSR=710\r\nSPR0=8\r\nNRS=98\r\n"),
              (std::vector<std::string>{"GA=60", "KSR=710", "SPR0=8"})) << "nothing is sent after the hang-up";
    EXPECT_EQ(cur("GA") + " " + cur("SPR0") + " " + cur("NRS"), "60 7 99") << "what the camera holds";
    EXPECT_EQ(rig.host.LastText(), "The line to the camera was lost: 3 of 4 lines sent.\nThe camera did not "
                                   "acknowledge 1 of the 3 lines sent; those settings keep their previous values.");
    EXPECT_EQ(rig.Cur("SPR0"), rig.Prev("SPR0"));
}

TEST(SessionFiles, ComparingReadsTheLinesOfTheLevelAndAppliesChosenOnesAsALoadDoes)
{
    SessionRig rig;
    rig.SetCommandLimit(300);
    rig.camera.SetRegister("GA", 100);
    rig.camera.SetRegister("AGCF", 60 * 16);
    rig.Start();
    rig.camera.SetRegister("GAR", 5);   // the pages do not know it yet
    TempFolder folder;
    const std::string path = folder.File("golden.cam");
    std::ofstream(path) << "GA=120\r\nGAR=5\r\nAGCF=50\r\nGA00=5\r\nKSR=700\r\nCM=3\r\nCM=3\r\n";

    SettingsComparison comparison;
    ASSERT_TRUE(rig.session.CompareWithFile(path, comparison));
    EXPECT_EQ(rig.Wire(), (std::vector<std::string>{"GA?", "GAR?", "AGCF?", "KSR?", "CM?", "CM?"}))
        << "the factory-only line is not compared at user level; nothing is set";
    EXPECT_EQ(rig.host.shown[SessionRig::Id("GAR")], 5) << "the pages show the camera's values";
    EXPECT_EQ(comparison.DifferenceCount(), 5u);
    EXPECT_EQ(comparison.CameraValue(2), 60) << "as the pages show it";

    std::vector<SettingsLine> chosen{comparison.Lines()[0], comparison.Lines()[3]};
    rig.camera.SetFaults(SilentTo({"KSR"}));
    EXPECT_EQ(rig.session.ApplySettingLines(chosen), (std::vector<bool>{true, false}));
    EXPECT_EQ(Settings(rig.Wire()), (std::vector<std::string>{"GA=120", "KSR=700"}));
    EXPECT_EQ(rig.Cur("GA"), 120);
    EXPECT_EQ(rig.Prev("KSR"), 667) << "a line the camera did not take keeps the camera's value";

    rig.host.boxes.clear();
    rig.CancelAt(4);   // while "KSR?" waits
    EXPECT_FALSE(rig.session.CompareWithFile(path, comparison));
    rig.host.whileWaiting = nullptr;
    EXPECT_EQ(rig.host.LastText(), "Comparison cancelled: 3 of 6 settings read.");

    rig.host.boxes.clear();
    EXPECT_FALSE(rig.session.CompareWithFile(path, comparison));
    EXPECT_EQ(rig.host.LastText(), "The camera did not answer the query of KSR; the comparison was stopped.");
    EXPECT_EQ(rig.host.boxes.back().icon, EngineHost::Icon::Exclamation);
}

TEST(SessionFiles, UnreadableAndUnwritableFilesChangeNothing)
{
    TempFolder folder;
    SessionRig rig;
    rig.Start();

    EXPECT_FALSE(rig.session.ApplySettingFile(folder.File("missing.cam")));
    EXPECT_EQ(rig.host.LastText(), folder.File("missing.cam") + "\nCouldn't open this file");
    EXPECT_EQ(rig.host.boxes.back().caption, "File Open Error");
    SettingsComparison comparison;
    EXPECT_FALSE(rig.session.CompareWithFile(folder.path, comparison));
    EXPECT_TRUE(rig.host.positions.empty()) << "no progress window flashes before the boxes";
    EXPECT_TRUE(rig.Wire().empty());

    // A full disk: the old file stays whole and nothing claims success.
    const std::string old = folder.File("old.cam");
    std::ofstream(old) << "GA=1\r\n";
    rig.host.boxes.clear();
    {
        FileSizeLimit full(100);
        EXPECT_FALSE(rig.session.WriteSettingFile(old));
    }
    EXPECT_EQ(FileText(old), "GA=1\r\n");
    ASSERT_EQ(rig.host.boxes.size(), 1u);
    EXPECT_EQ(rig.host.boxes[0].caption, "File Open Error");
}
