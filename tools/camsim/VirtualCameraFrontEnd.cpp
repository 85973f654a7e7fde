// The analogue front ends' registers, written two lines at a time, and the
// commands a test has silenced.
#include "camsim/VirtualCamera.h"

#include "camsim/RegisterBaseForm.h"
#include "camsim/ValueText.h"

namespace camsim {

namespace {

const char kInvalidValue[] = "03 Invalid Value!!";
const size_t kMaxFrontEndName = 16;
const int kMaxAfeAddress = 0xFFFF;
const int kMaxAfeData = 0xFFFF;

}  // namespace

// "AFES=<front end>" selects a front end by name; "AFED=<address>,<data>"
// then writes one of its registers.
VirtualCamera::Outcome VirtualCamera::FrontEnd(const std::string& name, const std::string& value)
{
    if (name == "AFES") {
        if (value.empty() || value.size() > kMaxFrontEndName)
            return {Outcome::Kind::Error, kInvalidValue};
        m_afeSelected = value;
        return {};
    }
    const size_t comma = value.find(',');
    int address = -1;
    int data = -1;
    if (m_afeSelected.empty() || comma == std::string::npos || !ParseValue(value.substr(0, comma), address)
        || !ParseValue(value.substr(comma + 1), data) || address < 0 || address > kMaxAfeAddress || data < 0
        || data > kMaxAfeData)
        return {Outcome::Kind::Error, kInvalidValue};
    m_afeRegisters[{m_afeSelected, address}] = data;
    return {};
}

bool VirtualCamera::IsSilenced(const std::string& line) const
{
    if (m_faults.silent.empty() || RegisterBaseForm::IsRegisterBase(line))
        return false;
    const std::string text = WithoutSpaces(line);
    const size_t op = text.find_first_of("=?");
    return op != std::string::npos && m_faults.silent.count(UpperCase(text.substr(0, op))) > 0;
}

std::string VirtualCamera::AfeSelected() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_afeSelected;
}

int VirtualCamera::AfeRegister(const std::string& frontEnd, int address) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    auto found = m_afeRegisters.find({frontEnd, address});
    return found == m_afeRegisters.end() ? -1 : found->second;
}

}  // namespace camsim
