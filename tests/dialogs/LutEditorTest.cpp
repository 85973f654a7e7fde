// The three editors and the gamma menu in the real main window, with real Qt
// mouse events on the graph and the virtual camera on a pseudo-terminal.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QMouseEvent>

#include "files/GammaFile.h"
#include "support/MainWindowRig.h"
#include "support/Faults.h"

namespace {

struct EditorRig : MainWindowRig {
    EditorRig()
    {
        window->Initialise();
        Click(CtrlId::LutSetting);
    }
    CLutEditors& Editors() { return Inside().LutEditors(); }
    CLUTDlg& Red() { return Editors().Editor(0); }

    // A mouse event as the graph receives it, in graph pixels.
    static void Mouse(CLUTDlg& editor, QEvent::Type type, QPoint at, Qt::MouseButtons buttons,
                      Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton
                                       : buttons & Qt::RightButton ? Qt::RightButton
                                                                   : Qt::LeftButton;
        QMouseEvent event(type, at, editor.Graph()->mapToGlobal(at), button, buttons, modifiers);
        QApplication::sendEvent(editor.Graph(), &event);
    }
    static void Drag(CLUTDlg& editor, std::initializer_list<QPoint> path, Qt::MouseButtons buttons = Qt::LeftButton,
                     Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        auto at = path.begin();
        Mouse(editor, QEvent::MouseButtonPress, *at, buttons, modifiers);
        for (++at; at != path.end(); ++at)
            Mouse(editor, QEvent::MouseMove, *at, buttons, modifiers);
        Mouse(editor, QEvent::MouseButtonRelease, *(path.end() - 1), Qt::NoButton, modifiers);
    }
    static void Paint(CLUTDlg& editor) { editor.Graph()->grab(); }
};

}  // namespace

TEST(LutEditor, ThreeWindowsAndTheMouseShapeTheCurve)
{
    EditorRig rig;
    const char* captions[] = {"LUT Setting for Red", "LUT Setting for Green", "LUT Setting for Blue"};
    for (int ch = 0; ch < 3; ++ch) {
        CLUTDlg& editor = rig.Editors().Editor(ch);
        EXPECT_TRUE(editor.isVisible()) << "\"LUT Setting\" shows all three";
        EXPECT_TRUE(editor.isWindow());
        EXPECT_EQ(editor.windowTitle(), captions[ch]);
        EXPECT_EQ(editor.Graph()->geometry(), QRect(160, 20, 515, 516));
        const QSize before = editor.size();
        editor.resize(300, 200);
        EXPECT_TRUE(editor.rect().contains(editor.Graph()->geometry())) << "never smaller than its graph";
        editor.resize(before);
        EXPECT_TRUE(editor.Lut() == LutPoints::StartingTable()) << "the tables start as the straight line";
    }
    EXPECT_EQ(rig.Editors().Editor(1).pos() - rig.Red().pos(), QPoint(50, 50)) << "the windows stand in cascade";

    CLUTDlg& red = rig.Red();
    EditorRig::Drag(red, {{200, 300}});
    EXPECT_EQ(red.Points().Count(), 3) << "a click on empty graph adds a point";
    EditorRig::Drag(red, {{220, 320}, {230, 330}});
    EXPECT_EQ(red.Points().Count(), 3) << "a drag that starts near a point moves it";
    EditorRig::Drag(red, {{263, 330}}, Qt::RightButton);
    EditorRig::Drag(red, {{230, 297}}, Qt::RightButton);
    EXPECT_EQ(red.Points().Count(), 3) << "33 pixels away on either axis is not near";
    EditorRig::Drag(red, {{262, 362}, {230, 330}});
    EXPECT_EQ(red.Points().Count(), 3) << "32 pixels away on both axes still is";
    EditorRig::Drag(red, {{230, 330}, {200, 300}}, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(red.Points().At(1).x, 230) << "with Shift held nothing changes";
    EditorRig::Drag(red, {{230, 330}, {215, 315}, {200, 300}});
    EditorRig::Paint(red);
    EXPECT_EQ(red.Lut()[198], 3423) << "the curve through (200, 300)";
    EXPECT_EQ(red.Lut()[201], 3472);

    EditorRig::Drag(red, {{511, 0}}, Qt::RightButton);
    EditorRig::Drag(red, {{0, 512}}, Qt::RightButton);
    EXPECT_EQ(red.Points().Count(), 3) << "the end points cannot be deleted";
    EditorRig::Drag(red, {{300, 1}});
    EditorRig::Drag(red, {{300, 1}, {300, 0}});
    EditorRig::Paint(red);
    EXPECT_EQ(red.Lut()[300], 8191) << "a point on the top row gives 8191";
    EditorRig::Drag(red, {{205, 305}}, Qt::RightButton);
    EXPECT_EQ(red.Points().Count(), 3) << "the right button deletes the interior point near it";
    EXPECT_EQ(red.Points().At(1).x, 300);

    red.OnClearPoints();
    EditorRig::Paint(red);
    EXPECT_TRUE(red.Lut() == LutPoints::StartingTable());
    QTest::keyClick(&red, Qt::Key_Escape);
    EXPECT_FALSE(red.isVisible()) << "closing only hides";
    rig.Click(CtrlId::LutSetting);
    EXPECT_TRUE(red.isVisible());
}

TEST(LutEditor, GammaFilesThroughTheMenu)
{
    EditorRig rig;
    TempFolder folder;
    const QString path = QString::fromStdString(folder.File("gamma.csv"));
    CLUTDlg& green = rig.Editors().Editor(1);
    LutTable flat;
    flat.fill(77);
    green.SetTable(flat);
    green.Graph()->grab();

    rig.prompts.files = {path};
    rig.window->OnSaveGammaFile();
    EXPECT_EQ(rig.prompts.fileFilters.back(), "Camera gamm data (*.csv)");
    EXPECT_EQ(QDir::currentPath(), QString::fromStdString(folder.path)) << "the chosen folder becomes the working folder";
    const std::string saved = FileText(path.toStdString());
    GammaTables expected = {LutPoints::StartingTable(), {}, LutPoints::StartingTable()};
    expected[1].fill(77);
    EXPECT_TRUE(saved == GammaFile::Format(expected)) << "the tables are saved as they stand";

    rig.prompts.files = {path};
    rig.prompts.yesNoAnswers = {false};
    green.OnClearPoints();
    rig.window->OnSaveGammaFile();
    EXPECT_EQ(rig.prompts.LastText(), path + "\nThis file already exists.\nReplace existing file?");
    EXPECT_TRUE(FileText(path.toStdString()) == saved) << "No keeps the file";

    rig.prompts.files = {path};
    rig.window->OnOpenGammaFile();
    for (int ch = 0; ch < 3; ++ch) {
        EXPECT_TRUE(rig.Editors().Editor(ch).Lut() == expected[ch]) << "save then read gives identical tables";
        EXPECT_EQ(rig.Editors().Editor(ch).TableType(), CLUTDlg::TableGiven);
    }
    green.Graph()->grab();
    EXPECT_TRUE(green.Lut() == expected[1]) << "a given table is drawn, not computed from the points";

    const QString nowhere = QString::fromStdString(folder.File("none/gamma.csv"));
    EXPECT_FALSE(rig.Editors().WriteGammaFile(nowhere));
    EXPECT_EQ(rig.prompts.LastText(), nowhere + "\nCouldn't open this file");
    EXPECT_FALSE(rig.Editors().ReadGammaFile(nowhere));
    EXPECT_EQ(rig.prompts.LastText(), nowhere + "\nCouldn't open this file");
}

TEST(LutEditor, CameraTransfersStopAtTheFirstFailure)
{
    EditorRig rig;
    CLUTDlg& red = rig.Red();
    rig.camera.SetFaults(RefusingAll());
    rig.Wire();
    red.OnSendTable();
    EXPECT_EQ(rig.Wire(), std::vector<std::string>{"LUTR=0"}) << "sending stops at the refused entry";
    EXPECT_EQ(rig.prompts.LastText(), "01 Unknown Command!! for LUTR=0");
    EXPECT_FALSE(rig.Inside().Progress().IsCreated());

    rig.camera.SetFaults(SwallowingReplies(1));
    rig.Editors().SetReadTimeout(300);
    rig.window->OnLoadGammaFromCamera();
    EXPECT_EQ(rig.Wire(), std::vector<std::string>{"LUTR?"}) << "reading ends at the first unanswered query";
    EXPECT_FALSE(rig.Inside().Progress().IsCreated());
    EXPECT_TRUE(rig.window->isEnabled());
    EXPECT_EQ(red.TableType(), CLUTDlg::TableFromPoints) << "the interrupted table keeps its type";

    // A camera that writes its numbers in every form and stops answering at green entry 100.
    for (const char channel : {'R', 'G'}) {
        rig.camera.Feed("MD?\r\n");   // the table starts at entry 0
        for (int k = 0; k < kLutEntries; ++k)
            rig.camera.Feed(std::string("LUT") + channel + "=" + std::to_string(k == 7 ? 9000 : k * 8 - 3) + "\r\n");
    }
    camsim::Faults forms;
    forms.numbersInEveryForm = true;
    forms.silentFromCommand = kLutEntries + 101;
    rig.camera.SetFaults(forms);
    const LutTable blueBefore = rig.Editors().Editor(2).Lut();
    const LutTable greenBefore = rig.Editors().Editor(1).Lut();
    rig.prompts.Clear();
    rig.Wire();
    rig.window->OnLoadGammaFromCamera();
    const std::vector<std::string> wire = rig.Wire();
    EXPECT_EQ(wire.size(), kLutEntries + 101u);
    EXPECT_EQ(wire.back(), "LUTG?") << "blue is never asked for";
    const LutTable& readRed = red.Lut();
    const LutTable& readGreen = rig.Editors().Editor(1).Lut();
    EXPECT_EQ((std::vector<int>{readRed[0], readRed[1], readRed[2], readRed[3], readRed[7], readRed[511]}),
              (std::vector<int>{-3, 5, 13, 21, 8191, 4085}))
        << "decimal, &H, 0x and octal all read as numbers; above 8191 is 8191, a negative value as it came";
    EXPECT_EQ(red.TableType(), CLUTDlg::TableGiven) << "red was read whole";
    EXPECT_EQ(readGreen[99], 789) << "green entries 0..99 are kept";
    EXPECT_EQ(readGreen[100], greenBefore[100]) << "the unanswered entry and those after it are unchanged";
    EXPECT_EQ(rig.Editors().Editor(1).TableType(), CLUTDlg::TableFromPoints);
    EXPECT_TRUE(rig.Editors().Editor(2).Lut() == blueBefore) << "blue is untouched";
    EXPECT_TRUE(rig.prompts.prompts.empty()) << "a time-out turns the status red without a box";
    EXPECT_EQ(rig.settings.lineOnline, 0u);
}
