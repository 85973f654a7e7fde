#include "cli/CameraSilence.h"

#include <iostream>

#include "cli/TerminalText.h"
#include "comm/CRsCmd.h"

bool CameraSilence::EndsRun(int result, int timeoutMs)
{
    if (m_engine.Interrupted())
        return true;
    if (result != 0 || !ReportUnanswered(m_engine, timeoutMs)) {
        m_unansweredInARow = 0;
        return false;
    }
    ++m_unansweredInARow;
    return !m_keepGoing && m_unansweredInARow >= kUnansweredInARow;
}

bool CameraSilence::ReportUnanswered(const CRsCmd& engine, int timeoutMs)
{
    if (!engine.LastWaitUnanswered())
        return false;
    std::cerr << "kavro-cli: " << NoAnswerText(TerminalText::Escaped(engine.LastSentLine()), timeoutMs)
              << std::endl;
    return true;
}

std::string CameraSilence::NoAnswerText(const std::string& command, int timeoutMs)
{
    return "no answer to " + command + " within " + std::to_string(timeoutMs) + " ms";
}
