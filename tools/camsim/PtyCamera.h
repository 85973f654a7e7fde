#pragma once

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

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

private:
    void Run();
    bool Serve(const std::string& bytes);
    void StreamDueBytes();
    bool WriteAll(const std::string& bytes);
    bool WaitForStop(int timeoutMs) const;
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
