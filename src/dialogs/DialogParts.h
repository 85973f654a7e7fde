#pragma once

class QPushButton;
class QWidget;

// Widgets that every small window of the tool makes the same way.
namespace DialogParts {

// A push button that Enter never presses by accident: a camera operation
// runs only when it is clicked.
QPushButton* NewButton(QWidget* parent, const char* name, const char* text);

}  // namespace DialogParts
