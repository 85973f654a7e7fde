#pragma once

#include <QLabel>

// The thin strip at the bottom of a window that shows whether the camera
// answers (green online, red offline), as high as the status pictures. Every
// reply confirms the line, so the strip says when the state changed: only
// then does the main window tell the other windows.
class LineStatusStrip : public QLabel {
public:
    // Empty until the first state is shown.
    explicit LineStatusStrip(QWidget* parent, const QString& name = QStringLiteral("lineBar"));

    // False when the strip already showed this state.
    bool Show(bool online);

private:
    int m_shown = -1;   // -1 before the first state, else online as 0 or 1
};
