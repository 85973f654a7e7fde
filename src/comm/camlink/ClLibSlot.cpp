#include "comm/camlink/ClLibSlot.h"

#include "comm/camlink/ClSerialApi.h"

#include <dlfcn.h>

namespace {

// Exported names, in the order of ClEntry.
const char* const kSymbols[] = {
    "clSerialInit",
    "clSerialClose",
    "clSerialRead",
    "clSerialWrite",
    "clGetNumPorts",
    "clGetPortInfo",
    "clGetSupportedBaudRates",
    "clSetBaudRate",
    "clFlushPort",
    "clGetNumBytesAvail",
    "clGetErrorText",
    "clGetNumManufacturers",
    "clGetManufacturer",
    "clSelectManufacturer",
    "clGetNumSerialPorts",
    "clGetSerialPortIdentifier",
};

}  // namespace

static_assert(sizeof kSymbols / sizeof kSymbols[0] ==
                  static_cast<size_t>(ClEntry::GetSerialPortIdentifier) + 1,
              "one symbol per ClEntry");

ClLibSlot::~ClLibSlot()
{
    Release();
}

bool ClLibSlot::Load(const std::string& library, const std::vector<ClEntry>& entries,
                     bool requireAll)
{
    // Loading over a held library would leak its handle and strand an open channel.
    Release();
    // RTLD_LOCAL keeps two makers' libraries, which export the same names, apart.
    m_module = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (m_module == nullptr)
        return false;
    for (ClEntry entry : entries) {
        void* symbol = dlsym(m_module, kSymbols[static_cast<size_t>(entry)]);
        if (symbol == nullptr && requireAll) {
            Unload();
            return false;
        }
        m_entries[static_cast<size_t>(entry)] = symbol;
    }
    return true;
}

void ClLibSlot::Release()
{
    CloseChannel();
    Unload();
}

void ClLibSlot::Unload()
{
    if (m_module != nullptr)
        dlclose(m_module);
    m_module = nullptr;
    m_entries.fill(nullptr);
}

bool ClLibSlot::OpenChannel(uint32_t serialIndex)
{
    auto init = Entry<ClSerialInitFn>(ClEntry::SerialInit);
    if (init == nullptr)
        return false;
    CloseChannel();
    void* reference = nullptr;
    if (init(serialIndex, &reference) != 0)
        return false;
    m_channel = reference;
    m_channelOpen = true;
    return true;
}

void ClLibSlot::CloseChannel()
{
    if (!m_channelOpen)
        return;
    auto close = Entry<ClSerialCloseFn>(ClEntry::SerialClose);
    if (close != nullptr)
        close(m_channel);
    m_channel = nullptr;
    m_channelOpen = false;
}
