#include "comm/camlink/ClSerialLib.h"

#include "comm/camlink/ClSerialApi.h"
#include "comm/serial/PortLock.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fnmatch.h>
#include <iostream>
#include <sys/stat.h>

namespace {

constexpr const char* kMakerLibrary = "libclserial.so";
constexpr const char* kAllPortsLibrary = "libclallserial.so";
constexpr const char* kGrabberPattern = "clser*.so";
// Every text buffer handed to a library.
constexpr uint32_t kTextBytes = 128;
// More makers or ports than any machine holds: a library reporting more
// (a count of -1 read unsigned) is taken as failed, not looped over.
constexpr uint32_t kMostListEntries = 256;

const std::vector<ClEntry> kGrabberEntries = {
    ClEntry::SerialInit, ClEntry::SerialClose, ClEntry::SerialRead, ClEntry::SerialWrite,
};
const std::vector<ClEntry> kMakerEntries = {
    ClEntry::GetManufacturer, ClEntry::GetNumManufacturers, ClEntry::SelectManufacturer,
    ClEntry::GetNumSerialPorts, ClEntry::GetSerialPortIdentifier, ClEntry::SerialInit,
    ClEntry::SerialClose, ClEntry::SerialRead, ClEntry::SerialWrite,
    ClEntry::GetSupportedBaudRates, ClEntry::SetBaudRate, ClEntry::GetErrorText,
};
const std::vector<ClEntry> kAllPortsEntries = {
    ClEntry::FlushPort, ClEntry::GetErrorText, ClEntry::GetNumPorts, ClEntry::GetNumBytesAvail,
    ClEntry::GetPortInfo, ClEntry::GetSupportedBaudRates, ClEntry::SerialClose,
    ClEntry::SerialInit, ClEntry::SerialRead, ClEntry::SerialWrite, ClEntry::SetBaudRate,
};

struct BaudBit {
    int rate;
    uint32_t bit;
};
const BaudBit kBaudBits[] = {
    {9600, ClBaud9600},     {19200, ClBaud19200},   {38400, ClBaud38400},
    {57600, ClBaud57600},   {115200, ClBaud115200}, {230400, ClBaud230400},
    {460800, ClBaud460800}, {921600, ClBaud921600},
};

// A text buffer a library filled; it may have left it without a terminator.
struct TextBuffer {
    char bytes[kTextBytes] = {};
    uint32_t size = kTextBytes;

    std::string Text() const { return std::string(bytes, strnlen(bytes, kTextBytes)); }
};

bool IsRegularFile(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

ClSerialLib::ClSerialLib(std::string systemFolder)
    : m_systemFolder(std::move(systemFolder))
{
}

// Each slot closes its channel and unloads its library.
ClSerialLib::~ClSerialLib() = default;

void ClSerialLib::SetMessageSink(MessageSink sink)
{
    m_sink = std::move(sink);
}

void ClSerialLib::ListGrabberLibraries()
{
    ListGrabberFiles(m_systemFolder, m_grabberLibraries);
}

void ClSerialLib::ListGrabberFiles(const std::string& folderPath, std::vector<std::string>& files)
{
    files.clear();
    DIR* folder = opendir(folderPath.c_str());
    if (folder == nullptr)
        return;
    while (const dirent* item = readdir(folder)) {
        const std::string name = item->d_name;
        if (fnmatch(kGrabberPattern, name.c_str(), 0) == 0 && IsRegularFile(folderPath + "/" + name))
            files.push_back(name);
    }
    closedir(folder);
    // The folder's own order is arbitrary; the stored dllNo needs a stable one.
    std::sort(files.begin(), files.end());
}

void ClSerialLib::ListManufacturers()
{
    // A scratch slot, so that listing never disturbs a channel open in the kind-2 slot.
    ClLibSlot slot;
    if (slot.Load(kMakerLibrary, kMakerEntries, false))
        m_manufacturers = MakerNames(slot);
}

void ClSerialLib::ListClPorts()
{
    m_clPorts.clear();
    ClLibSlot slot;
    if (slot.Load(kAllPortsLibrary, kAllPortsEntries, true))
        m_clPorts = PortNames(slot);
}

std::vector<std::string> ClSerialLib::MakerNames(const ClLibSlot& slot)
{
    auto getCount = slot.Entry<ClGetNumManufacturersFn>(ClEntry::GetNumManufacturers);
    auto getMaker = slot.Entry<ClGetManufacturerFn>(ClEntry::GetManufacturer);
    uint32_t count = 0;
    if (getCount == nullptr || getMaker == nullptr || getCount(&count) != 0 || count > kMostListEntries)
        count = 0;
    std::vector<std::string> names;
    for (uint32_t index = 0; index < count; ++index) {
        TextBuffer name;
        uint32_t version = 0;
        getMaker(index, name.bytes, &name.size, &version);
        names.push_back(name.Text());
    }
    return names;
}

std::vector<std::string> ClSerialLib::PortNames(const ClLibSlot& slot)
{
    auto getCount = slot.Entry<ClGetNumPortsFn>(ClEntry::GetNumPorts);
    auto getInfo = slot.Entry<ClGetPortInfoFn>(ClEntry::GetPortInfo);
    uint32_t count = 0;
    if (getCount(&count) != 0 || count > kMostListEntries)
        count = 0;
    // Every index gets an entry, even a failed one: dllNo doubles as the port index.
    std::vector<std::string> names;
    for (uint32_t index = 0; index < count; ++index) {
        TextBuffer maker;
        TextBuffer port;
        uint32_t version = 0;
        getInfo(index, maker.bytes, &maker.size, port.bytes, &port.size, &version);
        names.push_back(maker.Text() + " - " + port.Text());
    }
    return names;
}

const std::vector<std::string>& ClSerialLib::GrabberLibraries() const
{
    return m_grabberLibraries;
}

const std::vector<std::string>& ClSerialLib::Manufacturers() const
{
    return m_manufacturers;
}

const std::vector<std::string>& ClSerialLib::ClPorts() const
{
    return m_clPorts;
}

int ClSerialLib::FillPortList(const std::vector<std::string>& list, std::vector<std::string>& out)
{
    out.insert(out.end(), list.begin(), list.end());
    return static_cast<int>(list.size());
}

std::string ClSerialLib::GetListEntry(const std::vector<std::string>& list, int index)
{
    if (index < 0 || static_cast<size_t>(index) >= list.size())
        return "";
    return list[static_cast<size_t>(index)];
}

bool ClSerialLib::ClOpen(const Selection& line)
{
    m_lineFault = false;
    m_openProblem.clear();
    ClLibSlot& slot = m_slots[line.kind];
    bool opened = false;
    switch (line.kind) {
    case Grabber:
        opened = OpenGrabberChannel(slot, line.name);
        break;
    case Maker:
        opened = OpenMakerChannel(slot, line);
        break;
    case AllPorts:
        opened = OpenAllPortsChannel(slot, line.channel);
        break;
    }
    m_portLocks[line.kind] = opened ? std::make_unique<PortLock>(PortLock::NameFor(LockKey(line))) : nullptr;
    return opened;
}

std::string ClSerialLib::LockKey(const Selection& line) const
{
    switch (line.kind) {
    case Grabber:
        return "camlink " + m_systemFolder + "/" + line.name;
    case Maker:
        return std::string("camlink ") + kMakerLibrary + " " + line.name + " " + std::to_string(line.channel);
    case AllPorts:
        break;
    }
    return std::string("camlink ") + kAllPortsLibrary + " " + std::to_string(line.channel);
}

bool ClSerialLib::OpenGrabberChannel(ClLibSlot& slot, const std::string& file)
{
    // Only a bare file name from the folder listing may be loaded, never a path
    // elsewhere, and only a regular file: dlopen would wait forever on a FIFO.
    const std::string path = m_systemFolder + "/" + file;
    if (file.empty() || file.find('/') != std::string::npos || !IsRegularFile(path))
        return OpenFailed(GrabberFileProblem(file, path));
    if (!slot.Load(path, kGrabberEntries, true, &m_openProblem))
        return false;
    int32_t status = 0;
    if (slot.OpenChannel(0, &status))
        return true;
    return OpenFailed("clSerialInit(0) of " + path + " failed: " + slot.ErrorText(status, ""));
}

bool ClSerialLib::OpenMakerChannel(ClLibSlot& slot, const Selection& line)
{
    if (!slot.Load(kMakerLibrary, kMakerEntries, false, &m_openProblem))
        return false;
    auto select = slot.Entry<ClSelectManufacturerFn>(ClEntry::SelectManufacturer);
    if (select == nullptr)
        return OpenFailed(std::string(kMakerLibrary) + " lacks clSelectManufacturer");
    if (select(line.name.c_str()) != 0)
        return OpenFailed(std::string(kMakerLibrary) + " lists no maker \"" + line.name + "\"; it lists " +
                          ListedText(MakerNames(slot), "maker", "makers"));
    int32_t status = 0;
    if (slot.OpenChannel(line.channel, &status))
        return true;
    std::string ports;
    auto getCount = slot.Entry<ClGetNumSerialPortsFn>(ClEntry::GetNumSerialPorts);
    uint32_t count = 0;
    if (getCount != nullptr && getCount(&count) == 0 && count <= kMostListEntries)
        ports = "; " + line.name + " has " + (count == 0   ? std::string("no serial port")
                                              : count == 1 ? std::string("1 serial port, 0")
                                                           : std::to_string(count) + " serial ports, 0.." +
                                                                 std::to_string(count - 1));
    return OpenFailed("clSerialInit(" + std::to_string(line.channel) + ") through " + kMakerLibrary +
                      " failed: " + slot.ErrorText(status, line.name) + ports);
}

bool ClSerialLib::OpenAllPortsChannel(ClLibSlot& slot, uint32_t port)
{
    if (!slot.Load(kAllPortsLibrary, kAllPortsEntries, true, &m_openProblem))
        return false;
    int32_t status = 0;
    if (slot.OpenChannel(port, &status))
        return true;
    std::vector<std::string> ports = PortNames(slot);
    for (size_t index = 0; index < ports.size(); ++index)
        ports[index] = std::to_string(index) + " " + ports[index];
    return OpenFailed("clSerialInit(" + std::to_string(port) + ") through " + kAllPortsLibrary +
                      " failed: " + slot.ErrorText(status, "") + "; it lists " + ListedText(ports, "port", "ports"));
}

bool ClSerialLib::OpenFailed(const std::string& problem)
{
    m_openProblem = problem;
    return false;
}

// Why a grabber's own library cannot be taken, and what the folder offers.
std::string ClSerialLib::GrabberFileProblem(const std::string& file, const std::string& path) const
{
    std::vector<std::string> offered;
    ListGrabberFiles(m_systemFolder, offered);
    const std::string listed = "; the folder holds " + ListedText(offered, "grabber library (clser*.so)",
                                                            "grabber libraries (clser*.so)");
    if (file.empty())
        return "no grabber library chosen" + listed;
    if (file.find('/') != std::string::npos)
        return file + ": not a file name of " + m_systemFolder + listed;
    struct stat info {};
    if (stat(path.c_str(), &info) != 0)
        return path + ": " + std::strerror(errno) + listed;
    return path + ": not a regular file" + listed;
}

// "2 ports: a, b" or "no port".
std::string ClSerialLib::ListedText(const std::vector<std::string>& entries, const std::string& one,
                                    const std::string& many)
{
    if (entries.empty())
        return "no " + one;
    std::string text = std::to_string(entries.size()) + " " + (entries.size() == 1 ? one : many) + ": ";
    for (size_t index = 0; index < entries.size(); ++index)
        text += (index > 0 ? ", " : "") + entries[index];
    return text;
}

bool ClSerialLib::ClSetBaud(const Selection& line, int rate)
{
    if (line.kind == Grabber) {
        // The first-generation interface has no rate call: its channels run at 9600.
        if (rate == 9600)
            return true;
        ShowMessage("Selected baud rate is not supported in " + line.name);
        return false;
    }
    return SetLibraryBaud(m_slots[line.kind], line.name, rate);
}

bool ClSerialLib::SetLibraryBaud(ClLibSlot& slot, const std::string& lineName, int rate)
{
    if (!slot.HasChannel())
        return false;
    auto getRates = slot.Entry<ClGetSupportedBaudRatesFn>(ClEntry::GetSupportedBaudRates);
    auto setRate = slot.Entry<ClSetBaudRateFn>(ClEntry::SetBaudRate);
    const uint32_t bit = ClBaudMask(rate);
    uint32_t supported = 0;
    if (getRates != nullptr && setRate != nullptr && getRates(slot.Channel(), &supported) == 0 &&
        (supported & bit) != 0) {
        // A rate the library failed to set would leave the line at another speed
        // while the caller believed it open; it counts as unsupported.
        if (setRate(slot.Channel(), bit) == 0)
            return true;
    }
    // A channel opens at 9600, so that rate needs no library call.
    if (rate == 9600)
        return true;
    ShowMessage("Selected baud rate is not supported in " + lineName + ".");
    return false;
}

bool ClSerialLib::ClWrite(Kind kind, const uint8_t* bytes, int count, int timeoutMs)
{
    ClLibSlot& slot = m_slots[kind];
    auto write = slot.Entry<ClSerialWriteFn>(ClEntry::SerialWrite);
    if (!slot.HasChannel() || write == nullptr || count < 0 || (bytes == nullptr && count > 0))
        return false;
    std::unique_lock<PortLock> hold;
    if (m_portLocks[kind]) {
        hold = std::unique_lock<PortLock>(*m_portLocks[kind], std::defer_lock);
        if (!hold.try_lock_for(kLockStallLimit)) {
            m_lineFault = true;   // another copy kept the port for the whole limit: like a busy port
            return false;
        }
    }
    // The call takes a writable buffer; the caller's bytes stay untouched.
    std::vector<char> buffer(bytes, bytes + count);
    uint32_t size = static_cast<uint32_t>(count);
    const bool written = write(slot.Channel(), buffer.data(), &size,
                               static_cast<uint32_t>(std::max(timeoutMs, 0))) == 0;
    m_lineFault = m_lineFault || !written;
    return written;
}

int ClSerialLib::ClRead(Kind kind, uint8_t* buffer, int count, int timeoutMs)
{
    ClLibSlot& slot = m_slots[kind];
    auto read = slot.Entry<ClSerialReadFn>(ClEntry::SerialRead);
    if (!slot.HasChannel() || read == nullptr || buffer == nullptr || count <= 0)
        return 0;
    uint32_t size = static_cast<uint32_t>(count);
    if (read(slot.Channel(), reinterpret_cast<char*>(buffer), &size,
             static_cast<uint32_t>(std::max(timeoutMs, 0))) != 0)
        return 0;
    // Never report more than the buffer holds, whatever the library claims.
    return static_cast<int>(std::min(size, static_cast<uint32_t>(count)));
}

bool ClSerialLib::ClClose(Kind kind)
{
    m_slots[kind].Release();
    m_portLocks[kind].reset();
    return true;
}

uint32_t ClSerialLib::ClBaudMask(int rate)
{
    for (const BaudBit& entry : kBaudBits) {
        if (entry.rate == rate)
            return entry.bit;
    }
    return 0;
}

void ClSerialLib::ShowMessage(const std::string& text) const
{
    if (m_sink)
        m_sink(text);
    else
        std::cerr << text << '\n';
}
