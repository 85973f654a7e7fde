#pragma once

class CameraSession;
class CLutEditors;
class Companions;
class ParameterPages;
class QWidget;
class UiPrompts;

// What each of the pages' push buttons does: a camera operation of the
// session, a companion window, or a reading shown beside the button.
class PageButtons {
public:
    PageButtons(CameraSession& session, ParameterPages& pages, Companions& companions, CLutEditors& lutEditors,
                UiPrompts& prompts, QWidget* window);

    // The button with this id was pressed; any other id does nothing.
    void Press(int ctrlId);

private:
    void OnTemperature();
    void OnSNumber();
    void OnAverageData(const char* mnemonic);

    CameraSession& m_session;
    ParameterPages& m_pages;
    Companions& m_companions;
    CLutEditors& m_lutEditors;
    UiPrompts& m_prompts;
    QWidget* m_window;   // owns the file chooser
};
