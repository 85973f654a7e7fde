#pragma once

#include "comm/camlink/ClLibSlot.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct AppSettings;

// Finds the Camera Link serial libraries, lists what they offer, loads the
// right one at run time and moves bytes through the grabber's serial channel.
// The slot in use is chosen by settings.serialMode at the moment of each call:
// 1 the grabber's own clser*.so, 2 libclserial.so, anything else libclallserial.so.
class ClSerialLib {
public:
    static constexpr const char* kDefaultFolder = "/usr/local/lib/cameralink";
    // Shows a refusal to the user (exclamation icon).
    using MessageSink = std::function<void(const std::string& text)>;

    ClSerialLib(AppSettings& settings, std::string systemFolder = kDefaultFolder);
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

    bool ClOpen();
    bool ClSetBaud(int rate);
    bool ClWrite(const uint8_t* bytes, int count, int timeoutMs);
    int ClRead(uint8_t* buffer, int count, int timeoutMs);
    bool ClClose();   // always true
    // True once a write failed or timed out since the last ClOpen.
    bool HasLineFault() const { return m_lineFault; }

    static uint32_t ClBaudMask(int rate);

private:
    // The slot of each line kind, in the order 1, 2, other.
    enum SlotIndex { GrabberSlot = 0, MakerSlot = 1, AllPortsSlot = 2 };

    SlotIndex CurrentKind() const;
    bool OpenGrabberChannel(ClLibSlot& slot);
    bool OpenMakerChannel(ClLibSlot& slot);
    bool OpenAllPortsChannel(ClLibSlot& slot);
    bool SetLibraryBaud(ClLibSlot& slot, int rate);
    void ShowMessage(const std::string& text) const;

    AppSettings& m_settings;
    std::string m_systemFolder;
    MessageSink m_sink;

    std::vector<std::string> m_grabberLibraries;
    std::vector<std::string> m_manufacturers;
    std::vector<std::string> m_clPorts;

    std::array<ClLibSlot, 3> m_slots;   // indexed by SlotIndex
    bool m_lineFault = false;
};
