#pragma once

#include <string>

#include "camsim/PtyCamera.h"
#include "camsim/VirtualCamera.h"
#include "support/RunProcess.h"
#include "support/TempFolder.h"

// kavro-cli as a user runs it, with a profile folder of its own, against a
// virtual camera on a pseudo-terminal.
struct CliCamera {
    CliCamera() : pty(camera) { pty.Start(); }

    // Runs kavro-cli on the camera's device, or on `port`; `prefix` goes before the program.
    ProcessResult Cli(const std::string& arguments, const std::string& port = "", const std::string& prefix = "")
    {
        const std::string portOption = "--port '" + (port.empty() ? pty.DevicePath() : port) + "' ";
        return RunProcess("XDG_CONFIG_HOME='" + home.path + "' " + prefix + KAVRO_CLI_PATH " " + portOption + arguments);
    }

    TempFolder home;
    camsim::VirtualCamera camera;
    camsim::PtyCamera pty;
};
