#include "camsim/PtyCamera.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <poll.h>
#include <pty.h>
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
    Response response = m_camera.Respond(bytes);
    for (const std::string& reply : response.replies) {
        if (response.delayMs > 0 && WaitForStop(response.delayMs))
            return false;
        if (!WriteAll(reply))
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
        m_streamStart = std::chrono::steady_clock::now();
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
