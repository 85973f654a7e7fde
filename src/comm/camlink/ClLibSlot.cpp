#include "comm/camlink/ClLibSlot.h"

#include "comm/camlink/ClSerialApi.h"

#include <dlfcn.h>
#include <link.h>

#include <cstdlib>
#include <cstring>

namespace {

constexpr size_t kErrorTextBytes = 256;

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
                     bool requireAll, std::string* problem)
{
    // Loading over a held library would leak its handle and strand an open channel.
    Release();
    // RTLD_LOCAL keeps two makers' libraries, which export the same names, apart.
    m_module = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (m_module == nullptr) {
        const char* loaderText = dlerror();
        if (problem != nullptr)
            *problem = (loaderText != nullptr ? loaderText : library + ": cannot be loaded") + SearchText(library);
        return false;
    }
    for (ClEntry entry : entries) {
        void* symbol = dlsym(m_module, kSymbols[static_cast<size_t>(entry)]);
        if (symbol == nullptr && requireAll) {
            if (problem != nullptr)
                *problem = LoadedPath(library) + " lacks " + kSymbols[static_cast<size_t>(entry)];
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

bool ClLibSlot::OpenChannel(uint32_t serialIndex, int32_t* status)
{
    auto init = Entry<ClSerialInitFn>(ClEntry::SerialInit);
    if (init == nullptr)
        return false;
    CloseChannel();
    void* reference = nullptr;
    const int32_t result = init(serialIndex, &reference);
    if (status != nullptr)
        *status = result;
    if (result != 0)
        return false;
    m_channel = reference;
    m_channelOpen = true;
    return true;
}

// Where a library named without a folder was looked for.
std::string ClLibSlot::SearchText(const std::string& library)
{
    if (library.find('/') != std::string::npos)
        return "";
    const char* searchPath = std::getenv("LD_LIBRARY_PATH");
    const std::string system = "the system's library folders (ld.so.conf)";
    if (searchPath == nullptr || *searchPath == '\0')
        return "; looked for in " + system;
    return "; looked for in LD_LIBRARY_PATH (" + std::string(searchPath) + ") and " + system;
}

// The file the loaded library came from, when the loader tells it.
std::string ClLibSlot::LoadedPath(const std::string& library) const
{
    link_map* map = nullptr;
    if (m_module == nullptr || dlinfo(m_module, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr || map->l_name == nullptr ||
        library == map->l_name)
        return library;
    return library + " (" + map->l_name + ")";
}

std::string ClLibSlot::ErrorText(int32_t status, const std::string& maker) const
{
    const std::string code = "status " + std::to_string(status);
    auto getText = Entry<ClGetErrorTextFn>(ClEntry::GetErrorText);
    if (getText == nullptr)
        return code;
    char text[kErrorTextBytes] = {};
    uint32_t size = sizeof text;
    if (getText(maker.c_str(), status, text, &size) != 0)
        return code;
    const std::string shown(text, strnlen(text, sizeof text));
    return shown.empty() ? code : shown + " (" + code + ")";
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
