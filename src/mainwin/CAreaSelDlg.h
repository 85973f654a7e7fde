#pragma once

#include <QDialog>

class QComboBox;
class QLabel;

// Chooses a setting area for a store or a load: 0 Factory, 1..3 User1..User3.
// The factory area is offered for a store only at the factory level.
class CAreaSelDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr const char* kAreaNames[] = {"Factory", "User1", "User2", "User3"};

    CAreaSelDlg(QWidget* parent, int currentArea, bool load, bool factoryLevel, bool lineOnline);

    // After OK: the chosen area, or -1 when the chosen text names none.
    int Area() const { return m_area; }
    QComboBox& List() const { return *m_list; }
    QString Message() const;
    void SetLineStatus(int state);
    void accept() override;

private:
    void FillList(bool load, bool factoryLevel);
    void Preselect(int area);

    int m_area;
    QLabel* m_message = nullptr;
    QComboBox* m_list = nullptr;
    QLabel* m_statusPicture = nullptr;
};
