#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <poll.h>
#include <pty.h>
#include <string>
#include <termios.h>
#include <unistd.h>
#include <vector>

#include "support/WaitFor.h"

// A pseudo-terminal: the port under test opens the slave path, the test plays
// the far end on the master.
class PtyPair {
public:
    PtyPair()
    {
        char name[256] = {};
        if (openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0)
            return;
        termios tio{};
        tcgetattr(m_slave, &tio);
        cfmakeraw(&tio);
        tcsetattr(m_slave, TCSANOW, &tio);
        m_path = name;
    }
    ~PtyPair()
    {
        CloseMaster();
        if (m_slave >= 0)
            close(m_slave);
    }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool IsValid() const { return !m_path.empty(); }
    const std::string& SlavePath() const { return m_path; }
    int SlaveFd() const { return m_slave; }
    // The line speed the port under test last set.
    speed_t Speed() const
    {
        termios tio{};
        tcgetattr(m_slave, &tio);
        return cfgetospeed(&tio);
    }

    void CloseMaster()
    {
        if (m_master >= 0)
            close(m_master);
        m_master = -1;
    }

    bool Send(const std::vector<uint8_t>& bytes) const
    {
        return write(m_master, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    }
    bool Send(const std::string& text) const { return Send(std::vector<uint8_t>(text.begin(), text.end())); }

    // What arrives at the master until it holds `expected` or the deadline passes.
    std::string ReceiveUntil(const std::string& expected, std::chrono::milliseconds timeout,
                             const std::function<void()>& whileWaiting = {}) const
    {
        return ReadWhile([&](const std::string& got) { return got.find(expected) == std::string::npos; }, timeout,
                         whileWaiting);
    }

    // Whatever of count bytes arrives at the master before the deadline.
    std::vector<uint8_t> Receive(size_t count, std::chrono::milliseconds timeout) const
    {
        const std::string got = ReadWhile([&](const std::string& got) { return got.size() < count; }, timeout, {});
        return std::vector<uint8_t>(got.begin(), got.end());
    }

private:
    std::string ReadWhile(const std::function<bool(const std::string&)>& wanting, std::chrono::milliseconds timeout,
                          const std::function<void()>& whileWaiting) const
    {
        std::string got;
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (wanting(got) && std::chrono::steady_clock::now() < deadline) {
            if (whileWaiting)
                whileWaiting();
            pollfd master{m_master, POLLIN, 0};
            char chunk[256];
            const ssize_t n = poll(&master, 1, 5) > 0 ? read(m_master, chunk, sizeof chunk) : 0;
            if (n > 0)
                got.append(chunk, static_cast<size_t>(n));
        }
        return got;
    }

    int m_master = -1;
    int m_slave = -1;  // kept open so the terminal outlives the port's own descriptor
    std::string m_path;
};
