#pragma once

#include "comm/camlink/ClLibSlot.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class PortLock;

// Finds the Camera Link serial libraries, lists what they offer, loads the
// right one at run time and moves bytes through the grabber's serial channel.
// Each library kind has a slot of its own; every call names the kind it uses.
class ClSerialLib {
public:
    static constexpr const char* kDefaultFolder = "/usr/local/lib/cameralink";
    // The library kinds, each with its slot.
    enum Kind { Grabber = 0, Maker = 1, AllPorts = 2 };   // clser*.so, libclserial.so, libclallserial.so
    // The channel chosen in the communication window.
    struct Selection {
        Kind kind = AllPorts;
        std::string name;         // Grabber: the library file; Maker: the maker; both name the line in messages
        uint32_t channel = 0;     // Maker: its serial index; AllPorts: the port index; Grabber: unused (0)
    };
    // Shows a refusal to the user (exclamation icon).
    using MessageSink = std::function<void(const std::string& text)>;

    explicit ClSerialLib(std::string systemFolder = kDefaultFolder);
    ~ClSerialLib();   // closes and unloads every slot
    ClSerialLib(const ClSerialLib&) = delete;
    ClSerialLib& operator=(const ClSerialLib&) = delete;

    void SetMessageSink(MessageSink sink);

    void ListGrabberLibraries();
    void ListManufacturers();
    void ListClPorts();
    const std::vector<std::string>& GrabberLibraries() const;
    const std::vector<std::string>& Manufacturers() const;
    const std::vector<std::string>& ClPorts() const;

    // Appends every entry to `out`; returns the number of entries.
    static int FillPortList(const std::vector<std::string>& list, std::vector<std::string>& out);
    // The entry at index, or "" when index is outside the list.
    static std::string GetListEntry(const std::vector<std::string>& list, int index);

    // Opens the channel and claims its port lock, keyed by the library and
    // the port, so that other copies of the tool order their writes to the
    // same port and never wait for another port's.
    bool ClOpen(const Selection& line);
    // The key of the line's port lock.
    std::string LockKey(const Selection& line) const;
    bool ClSetBaud(const Selection& line, int rate);
    bool ClWrite(Kind kind, const uint8_t* bytes, int count, int timeoutMs);
    int ClRead(Kind kind, uint8_t* buffer, int count, int timeoutMs);
    bool ClClose(Kind kind);   // always true
    // Why the last ClOpen failed, naming the library and what it offers ("" after a success).
    const std::string& OpenProblem() const { return m_openProblem; }
    // True once a write failed or timed out since the last ClOpen.
    bool HasLineFault() const { return m_lineFault; }

    static uint32_t ClBaudMask(int rate);

    // How long a write waits for another copy of the tool writing to the same port.
    static constexpr std::chrono::milliseconds kLockStallLimit{2000};

private:
    bool OpenGrabberChannel(ClLibSlot& slot, const std::string& file);
    bool OpenMakerChannel(ClLibSlot& slot, const Selection& line);
    bool OpenAllPortsChannel(ClLibSlot& slot, uint32_t port);
    bool OpenFailed(const std::string& problem);
    std::string GrabberFileProblem(const std::string& file, const std::string& path) const;
    static void ListGrabberFiles(const std::string& folderPath, std::vector<std::string>& files);
    static std::vector<std::string> MakerNames(const ClLibSlot& slot);
    static std::vector<std::string> PortNames(const ClLibSlot& slot);
    static std::string ListedText(const std::vector<std::string>& entries, const std::string& one,
                                  const std::string& many);
    bool SetLibraryBaud(ClLibSlot& slot, const std::string& lineName, int rate);
    void ShowMessage(const std::string& text) const;

    std::string m_systemFolder;
    MessageSink m_sink;

    std::vector<std::string> m_grabberLibraries;
    std::vector<std::string> m_manufacturers;
    std::vector<std::string> m_clPorts;

    std::array<ClLibSlot, 3> m_slots;   // indexed by Kind
    std::array<std::unique_ptr<PortLock>, 3> m_portLocks;   // of each open channel, indexed by Kind
    bool m_lineFault = false;
    std::string m_openProblem;
};
