#pragma once

#include <QComboBox>

namespace corvane {

/// The in-place drop-down list of one cell: the user picks one of the fixed choices.
/// It opens with its list shown; closing the list ends the edit.
class CListCellCombo : public QComboBox {
    Q_OBJECT

public:
    CListCellCombo(int nItem, int nSubItem, const QString& strInitText, QWidget* parent);

    int m_nItem;
    int m_nSubItem;
    QString m_strInitText;

    void hidePopup() override;

signals:
    /// The list was closed, with or without a choice; arrives once the choice is set.
    void closedUp();

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool m_bOpened = false;
};

}  // namespace corvane
