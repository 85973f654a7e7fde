#pragma once

#include <QPointer>
#include <QString>

class CFindDlg;
class ParameterPages;
class QWidget;
struct AppSettings;

// Finding a setting: the find window, made when first asked for, and the
// setting found shown on its page, focused and marked, clear of the window.
class SettingFinder {
public:
    SettingFinder(const AppSettings& settings, ParameterPages& pages, QWidget& window);

    void Show();
    // Esc closes the find window first: false when it was not shown.
    bool CloseIfShown();
    // The list holds what the level shows.
    void Relist();
    CFindDlg* Dialog() const;

private:
    // What the operator should know about the control ("" when it took the focus).
    QString Reveal(int ctrlId);
    QString GreyedNote(int ctrlId) const;

    const AppSettings& m_settings;
    ParameterPages& m_pages;
    QWidget& m_window;
    QPointer<CFindDlg> m_findDlg;
};
