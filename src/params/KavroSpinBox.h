#pragma once

#include <QAbstractSpinBox>
#include <QString>

#include <utility>

// The edit-with-spin of the parameter pages. It never judges or changes its
// own value: typed text stays as typed until the main window takes it (on
// focus loss), and a step is only reported; the main window computes the new
// value (clamped or wrapped) and writes it back with SetPos.
class KavroSpinBox : public QAbstractSpinBox {
    Q_OBJECT

public:
    explicit KavroSpinBox(int ctrlId, QWidget* parent = nullptr);

    int CtrlId() const { return m_ctrlId; }

    // The range the main window allows: min..max, or min-1..max+1 for a wrap row.
    void SetRange(int lo, int hi);
    std::pair<int, int> Range() const { return {m_lo, m_hi}; }

    // Position and edit text together, as a spin tied to its edit shows them.
    void SetPos(int position);
    int Pos() const { return m_position; }
    QString Text() const;

    // Position a step starts from: the typed text when it is a whole number
    // inside the range (as the user sees it), otherwise the stored position.
    int StepBasePos() const;

    // Widens the box beyond the usual 80 px when lo or hi needs more room.
    void FitWidthTo(int lo, int hi);

    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;

signals:
    void focusLost(KavroSpinBox* spin);
    void stepRequested(KavroSpinBox* spin, int position, int step);

protected:
    StepEnabled stepEnabled() const override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    static constexpr int kUsualWidth = 80;

    int m_ctrlId;
    int m_lo = 0;
    int m_hi = 0;
    int m_position = 0;
};
