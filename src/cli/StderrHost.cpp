#include "cli/StderrHost.h"

#include <iostream>

void StderrHost::ShowMessage(const std::string& text, const std::string& caption, Icon)
{
    std::string oneLine = text;
    for (char& c : oneLine)
        if (c == '\n')
            c = ' ';
    std::cerr << "kavro-cli: " << caption << ": " << oneLine << std::endl;
    ++messagesShown;
}

void StderrHost::AddTraffic(const std::string& text)
{
    static const std::string kReceived = "Rx: ";
    if (printReceived && text.compare(0, kReceived.size(), kReceived) == 0)
        std::cout << text.substr(kReceived.size()) << std::endl;
    if (m_showTraffic)
        std::cerr << text << std::endl;
}
