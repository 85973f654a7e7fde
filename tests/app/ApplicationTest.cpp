// The application object's start-up and shutdown, in process and as a real process.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QSettings>
#include <QTimer>

#include <climits>
#include <csignal>
#include <fstream>
#include <thread>

#include "app/CKavroApp.h"
#include "camsim/PtyCamera.h"
#include "camsim/VirtualCamera.h"
#include "comm/StopRequest.h"
#include "dialogs/BlockingScope.h"
#include "dialogs/QtUiPrompts.h"
#include "support/ChildProcess.h"
#include "support/FileQueries.h"
#include "support/MainWindowRig.h"
#include "support/ScriptedUiPrompts.h"
#include "support/Ser2net.h"
#include "support/TempFolder.h"
#include "support/WaitFor.h"

namespace {

void WriteProfile(const TempProfileHome& home, const std::string& text)
{
    std::filesystem::create_directories(std::filesystem::path(home.IniFile()).parent_path());
    std::ofstream(home.IniFile()) << "[General]\n" << text;
}

QVariant ProfileValue(const TempProfileHome& home, const char* name)
{
    return QSettings(QString::fromStdString(home.IniFile()), QSettings::IniFormat).value(name);
}

// Runs the application until its main window has started, then closes it in order.
void RunAndClose(CKavroApp& app)
{
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (app.MainWindow() && MainWindowAccess(*app.MainWindow()).IsInitialised()) {
            closer.stop();
            app.MainWindow()->CloseInOrder();
        }
    });
    closer.start(5);
    EXPECT_EQ(app.InitInstance(), 0);
}

// The tool as its own process, with its profile in the test's folder.
std::string ToolIn(const TempProfileHome& home)
{
    return "QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME='" + home.path + "' HOME='" + home.path + "' " KAVRO_TOOL_PATH;
}

// True once the process catches the signal: its handler is installed.
bool Catches(pid_t pid, int signalNumber)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("SigCgt:", 0) == 0)
            return (std::stoull(line.substr(7), nullptr, 16) >> (signalNumber - 1)) & 1;
    return false;
}

// A camera on a pseudo-terminal, and a profile folder for the tool.
class ApplicationWithCamera : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(pty.Start()); }
    TempProfileHome home;
    camsim::VirtualCamera camera;
    camsim::PtyCamera pty{camera};
};

}  // namespace

// Without a camera the tool runs offline and still ends in order; after a run
// that crashed on a Camera Link line it starts on the serial port.
TEST_F(ApplicationWithCamera, WithoutACameraItRunsOfflineAndACrashedCameraLinkRunStartsOnTheSerialPort)
{
    WriteProfile(home, "COM1=/nonexistent/tty\nNormal%20Shutdown=1\n");
    ScriptedUiPrompts prompts;
    {
        CKavroApp app(prompts);
        RunAndClose(app);
        EXPECT_EQ(app.Settings().lineOnline, 0u);
    }
    ASSERT_FALSE(prompts.prompts.empty());
    EXPECT_TRUE(prompts.prompts[0].text.startsWith("Failed to initialize!\nCOM1 (/nonexistent/tty) does not exist"));
    EXPECT_EQ(ProfileValue(home, "Normal Shutdown").toInt(), 1);
    EXPECT_EQ(ProfileValue(home, "Active Mode").toString(), "USER") << "the profile was written at exit";

    WriteProfile(home, "COM1=" + pty.DevicePath() + "\nSerial%20Mode=3\nNormal%20Shutdown=0\n");
    prompts.Clear();
    CKavroApp app(prompts);
    RunAndClose(app);
    EXPECT_EQ(app.Settings().serialMode, 0u);
    ASSERT_FALSE(camera.ReceivedLines().empty());
    EXPECT_EQ(camera.ReceivedLines().front(), "EA?") << "the camera was reached on COM1";
    EXPECT_EQ(ProfileValue(home, "Serial Mode").toInt(), 0);
    EXPECT_TRUE(prompts.prompts.empty());
}

// SIGTERM during the factory reading of the start ends the reading and closes
// in order; a second copy, offline on the busy port, closes as well and the
// profile survives both.
TEST_F(ApplicationWithCamera, SigtermDuringAReadingClosesInOrderAndASecondCopyCorruptsNothing)
{
    camsim::Faults slow;
    slow.replyDelayMs = 300;   // the whole reading would take well over a minute
    camera.SetFaults(slow);
    WriteProfile(home, "COM1=" + pty.DevicePath() + "\nComm%20Port=0\nActive%20Mode=FACTORY\nNormal%20Shutdown=1\n");

    ChildProcess first(ToolIn(home));
    ASSERT_TRUE(WaitFor([&] { return camera.ReceivedLines().size() >= 3; }, 20000)) << "the reading runs";
    EXPECT_EQ(ProfileValue(home, "Normal Shutdown").toInt(), 0) << "a running tool marks its run";
    ChildProcess second(ToolIn(home));   // its COM1 is busy: it runs offline
    ASSERT_TRUE(WaitFor([&] { return Catches(second.Pid(), SIGTERM); }, 20000)) << "the second copy is up";
    second.Signal(SIGTERM);
    const size_t linesAtSignal = camera.ReceivedLines().size();
    first.Signal(SIGTERM);
    EXPECT_EQ(first.Wait(), 0) << "the tool ended in order at the signal, not after the reading: " << first.Err();
    EXPECT_EQ(second.Wait(), 0) << second.Err();
    EXPECT_LE(camera.ReceivedLines().size(), linesAtSignal + 1) << "the rows left were not tried";

    QSettings profile(QString::fromStdString(home.IniFile()), QSettings::IniFormat);
    EXPECT_EQ(profile.status(), QSettings::NoError);
    EXPECT_EQ(profile.value("Normal Shutdown").toInt(), 1);
    EXPECT_EQ(profile.value("Active Mode").toString(), "FACTORY");
    EXPECT_EQ(profile.value("COM1").toString().toStdString(), pty.DevicePath()) << "values the tool does not own survive";
    EXPECT_TRUE(profile.contains("Command CRC"));
}

// SIGTERM while the exit question stands: the tool closes in order at once,
// without an answer, and the stop it asked for ends with it.
TEST_F(ApplicationWithCamera, ASignalWhileTheExitQuestionStandsClosesAtOnce)
{
    WriteProfile(home, "COM1=" + pty.DevicePath() + "\nComm%20Port=0\nNormal%20Shutdown=1\n");
    QtUiPrompts boxes;
    CKavroApp app(boxes);
    const auto startedUp = [&] {
        const std::vector<std::string> lines = camera.ReceivedLines();
        return !lines.empty() && lines.back().rfind("TPN=", 0) == 0 && !Operation::IsRunning();
    };
    QTimer closeBox;   // the title bar's close box, once the start-up reading is over
    QObject::connect(&closeBox, &QTimer::timeout, [&] {
        if (app.MainWindow() && startedUp()) {
            closeBox.stop();
            app.MainWindow()->close();   // the question stands in here
        }
    });
    QElapsedTimer sinceSignal;
    QTimer signaller;   // SIGTERM once the question stands; a run that ignores it is ended after 3 s
    QObject::connect(&signaller, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box && !sinceSignal.isValid()) {
            sinceSignal.start();
            raise(SIGTERM);
        } else if (sinceSignal.isValid() && sinceSignal.elapsed() > 3000) {
            if (box)
                box->done(QMessageBox::No);
            else if (app.MainWindow())
                app.MainWindow()->CloseInOrder();
        }
    });
    closeBox.start(20);
    signaller.start(20);
    EXPECT_EQ(app.InitInstance(), 0);
    ASSERT_TRUE(sinceSignal.isValid()) << "the question was asked";
    EXPECT_LT(sinceSignal.elapsed(), 1000) << "closed within a second of the signal";
    EXPECT_FALSE(StopRequest::Raised()) << "the stop ended with the shutdown it asked for";
    EXPECT_EQ(ProfileValue(home, "Normal Shutdown").toInt(), 1);
}

TEST(Application, AStartUpReadingEndsAtAHangUpAndTakesValuesAtTheEdge)
{
    MainWindowRig rig(ActiveFactory);
    rig.camera.SetRegister("STL", INT_MAX);   // each bounds the other's spin, within the other's own range
    rig.camera.SetRegister("ETL", INT_MIN);
    camsim::Faults faults;
    faults.hangUpAtCommand = 80;
    rig.camera.SetFaults(faults);
    rig.Inside().SetCommandTimeout(150);
    rig.window->Initialise();

    EXPECT_EQ(rig.Inside().Cur(MainWindowRig::Cmd("STL")), INT_MAX);
    EXPECT_EQ(rig.Registry().SpinRange(rig.Id("ETL")).first, 1040) << "the bound stops at the other's edge";
    EXPECT_EQ(rig.Registry().SpinRange(rig.Id("STL")).second, 1);

    EXPECT_TRUE(rig.pty.HungUp());
    EXPECT_EQ(rig.settings.lineOnline, 0u) << "the line shows offline";
    EXPECT_LT(rig.Inside().CommSel().Messages().size(), 250) << "the rows left after the hang-up were not tried";
    ASSERT_EQ(rig.prompts.prompts.size(), 1u);
    EXPECT_TRUE(rig.prompts.LastText().startsWith("The line to the camera was lost: 78 of 344 settings read."))
        << "the operator is told, with how far the reading came: " << rig.prompts.LastText().toStdString();
    EXPECT_TRUE(rig.Inside().IsInitialised()) << "the tool stays open";
}

TEST_F(ApplicationWithCamera, OnANetworkPortItReadsTheCameraAndStaysOpenOfflineWhenTheConnectionEnds)
{
    camsim::Faults slow;
    slow.replyDelayMs = 100;   // the whole reading would take some 7 s
    camera.SetFaults(slow);
    Ser2net ser2net({{pty.DevicePath(), Ser2net::Mode::Rfc2217}});
    ASSERT_TRUE(ser2net.WaitListening()) << ser2net.Log();
    WriteProfile(home, "COM1=" + ser2net.Name(0) + "\nComm%20Port=0\nNormal%20Shutdown=1\n");

    std::chrono::steady_clock::time_point stopped;
    std::thread stopper([&] {
        WaitFor([&] { return camera.ReceivedLines().size() >= 10; }, 20000);
        stopped = std::chrono::steady_clock::now();
        ser2net.Stop(SIGKILL);
    });
    ScriptedUiPrompts prompts;
    CKavroApp app(prompts);
    QStringList messages;
    std::chrono::steady_clock::time_point readingEnded;
    QTimer started;   // looks in once the start-up reading has ended
    QObject::connect(&started, &QTimer::timeout, [&] {
        if (app.MainWindow() == nullptr || !MainWindowAccess(*app.MainWindow()).IsInitialised() || Operation::IsRunning())
            return;
        started.stop();
        readingEnded = std::chrono::steady_clock::now();
        messages = MainWindowAccess(*app.MainWindow()).CommSel().Messages();
        app.MainWindow()->CloseInOrder();
    });
    started.start(5);
    EXPECT_EQ(app.InitInstance(), 0);
    stopper.join();

    const QString firstAnswer = QString::fromStdString(FileQueries(false)[0]).chopped(1) + "=";
    EXPECT_TRUE(std::any_of(messages.begin(), messages.end(), [&](const QString& line) { return line.startsWith(firstAnswer); }))
        << "the camera was read through ser2net: " << messages.join(" | ").toStdString();
    EXPECT_LT(readingEnded - stopped, std::chrono::seconds(1)) << "the connection ending ends the reading at once, "
                                                                   "and the tool stays open";
    EXPECT_EQ(app.Settings().lineOnline, 0u) << "the line shows offline";
    ASSERT_EQ(prompts.prompts.size(), 1u);
    EXPECT_TRUE(prompts.LastText().startsWith("The line to the camera was lost:")) << prompts.LastText().toStdString();
}
