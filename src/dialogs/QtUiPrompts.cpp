#include "dialogs/QtUiPrompts.h"

#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

#include "dialogs/BlockingScope.h"

namespace {

QMessageBox::Icon BoxIcon(UiPrompts::Icon icon)
{
    switch (icon) {
    case UiPrompts::Icon::Information:
        return QMessageBox::Information;
    case UiPrompts::Icon::Question:
        return QMessageBox::Question;
    case UiPrompts::Icon::Stop:
        return QMessageBox::Critical;
    case UiPrompts::Icon::Exclamation:
        break;
    }
    return QMessageBox::Warning;
}

// What a window manager puts beside a caption: the icon and three buttons.
constexpr int kTitleBarDecoration = 120;

// A window manager cuts a caption wider than its box: the box grows to show it.
void FitCaption(QMessageBox& box)
{
    QFont titleFont = box.font();
    titleFont.setBold(true);
    const int wanted = QFontMetrics(titleFont).horizontalAdvance(box.windowTitle()) + kTitleBarDecoration;
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(wanted, 0, QSizePolicy::Minimum, QSizePolicy::Minimum), grid->rowCount(), 0, 1,
                      grid->columnCount());
}

}  // namespace

void QtUiPrompts::Message(QWidget* owner, const QString& text, const QString& caption, Icon icon)
{
    MessageWithDetails(owner, text, caption, icon, QString());
}

void QtUiPrompts::MessageWithDetails(QWidget* owner, const QString& text, const QString& caption, Icon icon,
                                     const QString& details)
{
    BlockingScope::Prompt prompt;
    QMessageBox box(BoxIcon(icon), caption, text, QMessageBox::Ok, owner);
    if (!details.isEmpty())
        box.setDetailedText(details);
    FitCaption(box);
    box.exec();
}

bool QtUiPrompts::AskYesNo(QWidget* owner, const QString& text, const QString& caption)
{
    BlockingScope::Prompt prompt;
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No, owner);
    box.setDefaultButton(QMessageBox::No);
    FitCaption(box);
    return box.exec() == QMessageBox::Yes;
}

QString QtUiPrompts::ChooseSaveFile(QWidget* owner, const QString& initialPath, const QString& filter,
                                    const QString& defaultSuffix)
{
    BlockingScope::Prompt prompt;
    QFileDialog dialog(owner, QString(), initialPath, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(defaultSuffix);
    // The overwrite question is the tool's own.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty() ? dialog.selectedFiles().first()
                                                                                   : QString();
}

QString QtUiPrompts::ChooseOpenFile(QWidget* owner, const QString& initialPath, const QString& filter,
                                    const QString& defaultSuffix)
{
    BlockingScope::Prompt prompt;
    QFileDialog dialog(owner, QString(), initialPath, filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(defaultSuffix);
    return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty() ? dialog.selectedFiles().first()
                                                                                   : QString();
}
