#pragma once

#include <cstdint>
#include <string>

// Line kinds, the index of the communication window's category list.
enum LineMode : uint32_t {
    LineComPort = 0,      // PC serial port COM1..COM16
    LineClSpec2000 = 1,   // a grabber's own clser*.so
    LineClSpec2001 = 2,   // libclserial.so with maker selection
    LineClSpecV11 = 3,    // libclallserial.so
    LineNone = 4,         // no line at all
};

enum ActiveMode : int {
    ActiveUser = 1,
    ActiveFactory = 2,
};

// The pause after a command before the engine first looks for its reply:
// 20 ms is the pace cameras have always been given, 0 takes each reply the
// moment it is in. Nothing longer is ever waited.
inline constexpr uint32_t kReplyWaitLongestMs = 20;

// A stored pause beyond the longest counts as the longest.
inline uint32_t BoundedReplyWait(uint32_t stored)
{
    return stored < kReplyWaitLongestMs ? stored : kReplyWaitLongestMs;
}

// The one configuration and line-state record of the process. Loaded from the
// profile at start-up and written back at exit (see Profile).
struct AppSettings {
    uint32_t serialMode = LineComPort;
    int activeMode = ActiveUser;
    uint32_t offline = 0;
    uint32_t simulation = 0;
    std::string dataPath;
    std::string cameraId;
    uint32_t commPort = 0;
    uint32_t dllNo = 0;
    uint32_t camLinkSerialIndex = 0;
    uint32_t baudIndex = 0;
    uint32_t replyWaitMs = kReplyWaitLongestMs;   // pause after a command before its reply is first looked for
    std::string sensorFile;
    std::string logFilePath;
    std::string lastCommand;
    uint32_t commandFormat = 0;
    uint32_t commandCrc = 0;
    std::string selectedPortName;   // never stored
    uint32_t lineOnline = 0;        // never stored

    bool IsFactory() const { return activeMode == ActiveFactory; }
};

// Baud rate of a baud index; any index outside the table gives 9600.
inline int BaudFromIndex(uint32_t index)
{
    static const int kRates[] = {9600, 19200, 38400, 57600, 115200};
    return index < sizeof kRates / sizeof kRates[0] ? kRates[index] : 9600;
}
