#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Telnet from the client's side (RFC 854, 855), as a serial port server speaks
// it: takes the commands out of the received bytes, answers every option
// request, and escapes the data byte 0xFF both ways. Binary transmission
// (RFC 856) is asked for both ways; an option this side does not use is
// refused. Each side's state of each option is kept and only a change of
// state is answered, so two sides never answer each other without end
// (RFC 1143). Pure: the caller moves the bytes.
class TelnetCodec {
public:
    // Bytes of the protocol
    static constexpr uint8_t kIac = 255;
    static constexpr uint8_t kDont = 254;
    static constexpr uint8_t kDo = 253;
    static constexpr uint8_t kWont = 252;
    static constexpr uint8_t kWill = 251;
    static constexpr uint8_t kSb = 250;
    static constexpr uint8_t kSe = 240;
    // Options
    static constexpr uint8_t kBinary = 0;
    static constexpr uint8_t kSuppressGoAhead = 3;

    // Longest subnegotiation kept; a longer one is dropped whole.
    static constexpr size_t kLongestSubnegotiation = 256;
    // Answers held for a far side that does not read them; beyond, new ones are dropped.
    static constexpr size_t kAnswerLimit = 4096;

    enum class State : uint8_t { No, Yes, WantYes };
    // Told each complete subnegotiation the far side sends: option and payload.
    using SubnegotiationSink = std::function<void(uint8_t option, const std::string& payload)>;

    // `ourOptions`: options this side enables besides binary and suppress-go-ahead.
    explicit TelnetCodec(std::vector<uint8_t> ourOptions = {}, SubnegotiationSink sink = {});

    // Asks for binary both ways and for each of our options.
    void Greet();
    // Queues IAC SB option payload IAC SE, with 0xFF doubled in the payload.
    void Subnegotiate(uint8_t option, const std::string& payload);
    // The wire form of one data byte.
    static std::string Escape(uint8_t byte);

    // Takes received bytes: data bytes go to `data`, which has room for
    // `size`; answers are queued. Returns the number of data bytes.
    size_t Receive(const uint8_t* wire, size_t size, uint8_t* data);
    // Answers and requests queued since the last call, in order.
    std::string TakeOutput();

    State Ours(uint8_t option) const { return m_ours[option]; }
    State Theirs(uint8_t option) const { return m_theirs[option]; }

private:
    enum class Parse : uint8_t { Data, Command, Option, SbOption, SbData, SbCommand };

    bool ReceiveByte(uint8_t byte, uint8_t* data);
    bool ReceiveData(uint8_t byte, uint8_t* data);
    void ReceiveCommand(uint8_t byte);
    void ReceiveOption(uint8_t option);
    void ReceiveSubnegotiation(uint8_t byte);
    void EndSubnegotiation();
    void Offered(State& state, uint8_t option, bool accept, uint8_t yes, uint8_t no);
    void Withdrawn(State& state, uint8_t option, uint8_t no);
    void Send(uint8_t verb, uint8_t option);
    bool WeUse(uint8_t option) const;

    // Options
    std::vector<uint8_t> m_ourOptions;
    std::array<State, 256> m_ours{};    // what this side does
    std::array<State, 256> m_theirs{};  // what the far side does

    // Receiving
    Parse m_parse = Parse::Data;
    uint8_t m_verb = 0;            // WILL, WONT, DO or DONT awaiting its option
    bool m_afterCr = false;        // a CR NUL from a side not in binary mode is a CR
    uint8_t m_sbOption = 0;
    std::string m_sbPayload;
    bool m_sbOverlong = false;
    SubnegotiationSink m_sink;

    // Sending
    std::string m_output;
};
