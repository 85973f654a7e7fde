#include "dialogs/CAfeSenderDlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "comm/CRsCmd.h"
#include "dialogs/BlockingScope.h"
#include "dialogs/CompanionOwner.h"
#include "dialogs/DialogParts.h"
#include "dialogs/LineStatusStrip.h"

namespace {

QLineEdit* NewEdit(QWidget* parent, const char* name)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    return edit;
}

// The text goes on the line as typed, but a line end in it would send a
// second command.
std::string WithoutLineEnds(const QString& text)
{
    std::string line = text.toStdString();
    line.erase(std::remove_if(line.begin(), line.end(), [](char c) { return c == '\r' || c == '\n'; }), line.end());
    return line;
}

}  // namespace

CAfeSenderDlg::CAfeSenderDlg(CompanionOwner& owner, QWidget* parent) : QDialog(parent), m_owner(owner)
{
    setObjectName("afeSender");
    setWindowTitle("AFE Sender");
    m_afe = NewEdit(this, "afe");
    m_address = NewEdit(this, "addr");
    m_data = NewEdit(this, "data");
    auto* form = new QFormLayout;
    form->addRow("AFE", m_afe);
    form->addRow("Addr", m_address);
    form->addRow("Data", m_data);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* send = buttons->addButton("Send", QDialogButtonBox::AcceptRole);
    send->setObjectName("send");
    send->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &CAfeSenderDlg::accept);

    m_status = new LineStatusStrip(this);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    layout->addWidget(m_status);
    SetCommStatus(0);
}

long CAfeSenderDlg::AutoBaseNumber(const QString& text)
{
    const std::string digits = text.toStdString();
    const long long value = std::strtoll(digits.c_str(), nullptr, 0);
    if (value > INT32_MAX)
        return INT32_MAX;
    if (value < INT32_MIN)
        return INT32_MIN;
    return static_cast<long>(value);
}

// Both lines go out whatever the first acknowledgement; a refusal shows the
// engine's own box.
void CAfeSenderDlg::OnSend()
{
    CRsCmd* engine = m_owner.Camera();
    if (!engine)
        return;
    BlockingScope sending;
    const long address = AutoBaseNumber(m_address->text());
    const long value = AutoBaseNumber(m_data->text());
    engine->SetRaw("AFES=" + WithoutLineEnds(m_afe->text()) + "\r\n", kTimeoutMs);
    engine->SetRaw("AFED=" + std::to_string(address) + "," + std::to_string(value) + "\r\n", kTimeoutMs);
}

void CAfeSenderDlg::SetCommStatus(int state)
{
    m_status->Show(state == 1);
}
