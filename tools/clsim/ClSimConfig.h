#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace clsim {

// The stand-in libraries' own setup, read from the environment variable
// KAVRO_CLSIM ("key=value;key=value"), as a maker's library reads its own
// configuration. Keys are described in docs/clsim.md.
struct ClSimConfig {
    static constexpr const char* kVariable = "KAVRO_CLSIM";

    std::string device;                                // tty reaching the camera
    std::vector<std::string> makers{"Kavro Grabbers"};
    uint32_t portsPerMaker = 1;
    uint32_t rateMask = 0x1f;                          // CL_BAUDRATE bits, 9600..115200
    bool noRates = false;                              // clGetSupportedBaudRates fails
    bool failSetRate = false;                          // clSetBaudRate fails
    bool claimCount = false;                           // the counts below are reported instead
    uint32_t claimedCount = 0;                         // of the real ones (a lying library)

    // Reads KAVRO_CLSIM at the time of the call; an unset variable gives the defaults.
    static ClSimConfig FromEnvironment();
    // Unknown keys and unreadable values are reported on stderr and ignored.
    static ClSimConfig Parse(const std::string& text);

    uint32_t TotalPorts() const;
    // Port identifier of a maker's port, "Port <n>".
    static std::string PortName(uint32_t portOfMaker);
};

}  // namespace clsim
