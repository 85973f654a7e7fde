#pragma once

#include <QDialog>

class LineStatusStrip;
class QLineEdit;
class CompanionOwner;

// A factory tool that writes one register of the camera's analogue front
// end: "AFES=<front end>" then "AFED=<address>,<data>". Made once, then
// only hidden and shown.
class CAfeSenderDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int kTimeoutMs = 3000;

    explicit CAfeSenderDlg(CompanionOwner& owner, QWidget* parent = nullptr);

    void OnSend();
    void SetCommStatus(int state);

    // A number as the operator may type it: "0x" hexadecimal, a leading "0"
    // octal, else decimal; no digits give 0; kept within 32 bits.
    static long AutoBaseNumber(const QString& text);

public slots:
    void accept() override { OnSend(); }   // Enter presses "Send"

private:
    CompanionOwner& m_owner;
    QLineEdit* m_afe = nullptr;
    QLineEdit* m_address = nullptr;
    QLineEdit* m_data = nullptr;
    LineStatusStrip* m_status = nullptr;
};
