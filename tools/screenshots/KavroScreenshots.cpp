// kavro-screenshots OUTDIR: starts the real main window against a virtual
// camera on a pseudo-terminal, off screen on a desktop-sized screen, and saves
// every page at the user and at the factory level, the communication window,
// and both windows side by side after the level switch.
#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QTableWidget>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "settings/AppSettings.h"
#include "camsim/PtyCamera.h"
#include "camsim/VirtualCamera.h"
#include "comm/camlink/ClSerialLib.h"
#include "comm/serial/SerialPort.h"
#include "dialogs/CCommSelDlg.h"
#include "dialogs/QtUiPrompts.h"
#include "mainwin/CCompareDlg.h"
#include "mainwin/CFindDlg.h"
#include "mainwin/CKavroDlg.h"
#include "params/CDlgParameterSheet.h"

namespace {

const char kScreens[] = R"({"screens": [{"name": "desktop", "x": 0, "y": 0, "width": 1920, "height": 1200,)"
                        R"( "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})";

QString PageFileName(const char* level, int pageIndex, const QString& caption)
{
    QString name = caption;
    name.replace(' ', '-');
    return QStringLiteral("%1-page-%2-%3.png").arg(level).arg(pageIndex).arg(name);
}

void Settle()
{
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

// Boxes as the tool shows them; the settings file to compare with is chosen here.
class ComparePrompts : public QtUiPrompts {
public:
    QString ChooseOpenFile(QWidget*, const QString&, const QString&, const QString&) override { return file; }
    QString file;
};

void PressEnter(QWidget& widget)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(&widget, &press);
}

// The chord and the access code, as the operator types them.
void SwitchLevel(QWidget& window)
{
    auto press = [&window](int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QKeyEvent event(QEvent::KeyPress, key, modifiers);
        QApplication::sendEvent(&window, &event);
    };
    press(Qt::Key_F10, Qt::ControlModifier | Qt::ShiftModifier);
    for (int key : {Qt::Key_K, Qt::Key_V, Qt::Key_R})
        press(key);
    Settle();
}

class Saver {
public:
    explicit Saver(const QDir& dir) : m_dir(dir) {}
    void Save(const QPixmap& picture, const QString& name)
    {
        const QString file = m_dir.filePath(name);
        if (!picture.save(file)) {
            std::fprintf(stderr, "kavro-screenshots: cannot write %s\n", qPrintable(file));
            ++m_failures;
            return;
        }
        std::printf("%s (%dx%d)\n", qPrintable(file), picture.width(), picture.height());
    }
    int Failures() const { return m_failures; }

private:
    QDir m_dir;
    int m_failures = 0;
};

void SavePages(CKavroDlg& window, const char* level, Saver& saver)
{
    QTabWidget& tabs = *window.findChild<QTabWidget*>();
    for (int tab = 0; tab < tabs.count(); ++tab) {
        tabs.setCurrentIndex(tab);
        Settle();
        const auto* page = static_cast<CDlgParameterSheet*>(tabs.currentWidget());
        saver.Save(window.grab(), PageFileName(level, page->GetPageIndex(), page->GetPageTitle()));
    }
    tabs.setCurrentIndex(0);
    Settle();
}

// Both windows as they stand on the screen, on the desktop's background.
QPixmap SideBySide(QWidget& main, QWidget& companion)
{
    const QRect area = main.frameGeometry().united(companion.frameGeometry()).adjusted(-8, -8, 8, 8);
    QPixmap picture(area.size());
    picture.fill(QColor(0x5a, 0x6e, 0x82));
    QPainter painter(&picture);
    for (QWidget* window : {&main, &companion})
        painter.drawPixmap(window->geometry().topLeft() - area.topLeft(), window->grab());
    return picture;
}

// The find window where it opens, the chosen control just marked.
void SaveFind(CKavroDlg& window, Saver& saver)
{
    window.OnFindSetting();
    CFindDlg& find = *window.findChild<CFindDlg*>();
    find.Text().setText("gain");
    find.List().setCurrentRow(0);
    Settle();
    PressEnter(find.Text());
    Settle();
    saver.Save(SideBySide(window, find), "find-setting.png");
    find.close();
}

// A comparison with a file that differs from the camera in three values.
void SaveCompare(CKavroDlg& window, const QTemporaryDir& home, ComparePrompts& prompts, Saver& saver)
{
    const QString path = home.filePath("golden.cam");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write("SDM=0\r\nGA=120\r\nGAR=0\r\nGAB=0\r\nAGCF=50\r\nKN=0\r\nKSR=700\r\nKPR=4095\r\n") < 0)
        return;
    file.close();
    prompts.file = path;
    window.OnCompareWithFile();
    auto* compare = window.findChild<CCompareDlg*>();
    if (compare == nullptr)
        return;
    compare->Table().item(0, CCompareDlg::ColPage)->setCheckState(Qt::Checked);
    compare->Table().item(2, CCompareDlg::ColPage)->setCheckState(Qt::Checked);
    compare->resize(660, 360);
    Settle();
    saver.Save(compare->grab(), "compare-with-file.png");
    compare->close();
}

}  // namespace

int main(int argc, char* argv[])
{
    QTemporaryDir home;   // the profile the run writes stays out of the user's
    if (!home.isValid())
        return 1;
    const QString screensFile = home.filePath("screens.json");
    {
        QFile screens(screensFile);
        if (!screens.open(QIODevice::WriteOnly) || screens.write(kScreens) < 0)
            return 1;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + screensFile.toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: kavro-screenshots OUTDIR\n");
        return 2;
    }
    const QDir outDir(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(outDir.path())) {
        std::fprintf(stderr, "kavro-screenshots: cannot create %s\n", argv[1]);
        return 1;
    }

    camsim::VirtualCamera camera;
    camsim::PtyCamera pty(camera);
    if (!pty.Start()) {
        std::fprintf(stderr, "kavro-screenshots: no virtual camera: %s\n", pty.ErrorText().c_str());
        return 1;
    }
    AppSettings settings;
    settings.activeMode = ActiveUser;
    settings.baudIndex = 4;
    SerialPort port;
    port.SetDeviceResolver([&pty](int n) { return n == 1 ? pty.DevicePath() : "/nonexistent/ttyS" + std::to_string(n); });
    ClSerialLib camLink("/nonexistent");
    ComparePrompts prompts;
    Saver saver(outDir);
    {
        CKavroDlg window(settings, port, camLink, prompts);
        auto& commSel = *window.findChild<CCommSelDlg*>();
        window.move(40, 40);
        window.show();
        Settle();
        window.Initialise();
        Settle();
        SavePages(window, "user", saver);
        saver.Save(commSel.grab(), "communication.png");
        SaveFind(window, saver);
        SaveCompare(window, home, prompts, saver);

        SwitchLevel(window);
        SavePages(window, "factory", saver);
        saver.Save(SideBySide(window, commSel), "main-and-communication.png");
        window.CloseInOrder();
        window.DestroyWindow();
    }
    pty.Stop();
    return saver.Failures() == 0 ? 0 : 1;
}
