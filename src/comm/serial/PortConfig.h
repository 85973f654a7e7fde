#pragma once

#include <termios.h>

// The line settings of one Open, applied to a termios record: raw bytes,
// the given speed, byte size and stop bits, no parity, no RTS/CTS, and
// XON/XOFF only when asked. Pure, so it is checked without a device.
class PortConfig {
public:
    PortConfig(int baud, int byteSize, int stopBitsCode, int xonXoff, int parityCheck);

    // False (record untouched) when the speed, byte size or stop bits
    // have no termios equivalent.
    bool Apply(termios* tio) const;
    // The same judgement without a record, for a line of another kind.
    bool IsSupported() const;

    int Baud() const { return m_baud; }
    int ByteSize() const { return m_byteSize; }
    int StopBitsCode() const { return m_stopBitsCode; }
    bool XonXoff() const { return m_xonXoff; }

private:
    bool Speed(speed_t* speed) const;
    bool SizeFlag(tcflag_t* flag) const;
    bool StopFlag(tcflag_t* flag) const;
    void ApplyFlowControl(termios* tio) const;

    // Requested settings
    int m_baud;
    int m_byteSize;
    int m_stopBitsCode;  // 0 one stop bit, 2 two (1, one and a half, has no equivalent)
    bool m_xonXoff;
    bool m_parityCheck;
};
