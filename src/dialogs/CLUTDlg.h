#pragma once

#include <QDialog>

#include <functional>
#include <vector>

#include "lut/LutPoints.h"
#include "lut/LutTable.h"
#include "lut/LutTransfer.h"

class QLabel;
class QPainter;
class CompanionOwner;

// The editor of one channel's look-up table: the table drawn as a curve on a
// 515 x 516 pixel graph, shaped by up to 15 control points that the mouse
// adds, drags and deletes, and sent to or read from the camera. The window is
// top-level; closing it only hides it, and its table and points live on.
class CLUTDlg : public QDialog {
    Q_OBJECT

public:
    enum TableType { TableFromPoints = 4, TableGiven = 5 };
    static constexpr int kGraphLeft = 160;   // the graph's place in the window
    static constexpr int kGraphTop = 20;

    CLUTDlg(int channel, CompanionOwner& owner, int lineOnline);

    // Buttons.
    void OnClearPoints();
    void OnSendTable();
    void OnReadTable();

    // Mouse position in window pixels; see the point rules in LutPoints.
    void OnMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint position);

    void InvalidateGraph();
    void DrawTable();   // repaints the graph now
    void SetCommStatus(int state);

    // The table. Writing through MutableLut makes the next paint in table
    // type 4 compute it from the points again.
    const LutTable& Lut() const { return m_lut; }
    LutTable& MutableLut();
    // A table given whole (file, camera): drawn as it is, without points.
    void SetTable(const LutTable& table);
    int Channel() const { return m_channel; }
    int TableType() const { return m_tableType; }
    const LutPoints& Points() const { return m_points; }
    QWidget* Graph() const { return m_graph; }
    void SetTimeouts(int sendMs, int readMs);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildControls();
    bool Transfer(const char* message, const char* cancelled,
                  const std::function<bool(LutTransfer&, const LutTransfer::EntryDone&)>& move);
    bool ReportCancel(const char* text, int entries);
    void OnPaint();
    void PaintGrid(QPainter& painter) const;
    void PaintPoints(QPainter& painter) const;
    void PaintTable(QPainter& painter) const;

    // ---- what the editor works on
    CompanionOwner& m_owner;
    const int m_channel;   // 0 red, 1 green, 2 blue
    int m_tableType = TableFromPoints;
    LutTable m_lut{};
    LutPoints m_points;
    std::vector<LutPoint> m_computedFrom;   // the points m_lut was computed from; empty: compute again
    int m_sendTimeoutMs;
    int m_readTimeoutMs;

    // ---- controls
    QWidget* m_graph = nullptr;
    QLabel* m_statusStrip = nullptr;
};
