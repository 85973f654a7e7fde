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

    int CtrlId() const { return ctrlId_; }

    // The range the main window allows: min..max, or min-1..max+1 for a wrap row.
    void SetRange(int lo, int hi);
    std::pair<int, int> Range() const { return {lo_, hi_}; }

    // Position and edit text together, as a spin tied to its edit shows them.
    void SetPos(int position);
    int Pos() const { return position_; }
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

    int ctrlId_;
    int lo_ = 0;
    int hi_ = 0;
    int position_ = 0;
};
