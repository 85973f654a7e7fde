#include "comm/serial/TelnetCodec.h"

#include <utility>

namespace {
constexpr uint8_t kNul = 0;
constexpr uint8_t kCr = '\r';
}  // namespace

TelnetCodec::TelnetCodec(std::vector<uint8_t> ourOptions, SubnegotiationSink sink)
    : m_ourOptions(std::move(ourOptions)), m_sink(std::move(sink))
{
}

void TelnetCodec::Greet()
{
    m_ours[kBinary] = State::WantYes;
    Send(kWill, kBinary);
    m_theirs[kBinary] = State::WantYes;
    Send(kDo, kBinary);
    for (const uint8_t option : m_ourOptions) {
        m_ours[option] = State::WantYes;
        Send(kWill, option);
    }
}

void TelnetCodec::Subnegotiate(uint8_t option, const std::string& payload)
{
    m_output += static_cast<char>(kIac);
    m_output += static_cast<char>(kSb);
    m_output += Escape(option);
    for (const char c : payload)
        m_output += Escape(static_cast<uint8_t>(c));
    m_output += static_cast<char>(kIac);
    m_output += static_cast<char>(kSe);
}

std::string TelnetCodec::Escape(uint8_t byte)
{
    return byte == kIac ? std::string(2, static_cast<char>(kIac)) : std::string(1, static_cast<char>(byte));
}

std::string TelnetCodec::TakeOutput()
{
    return std::exchange(m_output, std::string());
}

size_t TelnetCodec::Receive(const uint8_t* wire, size_t size, uint8_t* data)
{
    size_t count = 0;
    for (size_t i = 0; i < size; ++i)
        if (ReceiveByte(wire[i], data + count))
            ++count;
    return count;
}

// True when the byte was a data byte, stored at *data.
bool TelnetCodec::ReceiveByte(uint8_t byte, uint8_t* data)
{
    switch (m_parse) {
    case Parse::Data:
        if (byte == kIac) {
            m_parse = Parse::Command;
            return false;
        }
        return ReceiveData(byte, data);
    case Parse::Command:
        if (byte == kIac) {   // IAC IAC: the data byte 0xFF
            m_parse = Parse::Data;
            return ReceiveData(byte, data);
        }
        ReceiveCommand(byte);
        return false;
    case Parse::Option:
        ReceiveOption(byte);
        m_parse = Parse::Data;
        return false;
    case Parse::SbOption:
        m_sbOption = byte;
        m_sbPayload.clear();
        m_sbOverlong = false;
        m_parse = Parse::SbData;
        return false;
    default:
        ReceiveSubnegotiation(byte);
        return false;
    }
}

bool TelnetCodec::ReceiveData(uint8_t byte, uint8_t* data)
{
    const bool droppedNul = m_afterCr && byte == kNul && m_theirs[kBinary] != State::Yes;
    m_afterCr = byte == kCr;
    if (droppedNul)
        return false;
    *data = byte;
    return true;
}

// After IAC: an option verb, the start of a subnegotiation, or a command
// without meaning for a serial line (NOP, data mark, break, go ahead ...),
// which is passed over. IAC SE outside a subnegotiation is passed over too.
void TelnetCodec::ReceiveCommand(uint8_t byte)
{
    if (byte >= kWill && byte <= kDont) {
        m_verb = byte;
        m_parse = Parse::Option;
    } else if (byte == kSb) {
        m_parse = Parse::SbOption;
    } else {
        m_parse = Parse::Data;
    }
}

void TelnetCodec::ReceiveOption(uint8_t option)
{
    switch (m_verb) {
    case kWill:
        Offered(m_theirs[option], option, option == kBinary || option == kSuppressGoAhead, kDo, kDont);
        break;
    case kWont:
        Withdrawn(m_theirs[option], option, kDont);
        break;
    case kDo:
        Offered(m_ours[option], option, WeUse(option), kWill, kWont);
        break;
    default:
        Withdrawn(m_ours[option], option, kWont);
        break;
    }
}

// The far side asks for an option to be on: agreed or refused once; a
// request already granted, or the answer to our own request, needs no answer.
void TelnetCodec::Offered(State& state, uint8_t option, bool accept, uint8_t yes, uint8_t no)
{
    if (state == State::Yes)
        return;
    if (state == State::WantYes) {
        state = accept ? State::Yes : State::No;
        return;
    }
    state = accept ? State::Yes : State::No;
    Send(accept ? yes : no, option);
}

// The far side turns an option off, or refuses our request: only an option
// that was on is answered.
void TelnetCodec::Withdrawn(State& state, uint8_t option, uint8_t no)
{
    const bool wasOn = state == State::Yes;
    state = State::No;
    if (wasOn)
        Send(no, option);
}

void TelnetCodec::ReceiveSubnegotiation(uint8_t byte)
{
    if (m_parse == Parse::SbData && byte == kIac) {
        m_parse = Parse::SbCommand;
        return;
    }
    if (m_parse == Parse::SbData || byte == kIac) {   // a payload byte; IAC IAC stands for 0xFF
        m_parse = Parse::SbData;
        if (m_sbPayload.size() < kLongestSubnegotiation)
            m_sbPayload += static_cast<char>(byte);
        else
            m_sbOverlong = true;
        return;
    }
    if (byte == kSe) {
        EndSubnegotiation();
        m_parse = Parse::Data;
        return;
    }
    // A subnegotiation cut short by another command: dropped, the command taken.
    ReceiveCommand(byte);
}

void TelnetCodec::EndSubnegotiation()
{
    if (!m_sbOverlong && m_sink)
        m_sink(m_sbOption, m_sbPayload);
}

void TelnetCodec::Send(uint8_t verb, uint8_t option)
{
    // A far side that does not read its answers gets no more of them.
    if (m_output.size() >= kAnswerLimit)
        return;
    m_output += static_cast<char>(kIac);
    m_output += static_cast<char>(verb);
    m_output += static_cast<char>(option);
}

bool TelnetCodec::WeUse(uint8_t option) const
{
    if (option == kBinary || option == kSuppressGoAhead)
        return true;
    for (const uint8_t ours : m_ourOptions)
        if (ours == option)
            return true;
    return false;
}
