#include "cli/IdentityCommand.h"

#include <iostream>

#include "comm/CameraIdentity.h"

int PrintIdentity(CRsCmd& engine, bool registerBase, int timeoutMs, std::ostream& out)
{
    CameraIdentity identity;
    if (!CameraIdentity::Read(engine, registerBase, identity, timeoutMs)) {
        std::cerr << "kavro-cli: the camera did not tell its firmware version within " << timeoutMs << " ms"
                  << std::endl;
        return 1;
    }
    out << "Model Name: " << identity.modelName << "\n"
        << "Camera ID: " << identity.cameraId << "\n"
        << "Firmware Version: " << identity.firmwareVersion << "\n"
        << "FPGA Version: " << identity.fpgaVersion << "\n"
        << "User ID: " << identity.userId << std::endl;
    return 0;
}
