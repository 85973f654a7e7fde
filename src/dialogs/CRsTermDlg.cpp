#include "dialogs/CRsTermDlg.h"

#include <QLineEdit>
#include <QPushButton>

#include <chrono>
#include <string>

#include "settings/AppSettings.h"
#include "comm/CRsCmd.h"
#include "dialogs/CompanionOwner.h"
#include "dialogs/DialogParts.h"
#include "dialogs/LineStatusStrip.h"
#include "dialogs/NewestFirstList.h"
#include "dialogs/StatusPictures.h"

using DialogParts::NewButton;

namespace {

// The window's first size, in pixels of an ordinary dialog font.
const int kInitialWidth = 432;
const int kInitialHeight = 377;
const int kButtonWidth = 60;
const int kRightColumn = 80;   // room kept right of the edit and the list for the buttons

uint32_t SteadyTicks()
{
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

}  // namespace

CRsTermDlg::Layout CRsTermDlg::LayoutFor(int cx, int cy)
{
    const int buttonLeft = cx - kRightColumn + 10;
    auto button = [buttonLeft](int top) { return QRect(buttonLeft, top, kButtonWidth, 20); };
    Layout layout;
    layout.edit = QRect(QPoint(10, 10), QPoint(cx - kRightColumn - 1, 29));
    layout.list = QRect(QPoint(10, 42), QPoint(cx - kRightColumn - 1, cy - 11));
    layout.close = button(10);
    layout.send = button(34);
    layout.clear = button(58);
    layout.save = button(82);
    // Along the bottom edge, below the list, whatever the size.
    layout.lineBar = QRect(3, cy - 6, cx - 6, StatusPictures::kBarHeight);
    return layout;
}

CRsTermDlg::CRsTermDlg(AppSettings& settings, CompanionOwner& owner, QWidget* parent, TickSource ticks)
    : QDialog(parent), m_settings(settings), m_owner(owner), m_ticks(ticks ? std::move(ticks) : SteadyTicks)
{
    setObjectName("terminal");
    setWindowTitle("RS-232C TERMINAL");
    setSizeGripEnabled(true);
    setMinimumSize(240, 160);

    m_edit = new QLineEdit(this);
    m_edit->setObjectName("command");
    m_list = new NewestFirstList(kMaxLines, this);
    m_list->setObjectName("traffic");
    m_close = NewButton(this, "close", "Close");
    m_send = NewButton(this, "send", "Send");
    m_send->setDefault(true);
    m_clear = NewButton(this, "clear", "Clear");
    m_save = NewButton(this, "save", "Save");
    m_save->hide();
    m_lineBar = new LineStatusStrip(this);

    connect(m_send, &QPushButton::clicked, this, &CRsTermDlg::OnSend);
    connect(m_clear, &QPushButton::clicked, this, &CRsTermDlg::OnClear);
    connect(m_close, &QPushButton::clicked, this, &CRsTermDlg::Hide);

    m_startTick = m_ticks();
    m_edit->setText(QString::fromStdString(m_settings.lastCommand));
    SetLineStatus(static_cast<int>(m_settings.lineOnline));
    resize(kInitialWidth, kInitialHeight);
}

void CRsTermDlg::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    const Layout layout = LayoutFor(width(), height());
    m_edit->setGeometry(layout.edit);
    m_list->setGeometry(layout.list);
    m_close->setGeometry(layout.close);
    m_send->setGeometry(layout.send);
    m_clear->setGeometry(layout.clear);
    m_save->setGeometry(layout.save);
    m_lineBar->setGeometry(layout.lineBar);
}

void CRsTermDlg::AddTraffic(const QString& text)
{
    // Unsigned arithmetic keeps the count right when the 32-bit clock wraps.
    const uint32_t seconds = (m_ticks() - m_startTick) / 1000u;
    m_list->AddLine(QString::asprintf("%04u ", seconds) + text);
}

void CRsTermDlg::SetLineStatus(int state)
{
    m_lineBar->Show(state == 1);
}

// The line goes out as typed with CR LF; the reply shows up as an "Rx: " line
// when the engine reads it. The text stays for sending again.
void CRsTermDlg::OnSend()
{
    CRsCmd* engine = m_owner.Camera();
    if (!engine)
        return;
    std::string line = m_edit->text().toStdString() + "\r\n";
    engine->SendText(line, 1);
}

void CRsTermDlg::OnClear()
{
    m_list->Clear();
}

void CRsTermDlg::Hide()
{
    hide();
    m_settings.lastCommand = m_edit->text().toStdString();
}
