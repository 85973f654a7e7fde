#pragma once

#include <QWidget>

class QVariantAnimation;

// A frame drawn around a control that fades out within about a second and
// then removes itself. It runs on the event loop, never blocking, and lets
// every click through to what is under it.
class CtrlHighlight : public QWidget {
    Q_OBJECT

public:
    static constexpr int kFadeMs = 900;

    // Marks the control; a new mark on the same control replaces the old one.
    static CtrlHighlight* Mark(QWidget* control);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    explicit CtrlHighlight(QWidget* control);

    double m_strength = 1.0;   // 1 at the start, 0 when faded
    QVariantAnimation* m_fade = nullptr;
};
