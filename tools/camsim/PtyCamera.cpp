#include "camsim/PtyCamera.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <vector>
#include <poll.h>
#include <pty.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include "camsim/VirtualCamera.h"

namespace camsim {

namespace {

const std::map<int, speed_t> kSpeeds = {
    {1200, B1200}, {2400, B2400}, {4800, B4800}, {9600, B9600}, {19200, B19200},
    {38400, B38400}, {57600, B57600}, {115200, B115200}, {230400, B230400},
};

const int kRetryAfterErrorMs = 20;
const int kStreamTickMs = 1;
const int kWriteStepMs = 1;

using Clock = WireClock::Clock;

// A command's bytes up to and including its line end, one piece each; CR LF
// stays one line end. What follows the last line end is a piece of its own.
std::vector<std::string> SplitAfterLineEnds(const std::string& bytes)
{
    std::vector<std::string> pieces(1);
    for (size_t i = 0; i < bytes.size(); ++i) {
        pieces.back() += bytes[i];
        const bool lineEnd = bytes[i] == '\n' || (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n'));
        if (lineEnd && i + 1 < bytes.size())
            pieces.emplace_back();
    }
    return pieces;
}

void CloseDescriptor(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

bool SetFlag(int fd, int getCommand, int setCommand, int flag)
{
    int flags = ::fcntl(fd, getCommand);
    return flags >= 0 && ::fcntl(fd, setCommand, flags | flag) == 0;
}

}  // namespace

PtyCamera::PtyCamera(VirtualCamera& camera) : m_camera(camera) {}

PtyCamera::~PtyCamera()
{
    Stop();
}

bool PtyCamera::Start(const std::string& linkPath)
{
    if (m_thread.joinable())
        return Fail("already started");
    m_errorText.clear();
    m_hungUp = false;
    m_stream.clear();
    if (!OpenTerminal() || (!linkPath.empty() && !MakeLink(linkPath))) {
        CloseAll();
        return false;
    }
    m_thread = std::thread(&PtyCamera::Run, this);
    return true;
}

void PtyCamera::Stop()
{
    if (m_thread.joinable()) {
        const char wake = 1;
        if (::write(m_wake[1], &wake, 1) < 0)
            std::perror("kavro-camsim: waking the line thread");
        m_thread.join();
    }
    CloseAll();
    RemoveLink();
}

std::string PtyCamera::DevicePath() const
{
    return m_devicePath;
}

bool PtyCamera::HungUp() const
{
    return m_hungUp;
}

std::string PtyCamera::ErrorText() const
{
    return m_errorText;
}

void PtyCamera::SetLineBaud(int baud)
{
    m_lineBaud = baud;
}

bool PtyCamera::IsSupportedBaud(int baud)
{
    return kSpeeds.count(baud) > 0;
}

size_t PtyCamera::IgnoredBytes() const
{
    return m_ignoredBytes;
}

void PtyCamera::SetWireTime(int wireBaud, int thinkMs)
{
    m_toCamera = WireClock(wireBaud);
    m_fromCamera = WireClock(wireBaud);
    m_think = std::chrono::milliseconds(thinkMs);
}

bool PtyCamera::OpenTerminal()
{
    if (::openpty(&m_master, &m_slave, nullptr, nullptr, nullptr) != 0)
        return Fail(std::string("openpty: ") + std::strerror(errno));
    // Raw at once, so nothing the camera writes is echoed back before the tool configures the line.
    termios settings{};
    if (::tcgetattr(m_slave, &settings) != 0)
        return Fail(std::string("tcgetattr: ") + std::strerror(errno));
    ::cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    if (::tcsetattr(m_slave, TCSANOW, &settings) != 0)
        return Fail(std::string("tcsetattr: ") + std::strerror(errno));
    if (::pipe(m_wake) != 0)
        return Fail(std::string("pipe: ") + std::strerror(errno));
    // Child processes (the tool started by a test) must not inherit the camera's ends.
    for (int fd : {m_master, m_slave, m_wake[0], m_wake[1]}) {
        if (!SetFlag(fd, F_GETFD, F_SETFD, FD_CLOEXEC))
            return Fail(std::string("fcntl: ") + std::strerror(errno));
    }
    if (!SetFlag(m_master, F_GETFL, F_SETFL, O_NONBLOCK))
        return Fail(std::string("fcntl: ") + std::strerror(errno));
    char name[256];
    if (::ttyname_r(m_slave, name, sizeof name) != 0)
        return Fail("ttyname: cannot name the pseudo-terminal");
    m_devicePath = name;
    return true;
}

bool PtyCamera::MakeLink(const std::string& linkPath)
{
    struct stat existing {};
    if (::lstat(linkPath.c_str(), &existing) == 0) {
        if (!S_ISLNK(existing.st_mode))
            return Fail(linkPath + " exists and is not a symbolic link");
        ::unlink(linkPath.c_str());
    }
    if (::symlink(m_devicePath.c_str(), linkPath.c_str()) != 0)
        return Fail("symlink " + linkPath + ": " + std::strerror(errno));
    m_linkPath = linkPath;
    return true;
}

void PtyCamera::RemoveLink()
{
    if (m_linkPath.empty())
        return;
    // Only our own link: another camera may have replaced it meanwhile.
    char target[256];
    ssize_t length = ::readlink(m_linkPath.c_str(), target, sizeof target - 1);
    if (length >= 0 && std::string(target, static_cast<size_t>(length)) == m_devicePath)
        ::unlink(m_linkPath.c_str());
    m_linkPath.clear();
}

void PtyCamera::CloseAll()
{
    CloseDescriptor(m_master);
    CloseDescriptor(m_slave);
    CloseDescriptor(m_wake[0]);
    CloseDescriptor(m_wake[1]);
}

bool PtyCamera::Fail(const std::string& what)
{
    m_errorText = what;
    return false;
}

void PtyCamera::Run()
{
    // Wire time is kept to the microsecond, not to the kernel's default slack of 50 us a sleep.
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    char buffer[512];
    for (;;) {
        pollfd fds[2] = {{m_master, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        if (::poll(fds, 2, m_stream.empty() ? -1 : kStreamTickMs) < 0) {
            if (errno == EINTR)
                continue;
            std::perror("kavro-camsim: poll");
            return;
        }
        if (fds[1].revents)
            return;
        if (!m_stream.empty())
            StreamDueBytes();
        if (!(fds[0].revents & (POLLIN | POLLHUP | POLLERR)))
            continue;
        ssize_t got = ::read(m_master, buffer, sizeof buffer);
        if (got > 0) {
            if (!Serve(std::string(buffer, static_cast<size_t>(got))))
                return;
            continue;
        }
        if (got < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (got < 0 && errno != EIO) {
            std::perror("kavro-camsim: reading the line");
            return;
        }
        // EIO or end of file: no slave is open for a moment. Do not spin.
        if (WaitForStop(kRetryAfterErrorMs))
            return;
    }
}

bool PtyCamera::Serve(const std::string& bytes)
{
    if (!m_stream.empty())
        return true;   // a camera that talks without end hears nothing
    if (!LineSpeedMatches()) {
        m_ignoredBytes += bytes.size();
        return true;
    }
    const Clock::time_point seen = Clock::now();
    for (const std::string& piece : SplitAfterLineEnds(bytes)) {
        if (!ServePiece(piece, seen))
            return false;
        if (!m_stream.empty())
            return true;   // nothing after the command that started the talk is answered
    }
    return true;
}

// The camera acts on a line once its end has crossed the line, and answers it
// a thinking time later. Bytes before the end are taken as they come, so that
// the time each is seen is the time it was put on the line.
bool PtyCamera::ServePiece(const std::string& piece, Clock::time_point seen)
{
    const Clock::time_point arrived = m_toCamera.Cross(WireBytes(piece), seen);
    const bool endsLine = piece.back() == '\r' || piece.back() == '\n';
    if (endsLine && WaitForStopUntil(arrived))
        return false;
    Response response = m_camera.Respond(piece);
    Clock::time_point leaves = arrived + m_think;
    for (const std::string& reply : response.replies) {
        leaves += std::chrono::milliseconds(response.delayMs);   // the slow camera's delay, before every reply
        if (!SendPaced(reply, leaves))
            return false;
    }
    if (response.hangUp) {
        HangUp();
        return false;
    }
    if (!response.stream.empty()) {
        m_stream = response.stream;
        m_streamOffset = 0;
        m_streamDue = 0;
        m_streamStart = Clock::now();
    }
    return true;
}

// The tool ends a command with CR LF and the camera takes it at the CR; the
// LF crosses right behind it, so the command is whole only after that byte
// too. Its time is counted with the CR, and not again when the LF is read.
size_t PtyCamera::WireBytes(const std::string& piece)
{
    size_t count = piece.size();
    if (m_lineFeedCounted && piece[0] == '\n')
        --count;
    m_lineFeedCounted = piece.back() == '\r';
    return m_lineFeedCounted ? count + 1 : count;
}

// Each byte is written once it would have crossed the line, the reply's last
// byte exactly then. In between the camera wakes at most every kWriteStepMs
// and writes what has crossed meanwhile: a fast line's short reply costs two
// wake-ups, not one a byte, and a late wake-up never adds up.
bool PtyCamera::SendPaced(const std::string& bytes, Clock::time_point notBefore)
{
    if (!m_fromCamera.Keeps())
        return !WaitForStopUntil(notBefore) && WriteAll(bytes);
    std::vector<Clock::time_point> crossed;
    for (size_t i = 0; i < bytes.size(); ++i)
        crossed.push_back(m_fromCamera.Cross(1, notBefore));
    Clock::time_point lastWrite = Clock::time_point::min();
    for (size_t next = 0; next < bytes.size();) {
        const Clock::time_point stepOver =
            lastWrite == Clock::time_point::min() ? crossed[next] : lastWrite + std::chrono::milliseconds(kWriteStepMs);
        if (WaitForStopUntil(std::min(crossed.back(), std::max(crossed[next], stepOver))))
            return false;
        lastWrite = Clock::now();
        size_t end = next;
        while (end < bytes.size() && crossed[end] <= lastWrite)
            ++end;
        if (!WriteAll(bytes.substr(next, end - next)))
            return false;
        next = end;
    }
    return true;
}

// Writes what the pace asks for since the last tick. Bytes the tool does not
// take in time are lost, as on a line without flow control.
void PtyCamera::StreamDueBytes()
{
    using namespace std::chrono;
    const long long elapsedMs = duration_cast<milliseconds>(steady_clock::now() - m_streamStart).count();
    const long long due = elapsedMs * kStreamBytesPerSecond / 1000;
    std::string chunk;
    for (; m_streamDue < due; ++m_streamDue)
        chunk += m_stream[(m_streamOffset + chunk.size()) % m_stream.size()];
    const ssize_t written = chunk.empty() ? 0 : ::write(m_master, chunk.data(), chunk.size());
    if (written > 0)
        m_streamOffset = (m_streamOffset + static_cast<size_t>(written)) % m_stream.size();
}

bool PtyCamera::WriteAll(const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(m_master, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            std::perror("kavro-camsim: writing the line");
            return false;
        }
        // The tool is not reading: wait until there is room, or until Stop.
        pollfd fds[2] = {{m_master, POLLOUT, 0}, {m_wake[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0 && errno != EINTR)
            return false;
        if (fds[1].revents)
            return false;
    }
    return true;
}

bool PtyCamera::WaitForStop(int timeoutMs) const
{
    pollfd wake = {m_wake[0], POLLIN, 0};
    return ::poll(&wake, 1, timeoutMs) > 0;
}

// True when Stop was asked for before `until`; returns at once for a time already past.
bool PtyCamera::WaitForStopUntil(Clock::time_point until) const
{
    using namespace std::chrono;
    for (;;) {
        const nanoseconds left = until - Clock::now();
        if (left.count() <= 0)
            return false;
        const timespec timeout{static_cast<time_t>(left.count() / 1000000000),
                               static_cast<long>(left.count() % 1000000000)};
        pollfd wake = {m_wake[0], POLLIN, 0};
        const int ready = ::ppoll(&wake, 1, &timeout, nullptr);
        if (ready > 0)
            return true;
        if (ready < 0 && errno != EINTR)
            return false;
    }
}

bool PtyCamera::LineSpeedMatches() const
{
    auto wanted = kSpeeds.find(m_lineBaud);
    if (wanted == kSpeeds.end())
        return true;
    termios settings{};
    if (::tcgetattr(m_slave, &settings) != 0)
        return true;
    const speed_t input = ::cfgetispeed(&settings);   // B0: the same as the output speed
    return ::cfgetospeed(&settings) == wanted->second && (input == wanted->second || input == B0);
}

void PtyCamera::HangUp()
{
    CloseDescriptor(m_master);
    CloseDescriptor(m_slave);
    m_hungUp = true;
}

}  // namespace camsim
