#pragma once

#include <QString>
#include <QWidget>

#include <map>
#include <vector>

#include "params/CtrlNotifySink.h"
#include "params/PageContents.h"

class CtrlRegistry;
class QGridLayout;
class QLabel;
class QRadioButton;

// One parameter page (one tab), built from its contents. Every user action on
// a control and every key press on the page go to the main window's sink.
class CDlgParameterSheet : public QWidget {
    Q_OBJECT

public:
    CDlgParameterSheet(const PageContent& content, int pageIndex, CtrlRegistry& registry, CtrlNotifySink& sink,
                       QWidget* parent = nullptr);

    QString GetPageTitle() const { return m_title; }
    bool IsFactoryPage() const { return m_kind == FactoryPage; }
    int GetPageIndex() const { return m_pageIndex; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Grid column of every cell of a row, spans included.
    static std::vector<int> CellColumns(const PageRow& row);
    static int GroupColumnCount(const PageGroup& group);
    static bool StartsRowsWithLabels(const PageGroup& group);
    static bool IsColumnHeading(const PageGroup& group, size_t rowIndex, int column);

    void BuildPage(const PageContent& content);
    QWidget* BuildGroup(const PageGroup& group);
    // What the rows of one group share while it is built.
    struct GroupGrid {
        QGridLayout* layout;
        int columnCount;
        std::vector<QLabel*> firstColumnLabels;
        std::vector<QWidget*> lists;
    };
    void BuildRow(const PageGroup& group, size_t rowIndex, GroupGrid& grid);
    static void ShareWidestWidth(const std::vector<QWidget*>& widgets);
    static Qt::Alignment CellAlignment(const PageGroup& group, size_t rowIndex, CellKind kind, int column, int span);
    QWidget* CreateCell(const PageCell& cell);
    QWidget* CreateEdit(const PageCell& cell);
    QWidget* CreateList(const PageCell& cell);
    QWidget* CreateButtonCell(const PageCell& cell);
    QWidget* CreateReadOut(const PageCell& cell);
    void RegisterCell(const PageCell& cell, QWidget* widget);
    void RegisterRadioGroups();
    void AlignLabelColumns();
    void InstallKeyFilter();
    void Notify(QWidget* control, CtrlNotification what, int ctrlId, int position = 0, int step = 0);

    // ---- page identity
    QString m_title;
    ParamPageKind m_kind;
    int m_pageIndex;

    // ---- the main window's side
    CtrlRegistry& m_registry;
    CtrlNotifySink& m_sink;

    // ---- building
    std::map<int, std::vector<QRadioButton*>> m_radiosByHead;   // in page order
    struct LabelColumn {
        int pageColumn;
        QGridLayout* grid;
        std::vector<QLabel*> labels;
    };
    std::vector<LabelColumn> m_labelColumns;
};
