#include "session/SettingsLoadReport.h"

#include "session/SessionTexts.h"

std::string SettingsLoadReport::Text() const
{
    using SessionTexts::Filled;
    std::string text;
    const auto add = [&text](const std::string& part) { text += (text.empty() ? "" : "\n") + part; };
    if (end == End::Cancelled)
        add(Filled(SessionTexts::kLoadCancelled, sent, lines));
    else if (end == End::LineLost)
        add(Filled(SessionTexts::kLoadLineLost, sent, lines));
    if (notAcknowledged > 0)
        add(Filled(SessionTexts::kNotAcknowledged, notAcknowledged, sent));
    if (skipped > 0)
        add(Filled(SessionTexts::kSkipped, std::to_string(skipped)));
    return text;
}
