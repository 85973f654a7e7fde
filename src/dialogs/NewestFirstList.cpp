#include "dialogs/NewestFirstList.h"

#include <algorithm>

#include "session/Operation.h"

NewestFirstList::NewestFirstList(int capacity, QWidget* parent) : QListWidget(parent), m_capacity(capacity)
{
    setSelectionMode(QAbstractItemView::NoSelection);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setUniformItemSizes(true);
    m_putLater.setSingleShot(true);
    connect(&m_putLater, &QTimer::timeout, this, [this] { PutPendingIn(); });
}

void NewestFirstList::AddLine(const QString& line)
{
    m_pending.append(line);
    if (m_pending.size() > m_capacity)
        m_pending.removeFirst();
    if (!Operation::IsRunning() || !m_sincePut.isValid() || m_sincePut.elapsed() >= kPutEveryMs)
        PutPendingIn();
    else if (!m_putLater.isActive())
        m_putLater.start(static_cast<int>(std::max<qint64>(0, kPutEveryMs - m_sincePut.elapsed())));
}

QStringList NewestFirstList::Lines()
{
    PutPendingIn();
    QStringList lines;
    lines.reserve(count());
    for (int row = 0; row < count(); ++row)
        lines.append(item(row)->text());
    return lines;
}

void NewestFirstList::Clear()
{
    m_pending.clear();
    m_putLater.stop();
    clear();
}

// One insertion and one removal however many lines came, so the view lays
// itself out once.
void NewestFirstList::PutPendingIn()
{
    m_putLater.stop();
    m_sincePut.start();
    if (m_pending.isEmpty())
        return;
    std::reverse(m_pending.begin(), m_pending.end());
    insertItems(0, m_pending);
    m_pending.clear();
    if (count() > m_capacity)
        model()->removeRows(m_capacity, count() - m_capacity);
}
