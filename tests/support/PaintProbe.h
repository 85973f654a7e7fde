#pragma once

#include <QEvent>
#include <QObject>
#include <QWidget>

#include <functional>

// Notes whether a widget was painted while a condition held: what the
// operator saw at that moment.
class PaintProbe : public QObject {
public:
    PaintProbe(QWidget* widget, std::function<bool()> condition) : m_condition(std::move(condition))
    {
        widget->installEventFilter(this);
    }
    bool Seen() const { return m_seen; }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && m_condition())
            m_seen = true;
        return false;
    }

private:
    std::function<bool()> m_condition;
    bool m_seen = false;
};
