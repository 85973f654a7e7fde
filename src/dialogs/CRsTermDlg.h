#pragma once

#include <QDialog>
#include <QRect>

#include <cstdint>
#include <functional>

class LineStatusStrip;
class QLineEdit;
class QPushButton;
struct AppSettings;
class CompanionOwner;
class NewestFirstList;

// The terminal: the operator types any command line and sends it unchanged;
// every line the engine sends or receives is listed with the seconds since
// the window was made, newest on top. Closing only hides it.
class CRsTermDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int kMaxLines = 1024;
    // Milliseconds of a free-running 32-bit clock; tests turn it by hand.
    using TickSource = std::function<uint32_t()>;

    // Where each control goes for a client area of cx by cy pixels.
    struct Layout {
        QRect edit, list, close, send, clear, save, lineBar;
    };
    static Layout LayoutFor(int cx, int cy);

    CRsTermDlg(AppSettings& settings, CompanionOwner& owner, QWidget* parent = nullptr,
               TickSource ticks = TickSource());

    void AddTraffic(const QString& text);
    void SetLineStatus(int state);
    // Hides the window and keeps the typed line for the next run.
    void Hide();

    // The line being typed; the screenshot tool and tests fill it.
    QLineEdit* CommandEdit() const { return m_edit; }

public slots:
    void accept() override {}   // Enter goes to "Send"; there is no OK
    void reject() override { Hide(); }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void OnSend();
    void OnClear();

    AppSettings& m_settings;
    CompanionOwner& m_owner;

    // ---- controls, placed by LayoutFor
    QLineEdit* m_edit = nullptr;
    NewestFirstList* m_list = nullptr;
    QPushButton* m_close = nullptr;
    QPushButton* m_send = nullptr;
    QPushButton* m_clear = nullptr;
    QPushButton* m_save = nullptr;   // never shown
    LineStatusStrip* m_lineBar = nullptr;

    // ---- time stamps count from the window's making
    TickSource m_ticks;
    uint32_t m_startTick = 0;
};
