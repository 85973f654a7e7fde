#pragma once

#include <cstdint>

namespace clsim {

// The stand-in libraries' status codes; 0 is success as the interface demands.
enum Status : int32_t {
    StatusOk = 0,
    StatusBadIndex = -1,        // serial or maker index past what is reported
    StatusBadReference = -2,    // unknown channel reference or null argument
    StatusOpenFailed = -3,      // the device could not be opened or configured
    StatusTimeout = -4,         // nothing arrived (or left) within the time-out
    StatusIoError = -5,         // the device reported an error
    StatusBufferTooSmall = -6,  // the size passed cannot hold the text
    StatusUnknownMaker = -7,    // clSelectManufacturer with a name not configured
    StatusRateUnsupported = -8, // clSetBaudRate with a rate outside the mask
    StatusNoRateList = -9,      // clGetSupportedBaudRates switched off (norates)
};

// The text clGetErrorText hands out for a code.
inline const char* StatusText(int32_t status)
{
    switch (status) {
    case StatusOk: return "No error";
    case StatusBadIndex: return "Serial index out of range";
    case StatusBadReference: return "Invalid serial reference";
    case StatusOpenFailed: return "Cannot open the serial device";
    case StatusTimeout: return "Serial time-out";
    case StatusIoError: return "Serial device error";
    case StatusBufferTooSmall: return "Buffer too small";
    case StatusUnknownMaker: return "Unknown manufacturer";
    case StatusRateUnsupported: return "Baud rate not supported";
    case StatusNoRateList: return "Supported baud rates unavailable";
    }
    return "Unknown error";
}

}  // namespace clsim
