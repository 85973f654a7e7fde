#include "cli/StderrHost.h"

#include <iostream>
#include <unistd.h>

#include "cli/TerminalText.h"

void StderrHost::ShowMessage(const std::string& text, const std::string& caption, Icon)
{
    std::string oneLine = text;
    for (char& c : oneLine)
        if (c == '\n')
            c = ' ';
    std::cerr << "kavro-cli: " << caption << ": " << TerminalText::For(STDERR_FILENO, oneLine) << std::endl;
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
            std::cout << TerminalText::For(STDOUT_FILENO, line) << std::endl;
    }
    if (m_showTraffic)
        std::cerr << TerminalText::For(STDERR_FILENO, text) << std::endl;
}
