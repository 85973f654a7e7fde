// The communication window of the real main window: start-up from the profile,
// the control rules, the message list with its file; against the virtual camera
// the automatic port search, changing the line kind and the camera's setting areas.
#include <gtest/gtest.h>

#include <QImage>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>

#include "support/Faults.h"
#include "support/MainWindowRig.h"
#include "support/PtyPair.h"

namespace {

// The main window, its communication window reached by the names of its controls.
struct CommWindowRig : MainWindowRig {
    explicit CommWindowRig(int level = ActiveUser) : MainWindowRig(level) {}

    CCommSelDlg& Dialog() { return Inside().CommSel(); }
    template <class Widget>
    Widget* Find(const char* name) { return Dialog().findChild<Widget*>(name); }
    QComboBox* List(const char* name) { return Find<QComboBox>(name); }
    QPushButton* Button(const char* name) { return Find<QPushButton>(name); }
    // What a user's choice in a list does.
    void Choose(const char* name, int index)
    {
        List(name)->setCurrentIndex(index);
        emit List(name)->activated(index);
    }
    void Click(const char* name) { Button(name)->click(); }
    QStringList Entries(const char* name)
    {
        QStringList entries;
        for (int i = 0; i < List(name)->count(); ++i)
            entries << List(name)->itemText(i);
        return entries;
    }
};

// "message <first>" .. "message <last>", each with CR LF.
std::string MessageLines(int first, int last)
{
    std::string text;
    for (int n = first; n <= last; ++n)
        text += "message " + std::to_string(n) + "\r\n";
    return text;
}

bool Received(const camsim::VirtualCamera& camera, const std::string& line)
{
    const auto lines = camera.ReceivedLines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

}  // namespace

TEST(CommSelDlg, StartUpPutsTheProfileSettingsIntoForceAndTheControlsFollowTheirRules)
{
    CommWindowRig rig;
    rig.settings.commPort = 20;        // beyond COM16
    rig.settings.baudIndex = 2;
    rig.settings.commandFormat = 1;    // register base is refused
    rig.settings.offline = 1;          // the line kind decides
    rig.settings.replyWaitMs = 500;    // beyond the longest pause
    rig.window->Initialise();
    CCommSelDlg& dialog = rig.Dialog();

    ASSERT_EQ(rig.prompts.prompts.size(), 1u);
    EXPECT_EQ(rig.prompts.prompts[0].text, "This function does not support it in this version.");
    EXPECT_EQ(rig.prompts.prompts[0].caption, "a mistake to operate");
    EXPECT_EQ(rig.prompts.prompts[0].icon, UiPrompts::Icon::Exclamation);
    EXPECT_EQ(rig.settings.commandFormat, 0u) << "short ASCII in force";

    EXPECT_EQ(rig.List("category")->currentText(), "Com Port");
    EXPECT_EQ(rig.Entries("portName").size(), 16);
    EXPECT_EQ(rig.settings.commPort, 0u) << "a port beyond the list falls back to COM1";
    EXPECT_EQ(rig.settings.offline, 0u);
    EXPECT_EQ(dialog.LineStatusText(), "Online") << "the camera on COM1 was read";

    EXPECT_FALSE(rig.List("baudRate")->isVisible()) << "no baud rate at user level";
    EXPECT_TRUE(rig.Button("auto")->isEnabled());

    auto* replyWait = rig.Find<QSpinBox>("replyWait");
    EXPECT_TRUE(replyWait->isVisible()) << "the operator chooses the pace at either level";
    EXPECT_EQ(replyWait->text(), "20 ms");
    EXPECT_EQ(rig.settings.replyWaitMs, 20u) << "a stored pause beyond 20 ms is taken as 20 ms";
    replyWait->setFocus();
    replyWait->selectAll();
    QTest::keyClicks(replyWait, "0");
    EXPECT_EQ(rig.settings.replyWaitMs, 0u) << "in force with the next command";

    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible()) << "Esc only hides the window";

    EXPECT_FALSE(rig.Button("store")->isEnabled()) << "Factory Data at user level";
    rig.Choose("settingArea", 1);
    EXPECT_TRUE(rig.Button("store")->isEnabled()) << "User 1 Data";

    const auto pictures = [&] {
        return std::make_pair(rig.Find<QLabel>("lamp")->pixmap().toImage(), rig.Find<QLabel>("lineBar")->pixmap().toImage());
    };
    dialog.SetLineStatus(1);
    EXPECT_EQ(dialog.LineStatusText(), "Online");
    const auto online = pictures();
    dialog.SetLineStatus(0);
    EXPECT_NE(pictures().first, online.first) << "the lamp shows the link state";
    EXPECT_NE(pictures().second, online.second) << "so does the line bar";

    rig.Click("writeSettingFile");
    rig.Click("readSettingFile");
    EXPECT_EQ(rig.prompts.fileFilters.size(), 2u) << "each button offers its file chooser";
}

TEST(CommSelDlg, StoredNoLineIsOfflineAndDisablesTheLineControls)
{
    CommWindowRig rig(ActiveFactory);
    rig.settings.serialMode = LineNone;
    rig.window->Initialise();

    EXPECT_EQ(rig.settings.serialMode, static_cast<uint32_t>(LineNone));
    EXPECT_EQ(rig.settings.offline, 1u);
    EXPECT_EQ(rig.List("category")->currentIndex(), -1) << "no line has no category";
    EXPECT_EQ(rig.List("portName")->count(), 0);
    EXPECT_FALSE(rig.List("portName")->isEnabled());
    EXPECT_TRUE(rig.List("baudRate")->isVisible()) << "factory level shows the baud rate";
    EXPECT_FALSE(rig.List("baudRate")->isEnabled());
    EXPECT_FALSE(rig.Button("auto")->isEnabled());
    EXPECT_FALSE(rig.Find<QSpinBox>("replyWait")->isEnabled());
    EXPECT_TRUE(rig.Button("store")->isEnabled()) << "factory level may store the factory area";

    rig.prompts.Clear();
    rig.Click("store");
    EXPECT_TRUE(rig.prompts.prompts.empty()) << "offline: no completion notice";
    EXPECT_FALSE(rig.Inside().Progress().IsCreated());
    EXPECT_TRUE(rig.window->isEnabled());
}

TEST(CommSelDlg, MessageListKeeps1024LinesAndIsSavedOldestFirst)
{
    CommWindowRig rig;
    rig.window->Initialise();
    CCommSelDlg& dialog = rig.Dialog();
    TempFolder folder;
    rig.settings.logFilePath = folder.path;
    for (int n = 1; n <= 1025; ++n)
        dialog.AddMessage(QString("message %1").arg(n));
    ASSERT_EQ(dialog.Messages().size(), 1024);
    EXPECT_EQ(dialog.Messages().first(), "message 1025") << "newest on top";
    EXPECT_EQ(dialog.Messages().last(), "message 2") << "the 1025th pushed out the oldest";

    rig.Click("writeMessages");   // cancelled: nothing happens
    EXPECT_EQ(dialog.Messages().size(), 1024);
    ASSERT_EQ(rig.prompts.fileFilters.size(), 1u);
    EXPECT_EQ(rig.prompts.fileFilters[0], "txt file (*.txt)");

    const auto writeTo = [&rig](const std::string& file, bool replace) {
        rig.prompts.files.push_back(QString::fromStdString(file));
        rig.prompts.yesNoAnswers = {replace};
        rig.Click("writeMessages");
    };
    const std::string log = folder.File("log.txt");
    rig.settings.logFilePath.clear();
    writeTo(log, false);
    EXPECT_EQ(FileText(log), MessageLines(2, 1025)) << "1024 lines, oldest first, CR LF";
    EXPECT_EQ(dialog.Messages().first(), "Writing file has been done!");
    EXPECT_EQ(rig.settings.logFilePath, folder.path) << "the folder of the saved file is offered next";

    writeTo(log, false);
    EXPECT_EQ(rig.prompts.LastText(), QString::fromStdString(log) + "\nThis file already exists.\nReplace existing file?");
    EXPECT_EQ(FileText(log), MessageLines(2, 1025)) << "No keeps the file";
    writeTo(log, true);
    EXPECT_EQ(FileText(log), MessageLines(3, 1025) + "Writing file has been done!\r\n") << "Yes replaces it";

    std::ofstream(folder.File("plain")) << "a file, not a folder";
    const std::string unwritable = folder.File("plain") + "/log.txt";
    const QStringList before = dialog.Messages();
    rig.prompts.Clear();
    writeTo(unwritable, true);
    ASSERT_EQ(rig.prompts.prompts.size(), 1u);
    EXPECT_EQ(rig.prompts.prompts[0].text, QString::fromStdString(unwritable) + "\nCouldn't open this file");
    EXPECT_EQ(rig.prompts.prompts[0].caption, "File Open Error");
    EXPECT_EQ(rig.prompts.prompts[0].icon, UiPrompts::Icon::Exclamation);
    EXPECT_EQ(dialog.Messages(), before) << "a failed write is not announced";
    EXPECT_EQ(rig.settings.logFilePath, folder.path);

    rig.Click("clearMessages");
    EXPECT_TRUE(dialog.Messages().isEmpty());
}

TEST(CommSelDlgCamera, AutoSearchFindsTheCameraBehindSilentPorts)
{
    CommWindowRig rig;
    PtyPair silent1;
    PtyPair silent2;
    std::map<int, std::string> devices{{1, silent1.SlavePath()}, {2, silent2.SlavePath()}};
    rig.port.SetDeviceResolver([&](int n) { return devices.count(n) ? devices[n] : "/nonexistent/ttyS" + std::to_string(n); });
    rig.Inside().SetCommandTimeout(100);
    rig.window->Initialise();   // the probe on COM1 goes unanswered: an offline start
    CCommSelDlg& dialog = rig.Dialog();
    silent1.ReceiveUntil("EA?\r\n", std::chrono::milliseconds(500));
    rig.prompts.Clear();

    rig.Click("auto");
    ASSERT_EQ(rig.prompts.prompts.size(), 1u) << "no camera anywhere";
    EXPECT_EQ(rig.prompts.prompts[0].text,
              "No answer from Camera! (Timeout error)\nCheck power on Camera or serial cable connection.");
    EXPECT_EQ(rig.settings.lineOnline, 0u);
    EXPECT_FALSE(rig.port.IsOpen()) << "the line stays closed";
    EXPECT_EQ(silent1.ReceiveUntil("MD?\r\n", std::chrono::milliseconds(500)), "MD?\r\n") << "COM1 was asked for its model";

    devices[3] = rig.pty.DevicePath();
    rig.prompts.Clear();
    rig.Click("auto");
    EXPECT_TRUE(rig.prompts.prompts.empty());
    EXPECT_EQ(rig.settings.commPort, 2u) << "found on COM3";
    EXPECT_EQ(rig.List("portName")->currentText(), "COM3");
    EXPECT_TRUE(rig.port.IsOpen()) << "the line stays open";
    EXPECT_EQ(rig.settings.lineOnline, 1u);
    EXPECT_TRUE(Received(rig.camera, "SM?")) << "the camera found is read";
    EXPECT_TRUE(dialog.Messages().contains("MD?")) << "the probe is listed";
}

TEST(CommSelDlgCamera, ChangingTheLineKindClosesTheOldLineAndReconnects)
{
    const std::string libraries = std::getenv("LD_LIBRARY_PATH") ? std::getenv("LD_LIBRARY_PATH") : "";
    ASSERT_NE(libraries.find(KAVRO_CLSIM_DIR), std::string::npos)
        << "run through ctest: the stand-in libraries are found through LD_LIBRARY_PATH";
    CommWindowRig rig;
    setenv("KAVRO_CLSIM", ("device=" + rig.pty.DevicePath()).c_str(), 1);
    rig.window->Initialise();
    CCommSelDlg& dialog = rig.Dialog();
    ASSERT_TRUE(rig.port.IsOpen()) << "start-up on COM1";

    rig.Choose("category", LineClSpec2000);   // no grabber library in the folder
    EXPECT_EQ(rig.List("portName")->count(), 0);
    EXPECT_EQ(rig.settings.dllNo, 0u);
    EXPECT_EQ(rig.settings.selectedPortName, "");
    EXPECT_FALSE(rig.port.IsOpen()) << "the serial port was closed before the kind changed";
    EXPECT_TRUE(rig.prompts.LastText().startsWith("Failed to initialize!"));
    EXPECT_EQ(dialog.LineStatusText(), "Offline");
    EXPECT_FALSE(rig.Button("auto")->isEnabled());

    rig.camera.ClearReceivedLines();
    rig.Choose("category", LineClSpecV11);
    EXPECT_EQ(rig.settings.serialMode, static_cast<uint32_t>(LineClSpecV11));
    EXPECT_EQ(rig.Entries("portName"), QStringList({"Kavro Grabbers - Port 0"}));
    EXPECT_EQ(rig.settings.selectedPortName, "Kavro Grabbers - Port 0");
    EXPECT_TRUE(Received(rig.camera, "EA?")) << "reconnected through the library";
    EXPECT_EQ(dialog.LineStatusText(), "Online");
    EXPECT_TRUE(Received(rig.camera, "SM?")) << "and read";

    rig.camera.ClearReceivedLines();
    rig.Choose("category", LineComPort);
    EXPECT_EQ(rig.List("portName")->currentText(), "COM1");
    EXPECT_TRUE(rig.port.IsOpen()) << "the library's channel was closed and COM1 opened";
    EXPECT_TRUE(Received(rig.camera, "EA?"));
    EXPECT_TRUE(Received(rig.camera, "SM?"));
    EXPECT_TRUE(rig.Button("auto")->isEnabled());
    unsetenv("KAVRO_CLSIM");
}

TEST(CommSelDlgCamera, AreasAreQueriedStoredAndLoaded)
{
    CommWindowRig rig;
    rig.window->Initialise();
    CameraSession::Limits limits = rig.Inside().Session().GetLimits();
    limits.storedPauseMs = 1;
    limits.commandMs = 300;
    rig.Inside().Session().SetLimits(limits);

    rig.Click("getArea");
    EXPECT_EQ(rig.Find<QLabel>("currentArea")->text(), "Factory Data");

    rig.Choose("settingArea", 2);
    rig.Click("store");
    EXPECT_TRUE(Received(rig.camera, "SA=2"));
    rig.Click("getArea");
    EXPECT_EQ(rig.Find<QLabel>("currentArea")->text(), "User 2 Data");

    rig.camera.ClearReceivedLines();
    rig.Click("load");
    EXPECT_TRUE(Received(rig.camera, "LD=2"));
    EXPECT_TRUE(Received(rig.camera, "SM?")) << "an accepted load re-reads the camera";

    rig.camera.SetFaults(SwallowingReplies(1));
    rig.Click("getArea");
    EXPECT_EQ(rig.Find<QLabel>("currentArea")->text(), "?") << "an unanswered query shows no area";
}
