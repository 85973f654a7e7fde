#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Entry points a slot may resolve; the order indexes the symbol table in ClLibSlot.cpp.
enum class ClEntry {
    SerialInit,
    SerialClose,
    SerialRead,
    SerialWrite,
    GetNumPorts,
    GetPortInfo,
    GetSupportedBaudRates,
    SetBaudRate,
    FlushPort,
    GetNumBytesAvail,
    GetErrorText,
    GetNumManufacturers,
    GetManufacturer,
    SelectManufacturer,
    GetNumSerialPorts,
    GetSerialPortIdentifier,
};

// One Camera Link serial library loaded at run time: its module, the entry
// points resolved from it and the serial channel opened through it.
class ClLibSlot {
public:
    ClLibSlot() = default;
    ~ClLibSlot();   // Release()
    ClLibSlot(const ClLibSlot&) = delete;
    ClLibSlot& operator=(const ClLibSlot&) = delete;

    // Loads `library` (a path, or a bare name found through the library
    // search) and resolves `entries`. Whatever the slot held before is
    // released first. With `requireAll`, a library lacking any of them is
    // unloaded again and counts as not loadable. On failure `problem`, when
    // given, says why (the loader's own text, or the entry that is missing).
    bool Load(const std::string& library, const std::vector<ClEntry>& entries, bool requireAll,
              std::string* problem = nullptr);
    // Closes the channel when one is open, then unloads the library.
    void Release();

    // The resolved entry point as `Fn`; nullptr when it was not resolved.
    template <typename Fn>
    Fn Entry(ClEntry entry) const
    {
        return reinterpret_cast<Fn>(m_entries[static_cast<size_t>(entry)]);
    }

    // clSerialInit through this library; true when it returned 0, else
    // `status` (when given) holds what it returned.
    bool OpenChannel(uint32_t serialIndex, int32_t* status = nullptr);
    // The library's own text for a status (clGetErrorText), or "status N"
    // when it gives none. `maker` is passed on to the library.
    std::string ErrorText(int32_t status, const std::string& maker) const;
    // clSerialClose when a channel is open.
    void CloseChannel();
    bool HasChannel() const { return m_channelOpen; }
    void* Channel() const { return m_channel; }

private:
    static constexpr size_t kEntryCount = static_cast<size_t>(ClEntry::GetSerialPortIdentifier) + 1;

    void Unload();
    static std::string SearchText(const std::string& library);
    std::string LoadedPath(const std::string& library) const;

    void* m_module = nullptr;
    // The opaque reference is the library's business (it may even be null),
    // so whether a channel is open is kept apart from it.
    void* m_channel = nullptr;
    bool m_channelOpen = false;
    std::array<void*, kEntryCount> m_entries{};
};
