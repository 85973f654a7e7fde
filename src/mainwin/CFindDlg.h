#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
struct SettingPlace;

// Finds a setting by any part of its page name, group title, label or
// command mnemonic, and shows the chosen one on its page.
class CFindDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int kCtrlIdRole = Qt::UserRole + 1;
    // Whether the control is on a page the current level shows.
    using Listed = std::function<bool(const SettingPlace&)>;
    // Brings the control's page to the front, focuses and marks the control;
    // what the operator should know about it ("" when it took the focus).
    using Reveal = std::function<QString(int ctrlId)>;
    static constexpr const char* kNoMatch = "No setting matches";

    CFindDlg(Listed listed, Reveal reveal, QWidget* parent = nullptr);

    QLineEdit& Text() const { return *m_text; }
    QListWidget& List() const { return *m_list; }
    QLabel& Note() const { return *m_note; }
    // Lists the places that match the text, in page order.
    void Filter(const QString& text);
    // "page › group › label  [MNEMONIC]".
    static QString RowText(const SettingPlace& place);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void Activate(QListWidgetItem* item);

    Listed m_listed;
    Reveal m_reveal;
    QLineEdit* m_text = nullptr;
    QListWidget* m_list = nullptr;
    QLabel* m_note = nullptr;   // no match, or why the control found could not take the focus
};
