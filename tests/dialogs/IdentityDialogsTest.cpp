// The About window and the User ID and Camera ID dialogs against a virtual
// camera; boxes are answered by the test.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <fstream>

#include "CompanionRig.h"
#include "UrlCatcher.h"
#include "dialogs/CAboutDlg.h"
#include "dialogs/CCamIDDlg.h"
#include "dialogs/CUserIDDlg.h"
#include "support/TempFolder.h"
#include "support/Faults.h"

using Lines = std::vector<std::string>;
using Icon = UiPrompts::Icon;

TEST(AboutWindow, ShowsTheCameraDataWithPlaceholdersAndOpensTheChosenPdf)
{
    CompanionRig rig;
    rig.Cam().SetRegister("VN", 105);
    rig.Cam().SetFaults(SilentTo({"FPVN"}));
    TempFolder help;
    const QString helpFolder = QString::fromStdString(help.path);
    CAboutDlg about(rig.Settings(), rig, rig.prompts, helpFolder);
    const auto field = [&about](const char* name) { return about.findChild<QLineEdit*>(name)->text(); };
    EXPECT_EQ(about.findChild<QLabel*>("programVersion")->text(), "Version: 1.26");
    EXPECT_EQ(field("firmwareVersion"), "1.05");
    EXPECT_EQ(field("modelName"), "MX-550CL");
    EXPECT_EQ(field("cameraIdField"), "CK00000001");
    EXPECT_EQ(field("fpgaVersion"), "?.??") << "FPVN did not answer";
    EXPECT_EQ(rig.Wire(), (Lines{"VN?", "MD?", "ID?", "FPVN?", "UD?"}));

    rig.Cam().SetFaults(SilentTo({"VN"}));
    rig.Cam().SetRegister("VN", 200);
    about.RefreshCameraData();
    EXPECT_EQ(rig.Wire(), Lines{"VN?"}) << "nothing more is asked without a firmware version";
    EXPECT_EQ(field("firmwareVersion"), "1.05") << "and nothing changes";

    EXPECT_FALSE(about.findChild<QLineEdit*>("userIdEdit")->isEnabled()) << "protected at first";
    about.findChild<QRadioButton*>("enableEdit")->click();
    EXPECT_TRUE(about.findChild<QLineEdit*>("userIdEdit")->isEnabled());
    EXPECT_TRUE(about.findChild<QPushButton*>("saveUserId")->isEnabled());
    about.findChild<QRadioButton*>("protect")->click();
    EXPECT_FALSE(about.findChild<QPushButton*>("saveUserId")->isEnabled());

    about.findChild<QPushButton*>("viewHelp")->click();
    EXPECT_EQ(rig.prompts.LastText(), "No file was selected!!\nThe folder " + helpFolder + " holds no help file (*.pdf).");

    for (const char* name : {"manual.pdf", "errata.pdf", "notes.txt"})
        std::ofstream(help.File(name)) << "x";
    UrlCatcher catcher("file");
    CAboutDlg withHelp(rig.Settings(), rig, rig.prompts, helpFolder);
    auto* list = withHelp.findChild<QComboBox*>("helpFiles");
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->currentText(), "errata.pdf") << "the first in name order is selected";
    list->setCurrentIndex(1);
    rig.prompts.Clear();
    withHelp.findChild<QPushButton*>("viewHelp")->click();
    ASSERT_EQ(catcher.opened.size(), 1);
    EXPECT_EQ(catcher.opened[0], QUrl::fromLocalFile(QString::fromStdString(help.File("manual.pdf"))));
    EXPECT_TRUE(rig.prompts.prompts.empty());

    {
        // A desktop whose handler of files cannot open them, as without a PDF viewer.
        QObject noViewer;
        QDesktopServices::setUrlHandler("file", &noViewer, "Open");
        withHelp.findChild<QPushButton*>("viewHelp")->click();
        QDesktopServices::unsetUrlHandler("file");
    }
    EXPECT_EQ(rig.prompts.LastText(), "No program to show PDF files is installed.\nThe help file is " +
                                          QString::fromStdString(help.File("manual.pdf")));
}

TEST(UserId, OpensWithTheCameraIdAndWritesSixteenCharactersButNotSeventeenNorNothingUnasked)
{
    CompanionRig rig;
    rig.Cam().SetText("UD", "LINE4");
    CUserIDDlg dialog(rig.Settings(), rig, rig.prompts);
    QLineEdit* edit = dialog.findChild<QLineEdit*>("userIdEdit");
    EXPECT_EQ(rig.Wire(), Lines{"UD?"});
    EXPECT_EQ(edit->text(), "LINE4") << "opens with what the camera holds";

    dialog.show();
    edit->clear();
    QTest::keyClick(edit, Qt::Key_Return);   // Enter presses "Write"
    ASSERT_EQ(rig.prompts.prompts.size(), 1u);
    EXPECT_EQ(rig.prompts.LastText(), "Write an empty User ID?\nThe camera's User ID will be erased.");
    EXPECT_TRUE(rig.Wire().empty()) << "No: nothing is erased";
    EXPECT_EQ(rig.Cam().Text("UD"), "LINE4");

    rig.prompts.Clear();
    edit->setText("ABCDEFGHIJKLMNOPQ");
    dialog.findChild<QPushButton*>("write")->click();
    EXPECT_TRUE(rig.Wire().empty()) << "17 characters are not sent";
    ASSERT_EQ(rig.prompts.prompts.size(), 1u);
    EXPECT_EQ(rig.prompts.prompts[0].text, "Couldn't write the User ID.\nA User ID holds at most 16 characters.");
    EXPECT_EQ(rig.prompts.prompts[0].icon, Icon::Stop);

    edit->setText("ABCDEFGHIJKLMNOP");
    dialog.findChild<QPushButton*>("write")->click();
    EXPECT_EQ(rig.Wire(), Lines{"UD=ABCDEFGHIJKLMNOP"});
    EXPECT_EQ(rig.Cam().Text("UD"), "ABCDEFGHIJKLMNOP");
    EXPECT_EQ(rig.prompts.LastText(), "Writing the User ID \"ABCDEFGHIJKLMNOP\" has been completed.");
    EXPECT_EQ(rig.prompts.prompts.back().icon, Icon::Information);

    rig.Cam().SetText("UD", "BAY7");
    dialog.findChild<QPushButton*>("read")->click();
    EXPECT_EQ(edit->text(), "BAY7");
}

TEST(CameraId, FillsOneEditPerCharacterAndOnlyTheFactorySaves)
{
    CompanionRig rig;
    {
        CCamIDDlg userLevel(rig.Settings(), rig, rig.prompts);
        userLevel.show();
        EXPECT_FALSE(userLevel.findChild<QPushButton*>("save")->isVisible());
        EXPECT_EQ(userLevel.Edit(9)->text(), "1") << "CK00000001";
    }
    rig.Settings().activeMode = ActiveFactory;
    rig.Cam().SetText("ID", "AB");
    CCamIDDlg dialog(rig.Settings(), rig, rig.prompts);
    dialog.show();
    EXPECT_EQ(dialog.Edit(0)->text() + dialog.Edit(1)->text(), "AB");
    for (int k = 2; k < CCamIDDlg::kLength; ++k)
        EXPECT_TRUE(dialog.Edit(k)->text().isEmpty()) << "edit " << k;
    EXPECT_TRUE(dialog.findChild<QPushButton*>("save")->isVisible()) << "factory level saves";

    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    dialog.Edit(0)->setFocus(Qt::TabFocusReason);
    for (const char key : {'A', 'B', '7'})   // typed in one go, each box passing on to the next
        QTest::keyClick(QApplication::focusWidget(), key);
    EXPECT_EQ(QApplication::focusWidget(), dialog.Edit(3));
    rig.Wire();
    dialog.findChild<QPushButton*>("save")->click();
    EXPECT_EQ(rig.Wire(), (Lines{"ULCK=5963104", "ID=AB7"})) << "unlocked first, then the three characters";
    EXPECT_EQ(rig.Cam().Text("ID"), "AB7");
    EXPECT_EQ(rig.Settings().cameraId, "AB7");
    EXPECT_EQ(rig.prompts.LastText(), "Completed to save the CAMERA ID, AB7.");

    rig.Cam().SetFaults(RefusingAll());
    dialog.findChild<QPushButton*>("save")->click();
    EXPECT_EQ(rig.Wire(), Lines{"ULCK=5963104"}) << "no ID without the unlock";
    EXPECT_EQ(rig.prompts.LastText(), "Couldn't save the CAMERA ID.");
    EXPECT_EQ(rig.prompts.prompts.back().icon, Icon::Stop);
}
