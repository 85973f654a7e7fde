#include "profile/ProfileSession.h"

#include <QSettings>

#include <cstdio>

#include "profile/ProfileWriter.h"

ProfileSession::ProfileSession(const QString& file)
    : m_file(file), m_stored(std::make_unique<QSettings>(file, QSettings::IniFormat))
{
}

ProfileSession::~ProfileSession()
{
    Close();
}

QVariant ProfileSession::Value(const QString& name) const
{
    const auto change = m_changes.constFind(name);
    return change != m_changes.cend() ? QVariant(*change) : m_stored->value(name);
}

void ProfileSession::SetValue(const QString& name, const QString& text)
{
    const QVariant current = Value(name);
    if (current.typeId() == QMetaType::QString && current.toString() == text)
        return;
    m_changes.insert(name, text);
    m_changed = true;
}

bool ProfileSession::Close()
{
    if (!m_stored)
        return false;
    m_stored.reset();
    if (!m_changed)
        return true;
    const QString problem = ProfileWriter::Save(m_file, m_changes);
    m_changes.clear();
    m_changed = false;
    if (!problem.isEmpty())
        std::fprintf(stderr, "kavro profile: %s: not saved, the old file is kept: %s\n",
                     qPrintable(m_file), qPrintable(problem));
    return problem.isEmpty();
}
