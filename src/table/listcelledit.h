#pragma once

#include <QLineEdit>

namespace corvane {

/// The in-place text edit of one cell. It refuses "," and line breaks (with
/// `refused()`), grows to the right with its text up to the list's edge, and remembers
/// whether the edit was cancelled with Escape.
class CListCellEdit : public QLineEdit {
    Q_OBJECT

public:
    CListCellEdit(int nItem, int nSubItem, const QString& strInitText, QWidget* parent);

    int m_nItem;
    int m_nSubItem;
    QString m_strInitText;
    bool m_bEscape = false;

signals:
    /// A typed or pasted text was refused because of a "," or a line break.
    void refused();

private:
    void widenForText();
};

}  // namespace corvane
