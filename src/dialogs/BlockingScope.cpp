#include "dialogs/BlockingScope.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <vector>

#include "comm/StopRequest.h"

int BlockingScope::s_depth = 0;

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

// ---- the state of the operation in progress (user-interface thread only)
QPointer<QWidget> g_live;                         // the progress window while it is up
std::function<void()> g_onEscape;                 // its Cancel
int g_serving = 0;                                // events are being served: ServeEvents or a box
int g_prompts = 0;                                // boxes the operation shows
bool g_resending = false;                         // a release on its way away from the controls
std::vector<QPointer<QWidget>> g_closeRequests;   // windows to close when the operation ends

bool IsLive(const QWidget* widget)
{
    return g_live && (widget == g_live || g_live->isAncestorOf(widget));
}

// Applies the rules of BlockingScope to every event of the application.
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
        if (!widget || !widget->isWindow() || IsLive(widget))
            return false;
        if (g_prompts > 0 && widget == QApplication::activeModalWidget())   // the box itself
            return false;
        if (std::find(g_closeRequests.begin(), g_closeRequests.end(), widget) == g_closeRequests.end())
            g_closeRequests.emplace_back(widget);
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

}  // namespace

BlockingScope::BlockingScope()
{
    if (s_depth++ == 0 && qApp) {
        g_guard = new OperationGuard;
        qApp->installEventFilter(g_guard);
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ServeEvents();   // the state the operation runs in is shown before it blocks
}

BlockingScope::~BlockingScope()
{
    QApplication::restoreOverrideCursor();
    if (s_depth == 1)
        EndOperation();
    else
        --s_depth;
}

// What came meanwhile is served under the rules one last time, then the
// windows asked to close are closed outside the operation.
void BlockingScope::EndOperation()
{
    ServeEvents();
    if (g_guard) {
        qApp->removeEventFilter(g_guard);
        delete g_guard;
        g_guard = nullptr;
    }
    s_depth = 0;
    g_live.clear();
    g_onEscape = nullptr;
    StopRequest::ClearCancel();
    std::vector<QPointer<QWidget>> requests;
    requests.swap(g_closeRequests);
    for (const QPointer<QWidget>& window : requests)
        if (window && window->isVisible() && !StopRequest::Raised())
            window->close();
}

void BlockingScope::ServeEvents()
{
    if (!IsActive() || g_serving > 0 || !qApp)
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
    if (!IsActive())
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
