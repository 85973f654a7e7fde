#include "mainwin/SettingsLoadReport.h"

#include <QStringList>

QString SettingsLoadReport::Text() const
{
    QStringList parts;
    if (end == End::Cancelled)
        parts << QString("Loading cancelled: %1 of %2 lines sent.").arg(sent).arg(lines);
    else if (end == End::LineLost)
        parts << QString("The line to the camera was lost: %1 of %2 lines sent.").arg(sent).arg(lines);
    if (notAcknowledged > 0)
        parts << QString("The camera did not acknowledge %1 of the %2 lines sent; those settings keep their previous "
                         "values.")
                     .arg(notAcknowledged)
                     .arg(sent);
    if (skipped > 0)
        parts << QString("%1 lines of the file were skipped.").arg(skipped);
    return parts.join('\n');
}
