#include "cli/StderrHost.h"

#include <iostream>
#include <unistd.h>

#include "cli/StandardOutput.h"
#include "cli/TerminalText.h"

void StderrHost::ShowMessage(const std::string& text, const std::string& caption, Icon)
{
    std::string oneLine = text;
    for (char& c : oneLine)
        if (c == '\n')
            c = ' ';
    std::cerr << "kavro-cli: " << caption << ": " << TerminalText::Escaped(oneLine) << std::endl;
    ++messagesShown;
}

void StderrHost::AddTraffic(const std::string& text)
{
    static const std::string kReceived = "Rx: ";
    if (text.compare(0, kReceived.size(), kReceived) == 0) {
        const std::string line = text.substr(kReceived.size());
        if (line.compare(0, 2, "!!") != 0)
            m_lastReply = line;
        if (printReceived)
            StandardOutput::Print(TerminalText::For(STDOUT_FILENO, line) + "\n");
    }
    if (m_showTraffic)
        std::cerr << TerminalText::Escaped(text) << std::endl;
}
