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
    module_ = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module_ == nullptr)
        return false;
    for (ClEntry entry : entries) {
        void* symbol = dlsym(module_, kSymbols[static_cast<size_t>(entry)]);
        if (symbol == nullptr && requireAll) {
            Unload();
            return false;
        }
        entries_[static_cast<size_t>(entry)] = symbol;
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
    if (module_ != nullptr)
        dlclose(module_);
    module_ = nullptr;
    entries_.fill(nullptr);
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
    channel_ = reference;
    channelOpen_ = true;
    return true;
}

void ClLibSlot::CloseChannel()
{
    if (!channelOpen_)
        return;
    auto close = Entry<ClSerialCloseFn>(ClEntry::SerialClose);
    if (close != nullptr)
        close(channel_);
    channel_ = nullptr;
    channelOpen_ = false;
}
