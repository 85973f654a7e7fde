#include "dialogs/DialogParts.h"

#include <QLabel>
#include <QPushButton>

#include "dialogs/StatusPictures.h"

namespace DialogParts {

QPushButton* NewButton(QWidget* parent, const char* name, const char* text)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

QLabel* NewLineBar(QWidget* parent)
{
    auto* bar = new QLabel(parent);
    bar->setObjectName("lineBar");
    bar->setFixedHeight(StatusPictures::kBarHeight);
    bar->setScaledContents(true);
    return bar;
}

}  // namespace DialogParts
