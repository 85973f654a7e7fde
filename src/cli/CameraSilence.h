#pragma once

#include <string>

class CRsCmd;

// A camera that no longer answers, as kavro-cli tells it: each command it
// left unanswered is named on standard error with its time limit, and a bulk
// command gives up once three commands in a row went unanswered (silence,
// not a refusal: a camera that refuses still listens), unless the operator
// asked to keep going. A dead camera thus ends a run in three time limits,
// not in one per line of the file.
class CameraSilence {
public:
    static constexpr int kUnansweredInARow = 3;

    CameraSilence(const CRsCmd& engine, bool keepGoing) : m_engine(engine), m_keepGoing(keepGoing) {}

    // After each command of a run, with its result and time limit. True when
    // the run is to end here: a stop, a line that hung up, or the third
    // unanswered command in a row.
    bool EndsRun(int result, int timeoutMs);
    // Commands in a row the camera left unanswered, the last one included.
    int UnansweredInARow() const { return m_unansweredInARow; }

    // After a command that failed: when the camera left it unanswered, says so
    // ("no answer to GA=5 within 3000 ms") and returns true. A reply that was
    // no answer has been named by the engine already.
    static bool ReportUnanswered(const CRsCmd& engine, int timeoutMs);
    static std::string NoAnswerText(const std::string& command, int timeoutMs);

private:
    const CRsCmd& m_engine;
    bool m_keepGoing;
    int m_unansweredInARow = 0;
};
