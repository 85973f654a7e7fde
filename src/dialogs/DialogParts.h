#pragma once

class QLabel;
class QElapsedTimer;
class QListWidget;
class QPushButton;
class QWidget;

// Widgets that every small window of the tool makes the same way.
namespace DialogParts {

// A push button that Enter never presses by accident: a camera operation
// runs only when it is clicked.
QPushButton* NewButton(QWidget* parent, const char* name, const char* text);

// The thin line-status strip at the bottom of a window (green online, red
// offline), as high as the status pictures.
QLabel* NewLineBar(QWidget* parent);

// A traffic list that gained a line: while an operation blocks, no event lays
// it out or paints it, so that is done at once (at most every 100 ms, `shown`
// keeping the time) and the operator sees the traffic go by.
void ShowNewLine(QListWidget* list, QElapsedTimer& shown);

}  // namespace DialogParts
