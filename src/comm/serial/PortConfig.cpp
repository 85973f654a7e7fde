#include "comm/serial/PortConfig.h"

namespace {

struct SpeedRow {
    int baud;
    speed_t speed;
};

constexpr SpeedRow kSpeeds[] = {
    {1200, B1200},     {2400, B2400},     {4800, B4800},     {9600, B9600},
    {19200, B19200},   {38400, B38400},   {57600, B57600},   {115200, B115200},
    {230400, B230400}, {460800, B460800}, {921600, B921600},
};

struct SizeRow {
    int byteSize;
    tcflag_t flag;
};

constexpr SizeRow kSizes[] = {{5, CS5}, {6, CS6}, {7, CS7}, {8, CS8}};

// The camera's flow-control characters: XON is 0x13 and XOFF 0x11, the
// reverse of the usual pair.
constexpr cc_t kXonChar = 0x13;
constexpr cc_t kXoffChar = 0x11;

}  // namespace

PortConfig::PortConfig(int baud, int byteSize, int stopBitsCode, int xonXoff, int parityCheck)
    : m_baud(baud),
      m_byteSize(byteSize),
      m_stopBitsCode(stopBitsCode),
      m_xonXoff((xonXoff & 1) != 0),
      m_parityCheck((parityCheck & 1) != 0)
{
}

bool PortConfig::Apply(termios* tio) const
{
    speed_t speed;
    tcflag_t sizeFlag;
    tcflag_t stopFlag;
    if (!Speed(&speed) || !SizeFlag(&sizeFlag) || !StopFlag(&stopFlag))
        return false;

    cfmakeraw(tio);  // 8 bits, no parity, no processing, VMIN 1 / VTIME 0
    tio->c_cflag &= ~static_cast<tcflag_t>(CSIZE | CSTOPB | PARENB | CRTSCTS);
    tio->c_cflag |= sizeFlag | stopFlag | CLOCAL | CREAD;
    tio->c_iflag &= ~static_cast<tcflag_t>(INPCK);
    if (m_parityCheck)
        tio->c_iflag |= INPCK;
    ApplyFlowControl(tio);
    cfsetispeed(tio, speed);
    cfsetospeed(tio, speed);
    return true;
}

bool PortConfig::IsSupported() const
{
    speed_t speed;
    tcflag_t sizeFlag;
    tcflag_t stopFlag;
    return Speed(&speed) && SizeFlag(&sizeFlag) && StopFlag(&stopFlag);
}

bool PortConfig::Speed(speed_t* speed) const
{
    for (const SpeedRow& row : kSpeeds) {
        if (row.baud == m_baud) {
            *speed = row.speed;
            return true;
        }
    }
    return false;
}

bool PortConfig::SizeFlag(tcflag_t* flag) const
{
    for (const SizeRow& row : kSizes) {
        if (row.byteSize == m_byteSize) {
            *flag = row.flag;
            return true;
        }
    }
    return false;
}

bool PortConfig::StopFlag(tcflag_t* flag) const
{
    if (m_stopBitsCode != 0 && m_stopBitsCode != 2)
        return false;
    *flag = m_stopBitsCode == 2 ? CSTOPB : 0;
    return true;
}

void PortConfig::ApplyFlowControl(termios* tio) const
{
    if (!m_xonXoff) {
        tio->c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
        return;
    }
    tio->c_iflag |= IXON | IXOFF;
    tio->c_cc[VSTART] = kXonChar;
    tio->c_cc[VSTOP] = kXoffChar;
}
