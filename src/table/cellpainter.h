#pragma once

#include <QCache>
#include <QFont>
#include <QRect>
#include <QStaticText>
#include <QString>

class QPainter;
class QStyleOptionViewItem;
class QWidget;

namespace corvane {

/// Paints one cell of the table: background and selection, the check box, the text
/// centred and cut with "…" when it does not fit, the focus frame. Each distinct text
/// is laid out once and kept, so that scrolling through a large table reuses the
/// layouts of the texts that recur (vocabulary entries, zeros, segment names).
class CellPainter {
public:
    /// `option` already holds the cell's text, check state and alignment.
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QWidget* widget);

    /// Where the check box of a cell at `cell` is drawn and hit.
    static QRect checkBoxRect(const QRect& cell, const QWidget* widget);

private:
    const QStaticText& layout(const QString& text, const QFont& font);

    QCache<QString, QStaticText> m_layouts{8192};
    QFont m_font;
};

}  // namespace corvane
