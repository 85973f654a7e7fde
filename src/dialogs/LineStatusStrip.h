#pragma once

#include <QLabel>

// The thin strip under the main window's pages that shows whether the camera
// answers. Every reply confirms the line, so the strip says when the state
// changed: only then are the other windows told.
class LineStatusStrip : public QLabel {
public:
    // Shows the line offline until the first state arrives.
    explicit LineStatusStrip(QWidget* parent);

    // False when the strip already showed this state.
    bool Show(bool online);

private:
    int m_shown = -1;   // -1 before the first state, else online as 0 or 1
};
