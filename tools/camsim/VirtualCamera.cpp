#include "camsim/VirtualCamera.h"

#include <utility>

#include "camsim/RegisterBaseForm.h"
#include "camsim/RegisterTable.h"
#include "camsim/StateFile.h"
#include "camsim/ValueText.h"

namespace camsim {

namespace {

const char kUnknownCommand[] = "01 Unknown Command!!";
const char kComplete[] = "COMPLETE";
const int kLutMaximum = 8191;
const char kDefaultNotice[] = "!!Overheat";

const RegisterTable& Table()
{
    return RegisterTable::Instance();
}

}  // namespace

VirtualCamera::VirtualCamera()
{
    const RegisterTable& table = Table();
    m_registers.resize(table.Size());
    m_memory.texts.resize(table.Size());
    m_actionValues.assign(table.Size(), "0");
    for (int i = 0; i < table.Size(); ++i) {
        m_registers[i] = table.Row(i).powerOn;
        m_memory.texts[i] = table.Row(i).powerOnText;
    }
    m_memory.areas.fill(m_registers);
    for (std::vector<int>& lut : m_memory.luts) {
        lut.resize(kLutSize);
        for (int k = 0; k < kLutSize; ++k)
            lut[k] = k * kLutMaximum / (kLutSize - 1);
    }
}

// ---- bytes in, replies out -------------------------------------------------

std::string VirtualCamera::Feed(const std::string& bytes)
{
    std::string sent;
    for (const std::string& reply : Respond(bytes).replies)
        sent += reply;
    return sent;
}

Response VirtualCamera::Respond(const std::string& bytes)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Response response;
    for (char byte : bytes) {
        TakeByte(byte, response);
        if (response.hangUp || !response.stream.empty()) {
            m_rxLine.clear();
            break;
        }
    }
    response.delayMs = m_faults.replyDelayMs + std::exchange(m_pendingDelayMs, 0);
    return response;
}

void VirtualCamera::TakeByte(char byte, Response& response)
{
    if (byte == '\r' || byte == '\n') {
        // CR LF ends a line; so do CR or LF alone. The empty line between them is no command.
        std::string line;
        line.swap(m_rxLine);
        if (m_droppingLine)
            m_droppingLine = false;
        else if (!line.empty())
            AnswerLine(line, response);
        return;
    }
    if (m_droppingLine)
        return;
    m_rxLine += byte;
    if (m_rxLine.size() > kMaxLineLength) {
        m_rxLine.clear();
        m_droppingLine = true;
    }
}

void VirtualCamera::AnswerLine(const std::string& line, Response& response)
{
    m_receivedLines.push_back({line, std::chrono::steady_clock::now(), 0});
    if (m_receivedLines.size() > kMaxReceivedLines)
        m_receivedLines.pop_front();
    if (TakesLineAway(response) || FallsSilent() || IsSilenced(line))
        return;
    const size_t repliesBefore = response.replies.size();
    if (RegisterBaseForm::IsRegisterBase(line))
        AddReply(AnswerRegisterBase(line), "\r", response);
    else
        AddReply(AnswerShortAscii(line), "\r\n", response);
    for (size_t n = repliesBefore; n < response.replies.size(); ++n)
        m_receivedLines.back().answerBytes += response.replies[n].size();
}

// A camera that stops answering for good, counting down to the command it stops at.
bool VirtualCamera::FallsSilent()
{
    if (m_faults.silentFromCommand <= 1)
        return m_faults.silentFromCommand == 1;
    --m_faults.silentFromCommand;
    return false;
}

// The faults that answer a command by hanging up or by talking without end.
bool VirtualCamera::TakesLineAway(Response& response)
{
    const bool hangUpNow = m_faults.hangUpAfterNextCommand || m_faults.hangUpAtCommand == 1;
    if (m_faults.hangUpAtCommand > 0)
        --m_faults.hangUpAtCommand;
    if (hangUpNow) {
        m_faults.hangUpAfterNextCommand = false;
        m_faults.hangUpAtCommand = 0;
        response.hangUp = true;
        return true;
    }
    if (m_faults.stream == Stream::None)
        return false;
    const std::string notice = m_faults.noticeBeforeReply.empty() ? kDefaultNotice : m_faults.noticeBeforeReply;
    response.stream = m_faults.stream == Stream::Notices ? notice + "\r\n" : "X";
    m_faults.stream = Stream::None;
    return true;
}

std::string VirtualCamera::AnswerShortAscii(const std::string& line)
{
    const std::string text = WithoutSpaces(line);
    size_t op = text.find('=');
    if (op == std::string::npos)
        op = text.find('?');
    if (op == std::string::npos || op == 0 || m_faults.refuseAll) {
        m_lastCommand.clear();
        return std::string(kUnknownCommand) + "\r\n";
    }
    const std::string name = UpperCase(text.substr(0, op));
    const std::string command = name + text[op];
    const bool continuing = command == m_lastCommand;
    m_lastCommand = command;
    Outcome outcome = text[op] == '?' ? Query(name, continuing) : Set(name, text.substr(op + 1), continuing);
    switch (outcome.kind) {
    case Outcome::Kind::Done:
        return std::string(kComplete) + "\r\n";
    case Outcome::Kind::Value:
        return name + "=" + outcome.text + "\r\n";
    case Outcome::Kind::Error:
        break;
    }
    return outcome.text + "\r\n";
}

std::string VirtualCamera::AnswerRegisterBase(const std::string& line)
{
    RegisterBaseRequest request;
    int row = -1;
    if (!m_faults.refuseAll && RegisterBaseForm::Parse(line, request))
        row = Table().FindByAddress(request.address);
    // The marker must say what the register holds: "$" text, "#" integer.
    if (row < 0 || request.marker != (Table().Row(row).IsText() ? '$' : '#')) {
        m_lastCommand.clear();
        return RegisterBaseForm::ErrorReply();
    }
    const std::string& name = Table().Row(row).mnemonic;
    const std::string command = name + (request.query ? '?' : '=');
    const bool continuing = command == m_lastCommand;
    m_lastCommand = command;
    Outcome outcome = request.query ? Query(name, continuing) : Set(name, request.value, continuing);
    switch (outcome.kind) {
    case Outcome::Kind::Done:
        return RegisterBaseForm::OkReply();
    case Outcome::Kind::Value:
        return RegisterBaseForm::ValueReply(request, outcome.text);
    case Outcome::Kind::Error:
        break;
    }
    return RegisterBaseForm::ErrorReply();
}

void VirtualCamera::AddReply(const std::string& reply, const std::string& lineEnd, Response& response)
{
    if (m_faults.swallowReplies > 0) {
        --m_faults.swallowReplies;
        return;
    }
    std::string bytes;
    if (!m_faults.noticeBeforeReply.empty())
        bytes += m_faults.noticeBeforeReply + lineEnd;
    if (m_faults.garbageBytes > 0) {
        bytes += GarbageBytes(m_faults.garbageBytes);
        m_faults.garbageBytes = 0;
    }
    if (m_faults.overlongLine > 0) {
        bytes += std::string(static_cast<size_t>(m_faults.overlongLine), 'X');
        m_faults.overlongLine = 0;
    } else {
        bytes += reply;
    }
    if (m_faults.repeatReplyAt > 0 && --m_faults.repeatReplyAt == 0)
        bytes += reply;
    response.replies.push_back(bytes);
}

std::string VirtualCamera::GarbageBytes(int count)
{
    // Printable, so logs stay readable; never CR, LF or "!", so no line ends and no notice starts.
    std::string bytes;
    for (int i = 0; i < count; ++i)
        bytes += static_cast<char>('"' + m_garbage() % ('~' - '"' + 1));
    return bytes;
}

// ---- inspection ------------------------------------------------------------

int VirtualCamera::Register(const std::string& mnemonic) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    int row = RowOf(mnemonic);
    return row < 0 || Table().Row(row).IsText() ? 0 : ValueOf(row);
}

void VirtualCamera::SetRegister(const std::string& mnemonic, int value)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    int row = RowOf(mnemonic);
    if (row < 0 || Table().Row(row).IsText())
        return;
    if (Table().Row(row).mnemonic == "EA") {
        if (value >= 0 && value < kAreaCount)
            m_memory.currentArea = value;
        return;
    }
    m_registers[Table().StorageOf(row)] = value;
}

std::string VirtualCamera::Text(const std::string& mnemonic) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    int row = RowOf(mnemonic);
    return row < 0 ? std::string() : m_memory.texts[Table().StorageOf(row)];
}

void VirtualCamera::SetText(const std::string& mnemonic, const std::string& text)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    int row = RowOf(mnemonic);
    if (row >= 0 && Table().Row(row).IsText())
        m_memory.texts[Table().StorageOf(row)] = text;
}

bool VirtualCamera::Knows(const std::string& mnemonic) const
{
    return RowOf(mnemonic) >= 0;
}

int VirtualCamera::CurrentArea() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_memory.currentArea;
}

int VirtualCamera::AreaRegister(int area, const std::string& mnemonic) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    int row = RowOf(mnemonic);
    if (row < 0 || area < 0 || area >= kAreaCount || Table().Row(row).role != Role::Setting)
        return 0;
    return m_memory.areas[area][row];
}

std::vector<int> VirtualCamera::Lut(char channel) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    size_t index = std::string(CameraMemory::kLutChannels).find(channel);
    return index == std::string::npos ? std::vector<int>() : m_memory.luts[index];
}

bool VirtualCamera::Unlocked() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_unlocked;
}

void VirtualCamera::SetLutClock(LutCursor::Clock clock)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_lutCursor.SetClock(std::move(clock));
}

std::vector<VirtualCamera::Received> VirtualCamera::ReceivedLog() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return {m_receivedLines.begin(), m_receivedLines.end()};
}

std::vector<std::string> VirtualCamera::ReceivedLines() const
{
    std::vector<std::string> lines;
    for (const Received& received : ReceivedLog())
        lines.push_back(received.line);
    return lines;
}

void VirtualCamera::ClearReceivedLines()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_receivedLines.clear();
}

void VirtualCamera::SetFaults(const Faults& f)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_faults = f;
}

Faults VirtualCamera::GetFaults() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_faults;
}

bool VirtualCamera::SaveState(const std::string& path) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return StateFile::Write(path, m_memory);
}

bool VirtualCamera::LoadState(const std::string& path)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!StateFile::Read(path, m_memory))
        return false;
    Recall(m_memory.currentArea);
    return true;
}

}  // namespace camsim
