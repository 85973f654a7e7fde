#include "cli/IdentityCommand.h"

#include <iostream>

#include "cli/TerminalText.h"
#include "comm/CameraIdentity.h"

int PrintIdentity(CRsCmd& engine, bool registerBase, int timeoutMs, std::ostream& out, bool toTerminal)
{
    const auto shown = [toTerminal](const std::string& text) { return toTerminal ? TerminalText::Escaped(text) : text; };
    CameraIdentity identity;
    if (!CameraIdentity::Read(engine, registerBase, identity, timeoutMs)) {
        std::cerr << "kavro-cli: the camera did not tell its firmware version within " << timeoutMs << " ms"
                  << std::endl;
        return 1;
    }
    out << "Model Name: " << shown(identity.modelName) << "\n"
        << "Camera ID: " << shown(identity.cameraId) << "\n"
        << "Firmware Version: " << shown(identity.firmwareVersion) << "\n"
        << "FPGA Version: " << shown(identity.fpgaVersion) << "\n"
        << "User ID: " << shown(identity.userId) << std::endl;
    return 0;
}
