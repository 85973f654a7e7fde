#include "dialogs/CLUTDlg.h"

#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

#include <algorithm>

#include "comm/EngineHost.h"
#include "comm/StopRequest.h"
#include "dialogs/BlockingScope.h"
#include "dialogs/CProgDlg.h"
#include "dialogs/CompanionOwner.h"
#include "dialogs/LutEditorTexts.h"
#include "dialogs/StatusPictures.h"
#include "dialogs/UiPrompts.h"
#include "lut/LutTransfer.h"

namespace {

const QColor kChannelColours[] = {QColor(255, 0, 0), QColor(0, 255, 0), QColor(0, 0, 255)};
const QColor kGridColour(100, 50, 100);

// The window is laid out in dialog units of its small font: 1.5 pixels across
// and 1.375 down each, so that the graph's 341 x 379 units are its pixels.
QRect Dlu(int x, int y, int width, int height)
{
    return QRect(x * 3 / 2, y * 11 / 8, width * 3 / 2, height * 11 / 8);
}

// A text wider than its cell (the desktop's font is not the template's)
// grows the cell, keeping its alignment.
void FitText(QWidget* widget, Qt::Alignment alignment)
{
    const int extra = widget->sizeHint().width() - widget->width();
    if (extra <= 0)
        return;
    QRect r = widget->geometry();
    r.setWidth(r.width() + extra);
    if (alignment & Qt::AlignHCenter)
        r.translate(-extra / 2, 0);
    widget->setGeometry(r);
}

struct LabelCell {
    const char* text;
    QRect rect;
    Qt::Alignment alignment;
};

const LabelCell kAxisLabels[] = {
    {"8191", Dlu(87, 10, 17, 9), Qt::AlignHCenter},
    {"4095", Dlu(88, 198, 15, 9), Qt::AlignHCenter},
    {"0", Dlu(96, 380, 9, 9), Qt::AlignHCenter},
    {"0", Dlu(111, 393, 12, 8), Qt::AlignLeft},
    {"255", Dlu(273, 394, 12, 8), Qt::AlignLeft},
    {"511(x16)  ", Dlu(433, 394, 27, 8), Qt::AlignLeft},
};

}  // namespace

CLUTDlg::CLUTDlg(int channel, CompanionOwner& owner, int lineOnline)
    : QDialog(nullptr),
      m_owner(owner),
      m_channel(channel < 0 || channel > 2 ? 0 : channel),
      m_lut(LutPoints::StartingTable()),
      m_computedFrom(m_points.Used()),
      m_sendTimeoutMs(LutTransfer::kSendTimeoutMs),
      m_readTimeoutMs(LutTransfer::kReadTimeoutMs)
{
    setWindowTitle(LutEditorTexts::kCaptions[m_channel]);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint);
    BuildControls();
    SetCommStatus(lineOnline);
}

void CLUTDlg::BuildControls()
{
    QFont small = font();
    small.setPointSize(8);
    setFont(small);
    resize(Dlu(0, 0, 464, 418).size() + QSize(8, 0));   // room for "511(x16)" in the desktop font
    setMinimumSize(size());   // never smaller than the graph and the buttons laid out in it
    auto* group = new QGroupBox("Setting", this);
    group->setGeometry(Dlu(7, 41, 86, 74));
    const struct {
        const char* text;
        QRect rect;
        void (CLUTDlg::*handler)();
    } buttons[] = {
        {"Send Table Data", Dlu(15, 60, 69, 14), &CLUTDlg::OnSendTable},
        {"Read Camera Data", Dlu(15, 87, 69, 14), &CLUTDlg::OnReadTable},
        {"Clear LUT Point", Dlu(16, 145, 68, 14), &CLUTDlg::OnClearPoints},
    };
    for (const auto& b : buttons) {
        auto* button = new QPushButton(b.text, this);
        button->setGeometry(b.rect);
        button->setAutoDefault(false);   // Enter closes the window, as everywhere in the tool
        FitText(button, Qt::AlignHCenter);
        connect(button, &QPushButton::clicked, this, b.handler);
    }
    for (const LabelCell& cell : kAxisLabels) {
        auto* label = new QLabel(cell.text, this);
        label->setGeometry(cell.rect);
        label->setAlignment(cell.alignment | Qt::AlignVCenter);
        FitText(label, cell.alignment);
    }
    m_graph = new QWidget(this);
    m_graph->setGeometry(kGraphLeft, kGraphTop, LutPoints::kGraphRight, LutPoints::kGraphBottom);
    m_graph->setAttribute(Qt::WA_OpaquePaintEvent);
    m_graph->installEventFilter(this);
    m_statusStrip = new QLabel(this);
    m_statusStrip->setGeometry(Dlu(95, 407, 367, 3));
    m_statusStrip->setScaledContents(true);
}

// ---- buttons ----------------------------------------------------------------

void CLUTDlg::OnClearPoints()
{
    m_points.Clear(m_graph->width(), m_graph->height());
    InvalidateGraph();
    m_tableType = TableFromPoints;
}

void CLUTDlg::OnSendTable()
{
    Transfer(LutEditorTexts::kSending, LutEditorTexts::kSendCancelled,
             [this](LutTransfer& transfer, const LutTransfer::EntryDone& done) {
                 return transfer.SendTable(m_channel, m_lut, done) == 1;
             });
}

void CLUTDlg::OnReadTable()
{
    const bool whole = Transfer(LutEditorTexts::kReading, LutEditorTexts::kReadCancelled,
                                [this](LutTransfer& transfer, const LutTransfer::EntryDone& done) {
                                    return transfer.ReadTable(m_channel, MutableLut(), done) == 1;
                                });
    if (!whole)
        return;   // entries read so far stay; the type and the drawing do not change
    m_tableType = TableGiven;
    InvalidateGraph();
    DrawTable();
    activateWindow();
}

// The table moved one way under the progress window; true when it moved
// whole and was not cancelled. Without an engine (before start-up, after the
// end) nothing moves.
bool CLUTDlg::Transfer(const char* message, const char* cancelled,
                       const std::function<bool(LutTransfer&, const LutTransfer::EntryDone&)>& move)
{
    CRsCmd* engine = m_owner.Camera();
    if (!engine)
        return false;
    BlockingScope blocking;
    CProgDlg& progress = m_owner.Progress();
    progress.Create(this);
    progress.SetMessage(message);
    LutTransfer transfer(*engine);
    transfer.SetTimeouts(m_sendTimeoutMs, m_readTimeoutMs);
    int moved = 0;
    const bool whole = move(transfer, [&](int k) {
        moved = k + 1;
        progress.SetPos(moved * 100 / kLutEntries);
    });
    progress.Destroy();
    return !ReportCancel(cancelled, moved) && whole;
}

bool CLUTDlg::ReportCancel(const char* text, int entries)
{
    if (!StopRequest::CancelRaised())
        return false;
    m_owner.Prompts().Message(this, QString(text).arg(entries).arg(kLutEntries), EngineHost::kToolCaption,
                              UiPrompts::Icon::Information);
    return true;
}

// ---- mouse -------------------------------------------------------------------

void CLUTDlg::OnMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint position)
{
    const int x = position.x(), y = position.y();
    if (x < kGraphLeft || x > kGraphLeft + 511 || y < kGraphTop || y > kGraphTop + 512)
        return;
    const int gx = x - kGraphLeft, gy = y - kGraphTop;
    const bool plain = !(modifiers & (Qt::ShiftModifier | Qt::ControlModifier));
    if (plain && buttons == Qt::LeftButton) {
        m_points.DragOrAdd(gx, gy);
        InvalidateGraph();
    } else if (plain && buttons == Qt::RightButton) {
        m_points.DeleteNear(gx, gy);
        InvalidateGraph();
    }
    m_points.SortByX();
}

bool CLUTDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_graph)
        return QDialog::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Paint:
        OnPaint();
        return true;
    case QEvent::MouseButtonPress:   // a click acts as a move without moving
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        OnMouseMove(mouse->buttons(), mouse->modifiers(), m_graph->mapTo(this, mouse->position().toPoint()));
        return true;
    }
    default:
        return QDialog::eventFilter(watched, event);
    }
}

void CLUTDlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Escape) {
        hide();
        return;
    }
    QDialog::keyPressEvent(event);
}

// ---- drawing -------------------------------------------------------------------

void CLUTDlg::InvalidateGraph()
{
    m_graph->update();
}

void CLUTDlg::DrawTable()
{
    m_graph->repaint();
}

// The table follows the points while they shape it; it is computed again only
// when a point moved, so a drag repaints without delay.
void CLUTDlg::OnPaint()
{
    QPainter painter(m_graph);
    painter.fillRect(m_graph->rect(), Qt::white);
    PaintGrid(painter);
    if (m_tableType == TableFromPoints) {
        PaintPoints(painter);
        const std::vector<LutPoint> points = m_points.Used();
        if (m_computedFrom.size() != points.size()
            || !std::equal(points.begin(), points.end(), m_computedFrom.begin(),
                           [](const LutPoint& a, const LutPoint& b) { return a.x == b.x && a.y == b.y; })) {
            m_lut = ComputeTable(points, m_graph->height());
            m_computedFrom = points;
        }
    }
    PaintTable(painter);
}

void CLUTDlg::PaintGrid(QPainter& painter) const
{
    painter.setPen(QPen(kGridColour, 1));
    const int right = m_graph->width(), bottom = m_graph->height();
    const int w = right / 10, h = bottom / 10;
    for (int x = 0; x < right; x += w)
        painter.drawLine(x, 0, x, bottom);
    for (int y = bottom - 1; y >= 0; y -= h)
        painter.drawLine(0, y, right, y);
}

void CLUTDlg::PaintPoints(QPainter& painter) const
{
    painter.setPen(QPen(kGridColour, 1));
    painter.setBrush(Qt::white);
    for (int i = 0; i < m_points.Count(); ++i)
        painter.drawEllipse(QRect(m_points.At(i).x - 4, m_points.At(i).y - 4, 8, 8));
    painter.setBrush(Qt::NoBrush);
}

// Entry k at pixel x = k, its value rounded to the pixel row; entries off the
// graph (negative values from the camera) are skipped.
void CLUTDlg::PaintTable(QPainter& painter) const
{
    painter.setPen(QPen(kChannelColours[m_channel], 2));
    const int right = m_graph->width(), bottom = m_graph->height();
    QPolygon curve;
    curve << (m_tableType == TableFromPoints ? QPoint(m_points.At(0).x, m_points.At(0).y) : QPoint(0, bottom));
    for (int k = 0; k < kLutEntries; ++k) {
        const uint32_t v = static_cast<uint32_t>(m_lut[static_cast<size_t>(k)]);
        const long long y = bottom - static_cast<long long>(v / 16 + (v % 16 >= 8 ? 1 : 0));
        if (y >= 0 && y <= bottom && k <= right)
            curve << QPoint(k, static_cast<int>(y));
    }
    painter.drawPolyline(curve);
}

// ---- state ---------------------------------------------------------------------

void CLUTDlg::SetCommStatus(int state)
{
    m_statusStrip->setPixmap(StatusPictures::LineBar(state == 1));
}

LutTable& CLUTDlg::MutableLut()
{
    m_computedFrom.clear();
    return m_lut;
}

void CLUTDlg::SetTable(const LutTable& table)
{
    MutableLut() = table;
    m_tableType = TableGiven;
}

void CLUTDlg::SetTimeouts(int sendMs, int readMs)
{
    m_sendTimeoutMs = sendMs;
    m_readTimeoutMs = readMs;
}
