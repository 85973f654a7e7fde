#include "cli/IdentityCommand.h"

#include <unistd.h>

#include <iostream>

#include "cli/CameraSilence.h"
#include "cli/StandardOutput.h"
#include "cli/StderrHost.h"
#include "cli/TerminalText.h"
#include "comm/CRsCmd.h"
#include "comm/CameraIdentity.h"

int PrintIdentity(CRsCmd& engine, const StderrHost& host, bool registerBase, int timeoutMs)
{
    const auto shown = [](const std::string& text) { return TerminalText::For(STDOUT_FILENO, text); };
    CameraIdentity identity;
    if (!CameraIdentity::Read(engine, registerBase, identity, timeoutMs)) {
        const std::string query = TerminalText::Escaped(engine.LastSentLine());
        if (engine.LastWaitUnanswered())
            std::cerr << "kavro-cli: the camera did not answer: " << CameraSilence::NoAnswerText(query, timeoutMs);
        else
            std::cerr << "kavro-cli: " << query << " answered '" << TerminalText::Escaped(host.LastReply())
                      << "', which is no firmware version";
        std::cerr << std::endl;
        return 1;
    }
    StandardOutput::Print("Model Name: " + shown(identity.modelName) + "\n" +
                          "Camera ID: " + shown(identity.cameraId) + "\n" +
                          "Firmware Version: " + shown(identity.firmwareVersion) + "\n" +
                          "FPGA Version: " + shown(identity.fpgaVersion) + "\n" +
                          "User ID: " + shown(identity.userId) + "\n");
    return 0;
}
