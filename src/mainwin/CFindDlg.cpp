#include "mainwin/CFindDlg.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

#include "params/SettingIndex.h"

namespace {

const QString kSeparator = QString::fromUtf8(" \u203a ");
constexpr int kWidth = 460;
constexpr int kHeight = 360;

}  // namespace

CFindDlg::CFindDlg(Listed listed, Reveal reveal, QWidget* parent)
    : QDialog(parent), m_listed(std::move(listed)), m_reveal(std::move(reveal))
{
    setWindowTitle("Find Setting");
    m_text = new QLineEdit(this);
    m_text->setPlaceholderText("Label, group, page or mnemonic");
    m_text->setClearButtonEnabled(true);
    m_list = new QListWidget(this);
    m_note = new QLabel(this);
    m_note->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addWidget(m_list);
    layout->addWidget(m_note);
    resize(kWidth, kHeight);

    connect(m_text, &QLineEdit::textChanged, this, &CFindDlg::Filter);
    connect(m_text, &QLineEdit::returnPressed, this, [this] {
        Activate(m_list->currentItem() ? m_list->currentItem() : m_list->item(0));
    });
    connect(m_list, &QListWidget::itemActivated, this, &CFindDlg::Activate);
    m_text->installEventFilter(this);
    Filter(QString());
}

QString CFindDlg::RowText(const SettingPlace& place)
{
    QString text = QString::fromStdString(place.page) + kSeparator;
    if (!place.group.empty())
        text += QString::fromStdString(place.group) + kSeparator;
    text += QString::fromStdString(place.label);
    if (!place.mnemonic.empty())
        text += "  [" + QString::fromStdString(place.mnemonic) + "]";
    return text;
}

void CFindDlg::Filter(const QString& text)
{
    m_list->clear();
    const std::string wanted = text.trimmed().toStdString();
    for (const SettingPlace& place : SettingIndex::Places()) {
        if (!m_listed(place) || !SettingIndex::Matches(place, wanted))
            continue;
        auto* item = new QListWidgetItem(RowText(place), m_list);
        item->setData(kCtrlIdRole, place.ctrlId);
    }
    m_list->setCurrentRow(m_list->count() > 0 ? 0 : -1);
    m_note->setText(m_list->count() == 0 ? kNoMatch : "");
}

// The level may have changed since the list was last made.
void CFindDlg::showEvent(QShowEvent* event)
{
    Filter(m_text->text());
    m_text->setFocus();
    m_text->selectAll();
    QDialog::showEvent(event);
}

void CFindDlg::Activate(QListWidgetItem* item)
{
    if (item != nullptr)
        m_note->setText(m_reveal(item->data(kCtrlIdRole).toInt()));
}

// Up and down in the text field move through the list.
bool CFindDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_text && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Down || key == Qt::Key_Up) && m_list->count() > 0) {
            const int step = key == Qt::Key_Down ? 1 : -1;
            m_list->setCurrentRow(qBound(0, m_list->currentRow() + step, m_list->count() - 1));
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
