#pragma once

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "camsim/WireClock.h"

namespace camsim {

class VirtualCamera;

// Puts a VirtualCamera behind a pseudo-terminal: the tool opens
// DevicePath() as it would open a serial port. A thread feeds the camera
// what the tool writes and writes the replies back, carrying out the
// reply delay, the hang-up and the endless talk of the camera's faults.
class PtyCamera {
public:
    // The pace of endless talk: what a 9600-baud line carries, one byte about
    // every millisecond.
    static constexpr int kStreamBytesPerSecond = 960;

    explicit PtyCamera(VirtualCamera& camera);
    ~PtyCamera();   // stops
    PtyCamera(const PtyCamera&) = delete;
    PtyCamera& operator=(const PtyCamera&) = delete;

    // Opens the pseudo-terminal and starts serving it. With a link path, a
    // symbolic link to the device is made there (an old link is replaced,
    // anything else is left alone and Start fails) and removed by Stop.
    bool Start(const std::string& linkPath = "");
    void Stop();
    std::string DevicePath() const;   // "" before Start
    bool HungUp() const;              // the camera closed the line (Faults::hangUpAfterNextCommand)
    std::string ErrorText() const;    // why Start failed

    // The speed the camera talks at; while the line is set to another one the
    // camera answers nothing, as a real camera then only sees noise. 0 (the
    // default) answers at any speed. Supported: 1200 .. 230400.
    void SetLineBaud(int baud);
    static bool IsSupportedBaud(int baud);
    size_t IgnoredBytes() const;      // received while the line was at another speed

    // Wire time, set before Start: a command is taken only once its bytes
    // would have crossed a line at wireBaud (ten bits a byte), and its reply
    // leaves thinkMs after that, each byte when it would have crossed. A
    // wireBaud of 0 carries bytes at once; both 0 is the default.
    static constexpr int kSlowestWireBaud = 50;
    static constexpr int kFastestWireBaud = 4000000;
    static constexpr int kLongestThinkMs = 60000;
    void SetWireTime(int wireBaud, int thinkMs);

private:
    void Run();
    bool Serve(const std::string& bytes);
    bool ServePiece(const std::string& piece, WireClock::Clock::time_point seen);
    size_t WireBytes(const std::string& piece);
    bool SendPaced(const std::string& bytes, WireClock::Clock::time_point notBefore);
    void StreamDueBytes();
    bool WriteAll(const std::string& bytes);
    bool WaitForStop(int timeoutMs) const;
    bool WaitForStopUntil(WireClock::Clock::time_point until) const;
    bool LineSpeedMatches() const;
    void HangUp();
    bool OpenTerminal();
    bool MakeLink(const std::string& linkPath);
    void RemoveLink();
    void CloseAll();
    bool Fail(const std::string& what);

    VirtualCamera& m_camera;
    // Descriptors are opened by Start and closed by Stop; in between only the
    // serving thread uses them (and closes master and slave when hanging up).
    int m_master = -1;
    int m_slave = -1;      // held open so reading the master never fails while the tool reopens the port
    int m_wake[2] = {-1, -1};
    std::thread m_thread;
    std::atomic<bool> m_hungUp{false};
    std::atomic<int> m_lineBaud{0};
    std::atomic<size_t> m_ignoredBytes{0};
    // Wire time, used by the serving thread only.
    WireClock m_toCamera;
    WireClock m_fromCamera;
    std::chrono::milliseconds m_think{0};
    bool m_lineFeedCounted = false;       // a CR was taken with the LF the tool sends behind it
    // Endless talk, once started: the pattern repeated at the stream pace.
    std::string m_stream;
    size_t m_streamOffset = 0;            // next byte of the pattern
    long long m_streamDue = 0;            // bytes the pace has asked for so far
    std::chrono::steady_clock::time_point m_streamStart;
    std::string m_devicePath;
    std::string m_linkPath;
    std::string m_errorText;
};

}  // namespace camsim
