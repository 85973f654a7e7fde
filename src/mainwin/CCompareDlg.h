#pragma once

#include <QDialog>

#include <functional>
#include <vector>

#include "files/SettingsComparison.h"

class QLabel;
class QPushButton;
class QTableWidget;

// Shows a camera beside a settings file, differing rows first and marked,
// each with a check box; "Apply Checked" hands the checked lines to the main
// window, which sends them as loading a file does.
class CCompareDlg : public QDialog {
    Q_OBJECT

public:
    enum Column { ColPage, ColLabel, ColMnemonic, ColFile, ColCamera, ColCount };
    static constexpr int kDiffersRole = Qt::UserRole + 1;
    // Sends the lines; for each, whether the camera acknowledged it.
    using ApplyLines = std::function<std::vector<bool>(const std::vector<SettingsLine>&)>;

    CCompareDlg(const SettingsComparison& comparison, const QString& fileName, ApplyLines apply,
                QWidget* parent = nullptr);

    QTableWidget& Table() const { return *m_table; }
    QPushButton& ApplyButton() const { return *m_apply; }
    QLabel& Summary() const { return *m_summary; }
    const SettingsComparison& Comparison() const { return m_comparison; }
    // Rows whose check box is set, in table order.
    std::vector<size_t> CheckedLines() const;
    void OnApplyChecked();
    // What the camera holds now, as the pages show it, whoever changed it.
    using CameraValue = std::function<int(int commandIndex)>;
    void FollowCamera(const CameraValue& cameraValue);

private:
    void Fill();
    void FillRow(int row, size_t lineIndex);
    void UpdateSummary();

    SettingsComparison m_comparison;
    ApplyLines m_applyLines;
    std::vector<size_t> m_lineOfRow;   // table row -> line of the comparison
    QTableWidget* m_table = nullptr;
    QLabel* m_summary = nullptr;
    QPushButton* m_apply = nullptr;
};
