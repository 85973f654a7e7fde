#pragma once

#include <string>

// What loading settings lines into the camera came to, counted line by line,
// and the words that tell the operator. A load where every line was
// acknowledged and none was left out says nothing.
struct SettingsLoadReport {
    enum class End { Complete, Cancelled, LineLost };

    End end = End::Complete;
    int lines = 0;             // usable lines, sent or not
    int sent = 0;
    int notAcknowledged = 0;   // sent, but refused or unanswered
    int skipped = 0;           // lines of the file that name no setting this level may load

    // Empty when there is nothing to report.
    std::string Text() const;
    // Lost or refused lines are a warning; a Cancel or skipped lines only information.
    bool IsWarning() const { return end == End::LineLost || notAcknowledged > 0; }
};
