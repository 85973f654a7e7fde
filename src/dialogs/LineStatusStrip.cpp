#include "dialogs/LineStatusStrip.h"

#include "dialogs/StatusPictures.h"

LineStatusStrip::LineStatusStrip(QWidget* parent, const QString& name) : QLabel(parent)
{
    setObjectName(name);
    setFixedHeight(StatusPictures::kBarHeight);
    setScaledContents(true);
}

bool LineStatusStrip::Show(bool online)
{
    if (m_shown == static_cast<int>(online))
        return false;
    m_shown = static_cast<int>(online);
    setPixmap(StatusPictures::LineBar(online));
    return true;
}
