#include "dialogs/LineStatusStrip.h"

#include "dialogs/StatusPictures.h"

LineStatusStrip::LineStatusStrip(QWidget* parent) : QLabel(parent)
{
    setObjectName(QStringLiteral("statusStrip"));
    setFixedHeight(StatusPictures::kBarHeight);
    setScaledContents(true);
    setPixmap(StatusPictures::LineBar(false));
}

bool LineStatusStrip::Show(bool online)
{
    if (m_shown == static_cast<int>(online))
        return false;
    m_shown = static_cast<int>(online);
    setPixmap(StatusPictures::LineBar(online));
    return true;
}
