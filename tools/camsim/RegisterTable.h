#pragma once

#include <string>
#include <vector>

namespace camsim {

// What a register is to the camera.
enum class Role {
    Setting,     // an integer setting, kept in the setting areas
    Reading,     // an integer the camera reports; writing it is refused
    Action,      // writing starts an operation; the value says which
    Text,        // a text anyone may write (user ID)
    LockedText,  // a text written only after the unlock number (camera ID)
    FixedText,   // a text the camera reports and never changes (model name)
    Lut,         // one of the three look-up tables, sent and read entry by entry
};

struct RegisterRow {
    std::string mnemonic;
    std::string address;      // four upper-case hex digits; "" when the register has none
    int powerOn = 0;
    std::string powerOnText;  // for text roles
    Role role = Role::Setting;

    bool IsText() const { return role == Role::Text || role == Role::LockedText || role == Role::FixedText; }
};

// Every register of the camera, built once from a compact description.
class RegisterTable {
public:
    static const RegisterTable& Instance();

    const std::vector<RegisterRow>& Rows() const { return m_rows; }
    const RegisterRow& Row(int index) const { return m_rows[static_cast<size_t>(index)]; }
    int Size() const { return static_cast<int>(m_rows.size()); }

    int Find(const std::string& upperMnemonic) const;   // -1 when unknown
    int FindByAddress(const std::string& address) const;  // first row with that address, any case; -1 when none
    // Rows that share an address share one storage place (MD and MD00).
    int StorageOf(int index) const { return m_storage[static_cast<size_t>(index)]; }

private:
    RegisterTable();

    std::vector<RegisterRow> m_rows;
    std::vector<int> m_storage;
};

}  // namespace camsim
