#include "cellpainter.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionViewItem>

namespace corvane {
namespace {

const QStyle* styleOf(const QWidget* widget) {
    return widget ? widget->style() : QApplication::style();
}

int textMargin(const QWidget* widget) {
    return styleOf(widget)->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
}

}  // namespace

QRect CellPainter::checkBoxRect(const QRect& cell, const QWidget* widget) {
    const QStyle* style = styleOf(widget);
    const int w = style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, widget);
    const int h = style->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, widget);
    return QRect(cell.left() + textMargin(widget), cell.top() + (cell.height() - h) / 2, w, h);
}

const QStaticText& CellPainter::layout(const QString& text, const QFont& font) {
    if (font != m_font) {
        m_layouts.clear();
        m_font = font;
    }
    if (QStaticText* kept = m_layouts.object(text))
        return *kept;
    auto* made = new QStaticText(text);
    made->setTextFormat(Qt::PlainText);
    made->setPerformanceHint(QStaticText::AggressiveCaching);
    made->prepare(QTransform(), font);
    m_layouts.insert(text, made);
    return *made;
}

void CellPainter::paint(QPainter* painter, const QStyleOptionViewItem& option,
                        const QWidget* widget) {
    const QStyle* style = styleOf(widget);
    painter->save();
    painter->setClipRect(option.rect);
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &option, painter, widget);

    const int margin = textMargin(widget);
    QRect textRect = option.rect.adjusted(margin, 0, -margin, 0);
    if (option.features & QStyleOptionViewItem::HasCheckIndicator) {
        QStyleOptionViewItem check(option);
        check.rect = checkBoxRect(option.rect, widget);
        check.state &= ~QStyle::State_HasFocus;
        switch (option.checkState) {
            case Qt::Unchecked:
                check.state |= QStyle::State_Off;
                break;
            case Qt::PartiallyChecked:
                check.state |= QStyle::State_NoChange;
                break;
            case Qt::Checked:
                check.state |= QStyle::State_On;
                break;
        }
        style->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &check, painter, widget);
        textRect.setLeft(check.rect.right() + 1 + margin);
    }

    if (!option.text.isEmpty() && textRect.width() > 0) {
        const QPalette::ColorGroup group =
            !(option.state & QStyle::State_Enabled) ? QPalette::Disabled
            : (option.state & QStyle::State_Active) ? QPalette::Normal
                                                    : QPalette::Inactive;
        painter->setPen(option.palette.color(group, option.state & QStyle::State_Selected
                                                        ? QPalette::HighlightedText
                                                        : QPalette::Text));
        painter->setFont(option.font);
        const QStaticText& text = layout(option.text, option.font);
        const QSizeF size = text.size();
        if (size.width() <= textRect.width()) {
            qreal x = textRect.left();
            if (option.displayAlignment & Qt::AlignHCenter)
                x += (textRect.width() - size.width()) / 2;
            else if (option.displayAlignment & Qt::AlignRight)
                x = textRect.right() + 1 - size.width();
            const qreal y = textRect.top() + (textRect.height() - size.height()) / 2;
            painter->drawStaticText(QPointF(x, y), text);
        } else {
            const QString elided =
                QFontMetrics(option.font).elidedText(option.text, Qt::ElideRight, textRect.width());
            painter->drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
                              elided);
        }
    }

    if (option.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(option);
        focus.rect = option.rect;
        focus.state |= QStyle::State_KeyboardFocusChange | QStyle::State_Item;
        focus.backgroundColor = option.palette.color(
            option.state & QStyle::State_Selected ? QPalette::Highlight : QPalette::Window);
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
    }
    painter->restore();
}

}  // namespace corvane
