#include "dialogs/DialogParts.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "dialogs/BlockingScope.h"
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

void ShowNewLine(QListWidget* list, QElapsedTimer& shown)
{
    constexpr int kShowEveryMs = 100;
    if (!Operation::IsRunning() || !list->isVisible())
        return;
    if (shown.isValid() && shown.elapsed() < kShowEveryMs)
        return;
    shown.start();
    list->doItemsLayout();
    list->viewport()->repaint();
}

}  // namespace DialogParts
