#pragma once

class QLabel;
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

}  // namespace DialogParts
