#pragma once

#include <QElapsedTimer>
#include <QListWidget>
#include <QStringList>
#include <QTimer>

// A list of lines with the newest on top, the oldest dropping out beyond its
// capacity. During an operation lines come faster than anyone reads them:
// they are put in at most every kPutEveryMs, all at once, and painted the next
// time the operation serves the windows, so that the list does not slow a
// reading. Outside an operation a line goes in at once.
class NewestFirstList : public QListWidget {
public:
    static constexpr int kPutEveryMs = 100;

    NewestFirstList(int capacity, QWidget* parent);

    void AddLine(const QString& line);
    // Every line added so far, newest first.
    QStringList Lines();
    void Clear();

private:
    void PutPendingIn();

    int m_capacity;
    QStringList m_pending;   // oldest first, not in the list yet
    QElapsedTimer m_sincePut;
    QTimer m_putLater;       // the lines left when the lines stop coming
};
