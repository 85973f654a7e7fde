#include "mainwin/LevelKeys.h"

#include <QKeyEvent>

namespace {

constexpr Qt::Key kChordKey = Qt::Key_F10;
constexpr Qt::KeyboardModifiers kChordModifiers = Qt::ControlModifier | Qt::ShiftModifier;
constexpr Qt::Key kAccessCode[] = {Qt::Key_K, Qt::Key_V, Qt::Key_R};
constexpr int kCodeLength = sizeof kAccessCode / sizeof kAccessCode[0];

bool IsModifierOnly(const QKeyEvent& event)
{
    switch (event.key()) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_Meta:
    case Qt::Key_AltGr:
        return true;
    default:
        return false;
    }
}

}  // namespace

LevelKeys::Step LevelKeys::Advance(const QKeyEvent& event)
{
    if (event.key() == kChordKey && (event.modifiers() & kChordModifiers) == kChordModifiers) {
        m_matched = 1;
        return Step::Taken;
    }
    if (m_matched == 0 || IsModifierOnly(event))
        return Step::NotMine;
    if (event.key() != kAccessCode[m_matched - 1]) {
        m_matched = 0;
        return Step::NotMine;
    }
    if (++m_matched <= kCodeLength)
        return Step::Taken;
    m_matched = 0;
    return Step::Completed;
}
