// Stands in for a real UART's wire: tcdrain first waits as long as one
// character takes on the wire (start bit, 8 data bits, stop bit) at the rate
// in KAVRO_UART_DRAIN_BAUD, 9600 by default, then drains as usual. A
// pseudo-terminal drains at once, which hides what a port lock held across
// the drain costs and when a line is half written. Loaded into kavro-cli with
// LD_PRELOAD by benchmarks and tests.
#include <dlfcn.h>
#include <termios.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>

namespace {

constexpr long kBitsPerCharacter = 10;
constexpr long kNanosecondsPerSecond = 1000000000L;

long DrainBaud()
{
    const char* text = std::getenv("KAVRO_UART_DRAIN_BAUD");
    const long baud = text != nullptr ? std::strtol(text, nullptr, 10) : 9600;
    return baud > 0 ? baud : 9600;
}

}  // namespace

extern "C" int tcdrain(int fd)
{
    using Drain = int (*)(int);
    static const Drain real = reinterpret_cast<Drain>(dlsym(RTLD_NEXT, "tcdrain"));
    static const long characterNs = kBitsPerCharacter * kNanosecondsPerSecond / DrainBaud();
    timespec pause{characterNs / kNanosecondsPerSecond, characterNs % kNanosecondsPerSecond};
    while (nanosleep(&pause, &pause) != 0 && errno == EINTR) {
    }
    return real(fd);
}
