#include "dialogs/DialogParts.h"

#include <QPushButton>

namespace DialogParts {

QPushButton* NewButton(QWidget* parent, const char* name, const char* text)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

}  // namespace DialogParts
