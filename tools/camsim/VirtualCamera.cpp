#include "camsim/VirtualCamera.h"

#include "camsim/RegisterBaseForm.h"
#include "camsim/RegisterTable.h"
#include "camsim/StateFile.h"
#include "camsim/ValueText.h"

namespace camsim {

namespace {

const char kUnknownCommand[] = "01 Unknown Command!!";
const char kComplete[] = "COMPLETE";
const int kLutMaximum = 8191;

const RegisterTable& Table()
{
    return RegisterTable::Instance();
}

}  // namespace

VirtualCamera::VirtualCamera()
{
    const RegisterTable& table = Table();
    registers_.resize(table.Size());
    memory_.texts.resize(table.Size());
    actionValues_.assign(table.Size(), "0");
    for (int i = 0; i < table.Size(); ++i) {
        registers_[i] = table.Row(i).powerOn;
        memory_.texts[i] = table.Row(i).powerOnText;
    }
    memory_.areas.fill(registers_);
    for (std::vector<int>& lut : memory_.luts) {
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
    std::lock_guard<std::mutex> lock(mutex_);
    Response response;
    for (char byte : bytes) {
        TakeByte(byte, response);
        if (response.hangUp) {
            rxLine_.clear();
            break;
        }
    }
    response.delayMs = faults_.replyDelayMs;
    return response;
}

void VirtualCamera::TakeByte(char byte, Response& response)
{
    if (byte == '\r' || byte == '\n') {
        // CR LF ends a line; so do CR or LF alone. The empty line between them is no command.
        std::string line;
        line.swap(rxLine_);
        if (droppingLine_)
            droppingLine_ = false;
        else if (!line.empty())
            AnswerLine(line, response);
        return;
    }
    if (droppingLine_)
        return;
    rxLine_ += byte;
    if (rxLine_.size() > kMaxLineLength) {
        rxLine_.clear();
        droppingLine_ = true;
    }
}

void VirtualCamera::AnswerLine(const std::string& line, Response& response)
{
    receivedLines_.push_back(line);
    if (receivedLines_.size() > kMaxReceivedLines)
        receivedLines_.pop_front();
    if (faults_.hangUpAfterNextCommand) {
        faults_.hangUpAfterNextCommand = false;
        response.hangUp = true;
        return;
    }
    if (RegisterBaseForm::IsRegisterBase(line))
        AddReply(AnswerRegisterBase(line), "\r", response);
    else
        AddReply(AnswerShortAscii(line), "\r\n", response);
}

std::string VirtualCamera::AnswerShortAscii(const std::string& line)
{
    const std::string text = WithoutSpaces(line);
    size_t op = text.find('=');
    if (op == std::string::npos)
        op = text.find('?');
    if (op == std::string::npos || op == 0 || faults_.refuseAll) {
        lastCommand_.clear();
        return std::string(kUnknownCommand) + "\r\n";
    }
    const std::string name = UpperCase(text.substr(0, op));
    const std::string command = name + text[op];
    const bool continuing = command == lastCommand_;
    lastCommand_ = command;
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
    if (!faults_.refuseAll && RegisterBaseForm::Parse(line, request))
        row = Table().FindByAddress(request.address);
    // The marker must say what the register holds: "$" text, "#" integer.
    if (row < 0 || request.marker != (Table().Row(row).IsText() ? '$' : '#')) {
        lastCommand_.clear();
        return RegisterBaseForm::ErrorReply();
    }
    const std::string& name = Table().Row(row).mnemonic;
    const std::string command = name + (request.query ? '?' : '=');
    const bool continuing = command == lastCommand_;
    lastCommand_ = command;
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
    if (faults_.swallowReplies > 0) {
        --faults_.swallowReplies;
        return;
    }
    std::string bytes;
    if (!faults_.noticeBeforeReply.empty())
        bytes += faults_.noticeBeforeReply + lineEnd;
    if (faults_.garbageBytes > 0) {
        bytes += GarbageBytes(faults_.garbageBytes);
        faults_.garbageBytes = 0;
    }
    if (faults_.overlongLine > 0) {
        bytes += std::string(static_cast<size_t>(faults_.overlongLine), 'X');
        faults_.overlongLine = 0;
    } else {
        bytes += reply;
    }
    response.replies.push_back(bytes);
}

std::string VirtualCamera::GarbageBytes(int count)
{
    // Printable, so logs stay readable; never CR, LF or "!", so no line ends and no notice starts.
    std::string bytes;
    for (int i = 0; i < count; ++i)
        bytes += static_cast<char>('"' + garbage_() % ('~' - '"' + 1));
    return bytes;
}

// ---- inspection ------------------------------------------------------------

int VirtualCamera::Register(const std::string& mnemonic) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    int row = RowOf(mnemonic);
    return row < 0 || Table().Row(row).IsText() ? 0 : ValueOf(row);
}

void VirtualCamera::SetRegister(const std::string& mnemonic, int value)
{
    std::lock_guard<std::mutex> lock(mutex_);
    int row = RowOf(mnemonic);
    if (row < 0 || Table().Row(row).IsText())
        return;
    if (Table().Row(row).mnemonic == "EA") {
        if (value >= 0 && value < kAreaCount)
            memory_.currentArea = value;
        return;
    }
    registers_[Table().StorageOf(row)] = value;
}

std::string VirtualCamera::Text(const std::string& mnemonic) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    int row = RowOf(mnemonic);
    return row < 0 ? std::string() : memory_.texts[Table().StorageOf(row)];
}

void VirtualCamera::SetText(const std::string& mnemonic, const std::string& text)
{
    std::lock_guard<std::mutex> lock(mutex_);
    int row = RowOf(mnemonic);
    if (row >= 0 && Table().Row(row).IsText())
        memory_.texts[Table().StorageOf(row)] = text;
}

bool VirtualCamera::Knows(const std::string& mnemonic) const
{
    return RowOf(mnemonic) >= 0;
}

int VirtualCamera::CurrentArea() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return memory_.currentArea;
}

int VirtualCamera::AreaRegister(int area, const std::string& mnemonic) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    int row = RowOf(mnemonic);
    if (row < 0 || area < 0 || area >= kAreaCount || Table().Row(row).role != Role::Setting)
        return 0;
    return memory_.areas[area][row];
}

std::vector<int> VirtualCamera::Lut(char channel) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    size_t index = std::string(CameraMemory::kLutChannels).find(channel);
    return index == std::string::npos ? std::vector<int>() : memory_.luts[index];
}

bool VirtualCamera::Unlocked() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return unlocked_;
}

std::vector<std::string> VirtualCamera::ReceivedLines() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return {receivedLines_.begin(), receivedLines_.end()};
}

void VirtualCamera::ClearReceivedLines()
{
    std::lock_guard<std::mutex> lock(mutex_);
    receivedLines_.clear();
}

void VirtualCamera::SetFaults(const Faults& f)
{
    std::lock_guard<std::mutex> lock(mutex_);
    faults_ = f;
}

Faults VirtualCamera::GetFaults() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return faults_;
}

bool VirtualCamera::SaveState(const std::string& path) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return StateFile::Write(path, memory_);
}

bool VirtualCamera::LoadState(const std::string& path)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (!StateFile::Read(path, memory_))
        return false;
    Recall(memory_.currentArea);
    return true;
}

}  // namespace camsim
