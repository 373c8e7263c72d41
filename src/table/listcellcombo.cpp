#include "listcellcombo.h"

namespace corvane {

CListCellCombo::CListCellCombo(int nItem, int nSubItem, const QString& strInitText, QWidget* parent)
    : QComboBox(parent), m_nItem(nItem), m_nSubItem(nSubItem), m_strInitText(strInitText) {
    setEditable(false);
    setMaxVisibleItems(12);
}

void CListCellCombo::showEvent(QShowEvent* event) {
    QComboBox::showEvent(event);
    if (!m_bOpened) {
        m_bOpened = true;
        showPopup();
    }
}

void CListCellCombo::hidePopup() {
    QComboBox::hidePopup();
    // The popup hides before the picked choice becomes current; report the close
    // once that has happened.
    QMetaObject::invokeMethod(this, &CListCellCombo::closedUp, Qt::QueuedConnection);
}

}  // namespace corvane
