// The Camera Link serial calls of the stand-in libraries. Every library of
// tools/clsim is this one object file; a linker version script per library
// decides which of the calls it exports (see CMakeLists.txt).

#include "ClSimChannel.h"
#include "ClSimConfig.h"
#include "ClSimStatus.h"
#include "comm/camlink/ClSerialApi.h"

#include <cstring>
#include <map>
#include <mutex>

using namespace clsim;

namespace {

constexpr uint32_t kInterfaceVersion = 0x11;   // reported by clGetPortInfo and clGetManufacturer

std::mutex gMutex;   // Protects gChannels and gSelectedMaker.
std::map<void*, std::unique_ptr<ClSimChannel>> gChannels;   // keyed by the handed-out reference
std::string gSelectedMaker;                                // "" until clSelectManufacturer

ClSimChannel* FindChannel(void* reference)
{
    std::lock_guard<std::mutex> lock(gMutex);
    auto found = gChannels.find(reference);
    return found == gChannels.end() ? nullptr : found->second.get();
}

// Copies `text` with its terminator; `size` comes in as the buffer size and
// goes out as the bytes used, or the bytes needed when the buffer is too small.
int32_t CopyText(const std::string& text, char* buffer, uint32_t* size)
{
    if (buffer == nullptr || size == nullptr)
        return StatusBadReference;
    const uint32_t needed = static_cast<uint32_t>(text.size() + 1);
    if (*size < needed) {
        *size = needed;
        return StatusBufferTooSmall;
    }
    std::memcpy(buffer, text.c_str(), needed);
    *size = needed;
    return StatusOk;
}

// After clSelectManufacturer the serial indices count that maker's ports,
// otherwise the ports of every maker.
uint32_t PortsInView(const ClSimConfig& config)
{
    std::lock_guard<std::mutex> lock(gMutex);
    return gSelectedMaker.empty() ? config.TotalPorts() : config.portsPerMaker;
}

}  // namespace

int32_t clSerialInit(uint32_t serialIndex, void** serialRef)
{
    const ClSimConfig config = ClSimConfig::FromEnvironment();
    if (serialRef == nullptr)
        return StatusBadReference;
    if (serialIndex >= PortsInView(config))
        return StatusBadIndex;
    std::unique_ptr<ClSimChannel> channel = ClSimChannel::Open(config.device);
    if (!channel)
        return StatusOpenFailed;
    std::lock_guard<std::mutex> lock(gMutex);
    *serialRef = channel.get();
    gChannels.emplace(channel.get(), std::move(channel));
    return StatusOk;
}

int32_t clSerialRead(void* serialRef, char* buffer, uint32_t* bufferSize, uint32_t serialTimeout)
{
    ClSimChannel* channel = FindChannel(serialRef);
    if (channel == nullptr || buffer == nullptr || bufferSize == nullptr)
        return StatusBadReference;
    return channel->Read(buffer, *bufferSize, serialTimeout);
}

int32_t clSerialWrite(void* serialRef, char* buffer, uint32_t* bufferSize, uint32_t serialTimeout)
{
    ClSimChannel* channel = FindChannel(serialRef);
    if (channel == nullptr || buffer == nullptr || bufferSize == nullptr)
        return StatusBadReference;
    return channel->Write(buffer, *bufferSize, serialTimeout);
}

void clSerialClose(void* serialRef)
{
    std::lock_guard<std::mutex> lock(gMutex);
    gChannels.erase(serialRef);
}

int32_t clGetNumPorts(uint32_t* numPorts)
{
    if (numPorts == nullptr)
        return StatusBadReference;
    const ClSimConfig config = ClSimConfig::FromEnvironment();
    *numPorts = config.claimCount ? config.claimedCount : config.TotalPorts();
    return StatusOk;
}

int32_t clGetPortInfo(uint32_t serialIndex, char* manufacturerName, uint32_t* nameBytes,
                      char* portId, uint32_t* idBytes, uint32_t* version)
{
    const ClSimConfig config = ClSimConfig::FromEnvironment();
    if (serialIndex >= config.TotalPorts())
        return StatusBadIndex;
    // Ports are numbered maker by maker.
    const std::string& maker = config.makers[serialIndex / config.portsPerMaker];
    const int32_t nameStatus = CopyText(maker, manufacturerName, nameBytes);
    const int32_t idStatus =
        CopyText(ClSimConfig::PortName(serialIndex % config.portsPerMaker), portId, idBytes);
    if (version != nullptr)
        *version = kInterfaceVersion;
    return nameStatus != StatusOk ? nameStatus : idStatus;
}

int32_t clGetSupportedBaudRates(void* serialRef, uint32_t* baudRates)
{
    const ClSimConfig config = ClSimConfig::FromEnvironment();
    if (FindChannel(serialRef) == nullptr || baudRates == nullptr)
        return StatusBadReference;
    if (config.noRates)
        return StatusNoRateList;
    *baudRates = config.rateMask;
    return StatusOk;
}

int32_t clSetBaudRate(void* serialRef, uint32_t baudRate)
{
    const ClSimConfig config = ClSimConfig::FromEnvironment();
    ClSimChannel* channel = FindChannel(serialRef);
    if (channel == nullptr)
        return StatusBadReference;
    if (config.failSetRate)
        return StatusIoError;
    // Exactly one bit, and one the library claims to support.
    if (baudRate == 0 || (baudRate & (baudRate - 1)) != 0 || (baudRate & config.rateMask) == 0)
        return StatusRateUnsupported;
    return channel->SetSpeed(baudRate) ? StatusOk : StatusIoError;
}

int32_t clFlushPort(void* serialRef)
{
    ClSimChannel* channel = FindChannel(serialRef);
    if (channel == nullptr)
        return StatusBadReference;
    return channel->Flush() ? StatusOk : StatusIoError;
}

int32_t clGetNumBytesAvail(void* serialRef, uint32_t* numBytes)
{
    ClSimChannel* channel = FindChannel(serialRef);
    if (channel == nullptr || numBytes == nullptr)
        return StatusBadReference;
    return channel->BytesAvailable(*numBytes);
}

int32_t clGetErrorText(const char* /*manufacturerName*/, int32_t errorCode, char* errorText,
                       uint32_t* errorTextSize)
{
    return CopyText(StatusText(errorCode), errorText, errorTextSize);
}

int32_t clGetNumManufacturers(uint32_t* count)
{
    if (count == nullptr)
        return StatusBadReference;
    const ClSimConfig config = ClSimConfig::FromEnvironment();
    *count = config.claimCount ? config.claimedCount : static_cast<uint32_t>(config.makers.size());
    return StatusOk;
}

int32_t clGetManufacturer(uint32_t index, char* name, uint32_t* nameBytes, uint32_t* version)
{
    const ClSimConfig config = ClSimConfig::FromEnvironment();
    if (index >= config.makers.size())
        return StatusBadIndex;
    if (version != nullptr)
        *version = kInterfaceVersion;
    return CopyText(config.makers[index], name, nameBytes);
}

int32_t clSelectManufacturer(const char* name)
{
    const ClSimConfig config = ClSimConfig::FromEnvironment();
    if (name == nullptr)
        return StatusBadReference;
    for (const std::string& maker : config.makers) {
        if (maker == name) {
            std::lock_guard<std::mutex> lock(gMutex);
            gSelectedMaker = maker;
            return StatusOk;
        }
    }
    return StatusUnknownMaker;
}

int32_t clGetNumSerialPorts(uint32_t* numPorts)
{
    if (numPorts == nullptr)
        return StatusBadReference;
    *numPorts = PortsInView(ClSimConfig::FromEnvironment());
    return StatusOk;
}

int32_t clGetSerialPortIdentifier(uint32_t index, char* portId, uint32_t* idBytes)
{
    const ClSimConfig config = ClSimConfig::FromEnvironment();
    if (index >= PortsInView(config))
        return StatusBadIndex;
    return CopyText(ClSimConfig::PortName(index % config.portsPerMaker), portId, idBytes);
}
