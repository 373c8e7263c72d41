#include "listcelledit.h"

#include <QValidator>

#include "celltext.h"

namespace corvane {
namespace {

// Rejects every text that would hold "," or a line break; QLineEdit then keeps the
// text it had and reports inputRejected().
class CellTextValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        return isAcceptableCellText(input) ? Acceptable : Invalid;
    }
};

}  // namespace

CListCellEdit::CListCellEdit(int nItem, int nSubItem, const QString& strInitText, QWidget* parent)
    : QLineEdit(parent), m_nItem(nItem), m_nSubItem(nSubItem), m_strInitText(strInitText) {
    setAlignment(Qt::AlignCenter);
    setText(strInitText);
    setValidator(new CellTextValidator(this));
    selectAll();
    connect(this, &QLineEdit::inputRejected, this, &CListCellEdit::refused);
    connect(this, &QLineEdit::textEdited, this, &CListCellEdit::widenForText);
}

void CListCellEdit::widenForText() {
    QWidget* area = parentWidget();
    if (!area)
        return;
    const QMargins m = textMargins() + contentsMargins();
    const int wanted = fontMetrics().horizontalAdvance(text()) + 5 + m.left() + m.right() + 4;
    if (wanted <= width())
        return;
    resize(std::min(wanted, area->width() - x()), height());
}

}  // namespace corvane
