#include "dialogs/BlockingScope.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <QWindow>

#include "comm/StopRequest.h"

namespace {

// Where a release is delivered: beyond every control of every window.
const QPointF kAway(-100000.0, -100000.0);

bool IsUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
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

bool IsEscape(const QEvent* event)
{
    return event->type() == QEvent::KeyPress && static_cast<const QKeyEvent*>(event)->key() == Qt::Key_Escape;
}

// The widget an event is for: the widget itself, or the top-level widget of
// the window-system window that received it first.
QWidget* WidgetOf(QObject* object)
{
    if (object->isWidgetType())
        return static_cast<QWidget*>(object);
    if (auto* window = qobject_cast<QWindow*>(object))
        for (QWidget* topLevel : QApplication::topLevelWidgets())
            if (topLevel->windowHandle() == window)
                return topLevel;
    return nullptr;
}

// ---- the windows during the operation in progress (user-interface thread only)
QPointer<QWidget> g_live;           // the progress window while it is up
std::function<void()> g_onEscape;   // its Cancel
int g_serving = 0;                  // events are being served: ServeEvents or a box
int g_prompts = 0;                  // boxes the operation shows
bool g_resending = false;           // a release on its way away from the controls

bool IsLive(const QWidget* widget)
{
    return g_live && (widget == g_live || g_live->isAncestorOf(widget));
}

// Applies the rules of the operation to every event of the application.
class OperationGuard : public QObject {
protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (g_resending)
            return false;
        if (event->type() == QEvent::Close)
            return DeferClose(object, event);
        if (!IsUserInput(event->type()) || g_prompts > 0)
            return false;
        if (IsEscape(event)) {
            if (g_onEscape)
                g_onEscape();
            return true;
        }
        const QWidget* widget = WidgetOf(object);
        if (widget && IsLive(widget))
            return false;
        if (event->type() == QEvent::MouseButtonRelease)
            DeliverAway(object, static_cast<QMouseEvent*>(event));
        return true;
    }

private:
    // Only requests from outside are deferred: those that arrive while events
    // are served. The operation's own closing of windows goes ahead.
    static bool DeferClose(QObject* object, QEvent* event)
    {
        if (g_serving == 0 || StopRequest::Raised())
            return false;
        QWidget* widget = WidgetOf(object);
        if (!widget || !widget->isWindow())
            return false;
        if (IsLive(widget)) {
            // The progress window's close box is its Cancel: a hidden progress
            // window would leave the operator no way to end the operation.
            if (g_onEscape)
                g_onEscape();
            event->ignore();
            return true;
        }
        if (g_prompts > 0 && widget == QApplication::activeModalWidget())   // the box itself
            return false;
        Operation::CloseWhenDone(widget, [window = QPointer<QWidget>(widget)] {
            if (window && window->isVisible())
                window->close();
        });
        event->ignore();   // the window stays open
        return true;
    }

    static void DeliverAway(QObject* object, const QMouseEvent* release)
    {
        QMouseEvent away(QEvent::MouseButtonRelease, kAway, kAway, release->button(), release->buttons(),
                         release->modifiers(), release->pointingDevice());
        g_resending = true;
        QCoreApplication::sendEvent(object, &away);
        g_resending = false;
    }
};

OperationGuard* g_guard = nullptr;   // installed while an operation runs

// The wait cursor for each operation, nested or not; the guard for the outermost.
class WindowsWatcher : public Operation::Watcher {
public:
    void Began(bool outermost) override
    {
        if (outermost && qApp) {
            g_guard = new OperationGuard;
            qApp->installEventFilter(g_guard);
        }
        QApplication::setOverrideCursor(Qt::WaitCursor);
        BlockingScope::ServeEvents();   // the state the operation runs in is shown before it blocks
    }
    // What came meanwhile is served under the rules one last time.
    void Ending(bool outermost) override
    {
        QApplication::restoreOverrideCursor();
        if (!outermost)
            return;
        BlockingScope::ServeEvents();
        if (g_guard) {
            qApp->removeEventFilter(g_guard);
            delete g_guard;
            g_guard = nullptr;
        }
        g_live.clear();
        g_onEscape = nullptr;
    }
};

}  // namespace

bool BlockingScope::Watch()
{
    static WindowsWatcher watcher;
    Operation::SetWatcher(&watcher);
    return true;
}

void BlockingScope::ServeEvents()
{
    if (!Operation::IsRunning() || g_serving > 0 || !qApp)
        return;
    ++g_serving;
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    --g_serving;
}

void BlockingScope::SetLiveWindow(QWidget* window, std::function<void()> onEscape)
{
    g_live = window;
    g_onEscape = window ? std::move(onEscape) : nullptr;
}

BlockingScope::Prompt::Prompt()
{
    if (!Operation::IsRunning())
        return;
    ServeEvents();   // what was queued before the box must not answer it
    m_active = true;
    ++g_prompts;
    ++g_serving;
    while (QApplication::overrideCursor()) {
        QApplication::restoreOverrideCursor();
        ++m_liftedCursors;
    }
}

BlockingScope::Prompt::~Prompt()
{
    if (!m_active)
        return;
    --g_prompts;
    --g_serving;
    for (int i = 0; i < m_liftedCursors; ++i)
        QApplication::setOverrideCursor(Qt::WaitCursor);
}
