#pragma once

#include <QDialog>

#include <string>
#include <vector>

#include "selectionmark.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;

namespace corvane {

class PointTable;

/// Defines the power line: offers the J stakes of the table in table order, lets the
/// user remove and reorder them and type the start mileage, shows the running mileage
/// of each, and on OK writes the chain into the table as one undoable step.
class CLinePointSelectDlg : public QDialog {
    Q_OBJECT

public:
    CLinePointSelectDlg(PointTable& table, QWidget* parent = nullptr);

    QTableWidget* list() const { return m_list; }
    /// The row the up and down buttons move: the one the user last picked, or -1.
    int markedRow() const { return m_mark.row(); }
    QLineEdit* startMileageEdit() const { return m_startEdit; }
    /// The start mileage in force: the last text of the edit that began with a number.
    double startMileage() const { return m_dStartMileage; }
    /// The names in the list, top down.
    std::vector<std::string> names() const;
    /// The texts of the mileage column, top down.
    QStringList mileageTexts() const;

    void OnMoveUp();
    void OnMoveDown();
    void OnDeletePoints();
    void accept() override;

private:
    void gatherPoints();
    void recomputeMileages();
    void onStartMileageEdited(const QString& text);
    void onItemChanged(QTableWidgetItem* item);
    void swapWithRow(int row, int other);
    void showProblem(const QString& text);

    PointTable& m_table;
    SelectionMark m_mark;
    QTableWidget* m_list = nullptr;
    QLineEdit* m_startEdit = nullptr;
    QLabel* m_problem = nullptr;
    double m_dStartMileage = 0;
    bool m_bFilling = false;
};

}  // namespace corvane
