// kavro-lut-screenshot FILE.png: the red LUT editor off screen with a curve
// shaped by four points, as the documentation shows it.
#include <QApplication>
#include <QMouseEvent>
#include <QPixmap>

#include <cstdio>

#include "dialogs/CLUTDlg.h"
#include "dialogs/CProgDlg.h"
#include "dialogs/CompanionOwner.h"

namespace {

// The picture needs no camera: nothing is sent.
class NoCameraOwner : public CompanionOwner {
public:
    CRsCmd* Camera() override { return nullptr; }
    CProgDlg& Progress() override { return m_progress; }
    QWidget* OwnerWindow() override { return nullptr; }
    UiPrompts& Prompts() override { std::abort(); }

private:
    CProgDlg m_progress;
};

void Click(CLUTDlg& editor, QPoint at)
{
    QMouseEvent press(QEvent::MouseButtonPress, at, editor.Graph()->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(editor.Graph(), &press);
}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: kavro-lut-screenshot FILE.png\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    NoCameraOwner owner;
    CLUTDlg editor(0, owner, 1);
    for (const QPoint& at : {QPoint(90, 330), QPoint(250, 170), QPoint(400, 120)})
        Click(editor, at);
    editor.show();
    if (!editor.grab().save(argv[1])) {
        std::fprintf(stderr, "kavro-lut-screenshot: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
