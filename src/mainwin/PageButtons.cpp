#include "mainwin/PageButtons.h"

#include <QString>

#include <utility>
#include <vector>

#include "dialogs/CLutEditors.h"
#include "dialogs/FileChoosers.h"
#include "mainwin/Companions.h"
#include "mainwin/ParameterPages.h"
#include "params/ControlIds.h"
#include "session/CameraSession.h"

namespace {

struct AverageButton {
    int ctrlId;
    const char* mnemonic;
};
const AverageButton kAverageButtons[] = {
    {CtrlId::AverageRed, "AVDR"},
    {CtrlId::AverageGreen, "AVDG"},
    {CtrlId::AverageBlue, "AVDB"},
    {CtrlId::AverageY, "AVDY"},
};
const char kAverageFilter[] = "Average data (*.csv)";
const QString kDegrees = QString::fromUtf8(" \u00b0C");

}  // namespace

PageButtons::PageButtons(CameraSession& session, ParameterPages& pages, Companions& companions,
                         CLutEditors& lutEditors, UiPrompts& prompts, QWidget* window)
    : m_session(session),
      m_pages(pages),
      m_companions(companions),
      m_lutEditors(lutEditors),
      m_prompts(prompts),
      m_window(window)
{
}

void PageButtons::Press(int ctrlId)
{
    using Action = void (*)(PageButtons& buttons);
    static const std::vector<std::pair<int, Action>> kActions = {
        {CtrlId::AfeSender, [](PageButtons& b) { b.m_companions.ShowAfeSender(); }},
        {CtrlId::Terminal, [](PageButtons& b) { b.m_companions.ShowTerminal(); }},
        {CtrlId::AutoMonitor, [](PageButtons& b) { b.m_companions.RunMonitor(b.m_session.Params()); }},
        {CtrlId::LutSetting, [](PageButtons& b) { b.m_lutEditors.OnLutSetting(); }},
        {CtrlId::StoreAll, [](PageButtons& b) { b.m_session.StoreAll(); }},
        {CtrlId::Bound("AW"), [](PageButtons& b) { b.m_session.OnePushAwb(); }},
        {CtrlId::Bound("RS"), [](PageButtons& b) { b.m_session.ShadingRecal(false); }},
        {CtrlId::RecalibrateColor, [](PageButtons& b) { b.m_session.ShadingRecal(true); }},
        {CtrlId::BlemishRecalibrateBlack, [](PageButtons& b) { b.m_session.BlemishRecal(false); }},
        {CtrlId::BlemishRecalibrateWhite, [](PageButtons& b) { b.m_session.BlemishRecal(true); }},
        {CtrlId::PrismShadingGet, [](PageButtons& b) { b.m_session.PrismShadingGet(); }},
        {CtrlId::Temperature, [](PageButtons& b) { b.OnTemperature(); }},
        {CtrlId::SNumber, [](PageButtons& b) { b.OnSNumber(); }},
    };
    for (const auto& [id, action] : kActions)
        if (id == ctrlId)
            action(*this);
    for (const AverageButton& button : kAverageButtons)
        if (button.ctrlId == ctrlId)
            OnAverageData(button.mnemonic);
}

void PageButtons::OnTemperature()
{
    double degrees = 0;
    if (m_session.ReadTemperature(degrees))
        m_pages.ShowReadOut(CtrlId::TemperatureText, QString::asprintf("%.1f", degrees) + kDegrees);
}

void PageButtons::OnSNumber()
{
    int number = 0;
    if (m_session.ReadSNumber(number))
        m_pages.ShowReadOut(CtrlId::SNumberText, QString::asprintf("%d", number));
}

// The blocks of one channel, into a file the operator chooses.
void PageButtons::OnAverageData(const char* mnemonic)
{
    QString path;
    if (FileChoosers(m_prompts, m_window).ChooseCsvSaveFile(kAverageFilter, path))
        m_session.ReadAverageData(mnemonic, path.toStdString());
}
