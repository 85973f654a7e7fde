#include "comm/serial/WakeEvent.h"

#include "comm/serial/SystemError.h"

#include <cerrno>
#include <cstdint>
#include <sys/eventfd.h>
#include <unistd.h>

WakeEvent::WakeEvent()
    : m_fd(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC))
{
    if (m_fd < 0)
        ReportSystemError("wake-up event", "eventfd", errno);
}

WakeEvent::~WakeEvent()
{
    if (m_fd >= 0)
        close(m_fd);
}

void WakeEvent::Signal()
{
    const uint64_t one = 1;
    // EAGAIN means the counter is saturated: it is readable already.
    while (write(m_fd, &one, sizeof one) < 0 && errno == EINTR) {
    }
}

void WakeEvent::Clear()
{
    uint64_t count = 0;
    while (read(m_fd, &count, sizeof count) < 0 && errno == EINTR) {
    }
}
