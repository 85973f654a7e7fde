#include "dialogs/BlockingScope.h"

#include <QApplication>
#include <QEvent>
#include <QObject>

int BlockingScope::s_depth = 0;

namespace {

bool IsUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::ContextMenu:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
        return true;
    default:
        return false;
    }
}

// Swallows user input for every object of the application while it is installed.
class InputSwallower : public QObject {
protected:
    bool eventFilter(QObject*, QEvent* event) override { return IsUserInput(event->type()); }
};

}  // namespace

BlockingScope::BlockingScope()
{
    ++s_depth;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ServeEventsWithoutInput();
}

BlockingScope::~BlockingScope()
{
    QApplication::restoreOverrideCursor();
    if (s_depth == 1)
        ServeEventsWithoutInput();   // still counted as active: no timer runs inside
    --s_depth;
}

// Never called inside a command's wait: only before an operation, between its
// commands, or after it. Posted events are served too, as the window system's.
void BlockingScope::ServeEventsWithoutInput()
{
    if (!qApp)
        return;
    InputSwallower swallower;
    qApp->installEventFilter(&swallower);
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::sendPostedEvents();
    qApp->removeEventFilter(&swallower);
}

BlockingScope::Prompt::Prompt()
{
    if (!IsActive())
        return;
    ServeEventsWithoutInput();
    while (QApplication::overrideCursor()) {
        QApplication::restoreOverrideCursor();
        ++m_liftedCursors;
    }
}

BlockingScope::Prompt::~Prompt()
{
    for (int i = 0; i < m_liftedCursors; ++i)
        QApplication::setOverrideCursor(Qt::WaitCursor);
}
