#pragma once

// Fixed texts and list entries of the communication window, in list order.
namespace CommSelTexts {

inline constexpr const char* kCaption = "Communication";

// Index = line kind 0..3.
inline constexpr const char* kCategories[] = {"Com Port", "Camera Link spec. 2000", "Camera Link spec. 2001",
                                              "Camera Link spec. ver.1.1"};
// Index = baud index.
inline constexpr const char* kBaudRates[] = {" 9600bps", " 19200bps", " 38400bps"};
// Index = setting area 0 Factory, 1..3 User1..User3 (also alphabetical).
inline constexpr const char* kAreas[] = {"Factory Data", "User 1 Data", "User 2 Data", "User 3 Data"};
// Serial indices of the maker library that the window offers: 0..7.
inline constexpr int kSerialIndexCount = 8;

// The pause after each command before its reply is first looked for.
inline constexpr const char* kReplyWait = "Reply Wait";
inline constexpr const char* kReplyWaitUnit = " ms";
inline constexpr const char* kReplyWaitTip =
    "How long the camera is given after each command before its reply is looked for.\n"
    "20 ms: the pace cameras have always been given. 0 ms: the next command follows each reply at once.";

inline constexpr const char* kOnline = "Online";
inline constexpr const char* kOffline = "Offline";
inline constexpr const char* kUnknownArea = "?";

inline constexpr const char* kFormatRefused = "This function does not support it in this version.";
inline constexpr const char* kFormatRefusedCaption = "a mistake to operate";
inline constexpr const char* kWritten = "Writing file has been done!";

// Time limits of the window's own commands, in ms.
inline constexpr int kQueryTimeoutMs = 3000;
inline constexpr int kProbeTimeoutMs = 1000;

}  // namespace CommSelTexts
