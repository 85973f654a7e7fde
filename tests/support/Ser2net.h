#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "support/ChildProcess.h"
#include "support/TempFolder.h"
#include "support/WaitFor.h"

// ser2net started beside the test on 127.0.0.1 with a configuration the test
// writes: each device it is given is served on a free TCP port of its own,
// raw or as telnet with the COM-port option.
class Ser2net {
public:
    enum class Mode { Raw, Rfc2217 };
    struct Port {
        std::string device;
        Mode mode = Mode::Raw;
        int baud = 9600;   // the line's speed until a client sets another
    };

    explicit Ser2net(const std::vector<Port>& ports) : m_ports(ports)
    {
        std::ofstream config(m_folder.File("ser2net.yaml"));
        config << "%YAML 1.1\n---\n";
        for (size_t i = 0; i < ports.size(); ++i) {
            m_tcpPorts.push_back(FreeTcpPort());
            config << "connection: &port" << i << "\n"
                   << "    accepter: " << (ports[i].mode == Mode::Raw ? "" : "telnet(rfc2217),") << "tcp,127.0.0.1,"
                   << m_tcpPorts[i] << "\n"
                   << "    connector: serialdev," << ports[i].device << "," << ports[i].baud << "n81,local\n";
        }
        config.close();
        m_process = std::make_unique<ChildProcess>("ser2net -d -c '" + m_folder.File("ser2net.yaml") + "'");
    }
    ~Ser2net() { Stop(); }
    Ser2net(const Ser2net&) = delete;
    Ser2net& operator=(const Ser2net&) = delete;

    // True once every port listens.
    bool WaitListening(int limitMs = 10000) const
    {
        return WaitFor([&] {
            for (const int port : m_tcpPorts)
                if (!Listening(port))
                    return false;
            return true;
        }, limitMs);
    }
    // "tcp:127.0.0.1:N" or "rfc2217:127.0.0.1:N".
    std::string Name(size_t i) const
    {
        return std::string(m_ports[i].mode == Mode::Raw ? "tcp:" : "rfc2217:") + "127.0.0.1:" + std::to_string(m_tcpPorts[i]);
    }
    void Stop(int signal = SIGTERM)
    {
        if (!m_process)
            return;
        m_process->Signal(signal);
        m_process->Wait();
        m_process.reset();
    }
    std::string Log() const { return m_process ? m_process->Out() + m_process->Err() : ""; }

    // A port nothing listens on (for now).
    static int FreeTcpPort()
    {
        const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
        close(fd);
        return ntohs(address.sin_port);
    }

private:
    // Whether a socket listens on 127.0.0.1:port, read from the kernel's table
    // (connecting would open the device behind it).
    static bool Listening(int port)
    {
        std::ifstream table("/proc/net/tcp");
        std::string line;
        std::getline(table, line);
        while (std::getline(table, line)) {
            std::istringstream fields(line);
            std::string slot, local, remote, state;
            fields >> slot >> local >> remote >> state;
            if (state == "0A" && local == "0100007F:" + Hex(port))
                return true;
        }
        return false;
    }
    static std::string Hex(int port)
    {
        char text[8];
        std::snprintf(text, sizeof text, "%04X", port);
        return text;
    }

    TempFolder m_folder;
    std::vector<Port> m_ports;
    std::vector<int> m_tcpPorts;
    std::unique_ptr<ChildProcess> m_process;
};
