#include "looks.h"

#include <QApplication>
#include <QColor>
#include <QPainter>
#include <QPalette>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOption>

#include <algorithm>
#include <array>
#include <cmath>

#include "commandids.h"

namespace corvane {
namespace {

constexpr std::array<LookInfo, 9> kLooks{{
    {ID_VIEW_APPLOOK_WIN_2000, u"Windows 2000(&2)", false},
    {ID_VIEW_APPLOOK_OFF_XP, u"Office XP(&X)", false},
    {ID_VIEW_APPLOOK_WIN_XP, u"Windows XP(&W)", false},
    {ID_VIEW_APPLOOK_OFF_2003, u"Office 2003(&3)", false},
    {ID_VIEW_APPLOOK_VS_2005, u"Visual Studio.NET 2005(&5)", false},
    {ID_VIEW_APPLOOK_OFF_2007_BLUE, u"蓝色样式(&B)", true},
    {ID_VIEW_APPLOOK_OFF_2007_BLACK, u"黑色样式(&L)", true},
    {ID_VIEW_APPLOOK_OFF_2007_SILVER, u"银色样式(&S)", true},
    {ID_VIEW_APPLOOK_OFF_2007_AQUA, u"水绿色样式(&A)", true},
}};

/// The colours of one look: the window face, the bars' gradient, the selection.
struct LookColours {
    const char* window;
    const char* barTop;
    const char* barBottom;
    const char* highlight;
    const char* highlightedText;
};

LookColours coloursOf(int id) {
    switch (id) {
        case ID_VIEW_APPLOOK_WIN_2000:
            return {"#d4d0c8", "#d4d0c8", "#d4d0c8", "#0a246a", "#ffffff"};
        case ID_VIEW_APPLOOK_OFF_XP:
            return {"#ece9e2", "#f7f6f3", "#e6e3db", "#316ac5", "#ffffff"};
        case ID_VIEW_APPLOOK_WIN_XP:
            return {"#ece9d8", "#f6f5ee", "#e1ddc9", "#316ac5", "#ffffff"};
        case ID_VIEW_APPLOOK_OFF_2003:
            return {"#dbe7f7", "#e3efff", "#9ebfee", "#3f7ad8", "#ffffff"};
        case ID_VIEW_APPLOOK_VS_2005:
            return {"#eeede5", "#fbfaf6", "#d9d6c6", "#316ac5", "#ffffff"};
        case ID_VIEW_APPLOOK_OFF_2007_SILVER:
            return {"#e4e7eb", "#f4f6f8", "#c6ccd4", "#f6d36f", "#000000"};
        case ID_VIEW_APPLOOK_OFF_2007_AQUA:
            return {"#d8ebe9", "#eaf6f5", "#a9d3cf", "#f6d36f", "#000000"};
        case ID_VIEW_APPLOOK_OFF_2007_BLACK:
            return {"#353535", "#505050", "#2c2c2c", "#e8a33d", "#000000"};
        case ID_VIEW_APPLOOK_OFF_2007_BLUE:
        default:
            return {"#d6e3f3", "#e3efff", "#afcdf2", "#f6d36f", "#000000"};
    }
}

QPalette lightPalette(const LookColours& c) {
    QColor window(QString::fromLatin1(c.window));
    QPalette p(window, window);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::Button, window);
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::AlternateBase, window.lighter(108));
    p.setColor(QPalette::Text, Qt::black);
    p.setColor(QPalette::WindowText, Qt::black);
    p.setColor(QPalette::ButtonText, Qt::black);
    p.setColor(QPalette::ToolTipBase, QColor(0xff, 0xff, 0xe1));
    p.setColor(QPalette::ToolTipText, Qt::black);
    p.setColor(QPalette::PlaceholderText, QColor(0x80, 0x80, 0x80));
    p.setColor(QPalette::Highlight, QColor(QString::fromLatin1(c.highlight)));
    p.setColor(QPalette::HighlightedText, QColor(QString::fromLatin1(c.highlightedText)));
    p.setColor(QPalette::Link, QColor(0x00, 0x55, 0xcc));
    for (QPalette::ColorRole role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, QColor(0x8a, 0x8a, 0x8a));
    return p;
}

// A dark palette in which every pair of text and background keeps a clear contrast.
QPalette darkPalette(const LookColours& c) {
    const QColor window(QString::fromLatin1(c.window));
    const QColor text(0xe8, 0xe8, 0xe8);
    const QColor disabled(0x80, 0x80, 0x80);
    QPalette p;
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, QColor(0x24, 0x24, 0x24));
    p.setColor(QPalette::AlternateBase, QColor(0x2e, 0x2e, 0x2e));
    p.setColor(QPalette::ToolTipBase, QColor(0x20, 0x20, 0x20));
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::PlaceholderText, disabled);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, QColor(0x40, 0x40, 0x40));
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::BrightText, QColor(0xff, 0x60, 0x60));
    p.setColor(QPalette::Light, QColor(0x5a, 0x5a, 0x5a));
    p.setColor(QPalette::Midlight, QColor(0x4a, 0x4a, 0x4a));
    p.setColor(QPalette::Mid, QColor(0x30, 0x30, 0x30));
    p.setColor(QPalette::Dark, QColor(0x1e, 0x1e, 0x1e));
    p.setColor(QPalette::Shadow, QColor(0x10, 0x10, 0x10));
    p.setColor(QPalette::Highlight, QColor(QString::fromLatin1(c.highlight)));
    p.setColor(QPalette::HighlightedText, QColor(QString::fromLatin1(c.highlightedText)));
    p.setColor(QPalette::Link, QColor(0x6c, 0xb4, 0xff));
    p.setColor(QPalette::LinkVisited, QColor(0xb0, 0x90, 0xff));
    for (QPalette::ColorRole role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, disabled);
    p.setColor(QPalette::Disabled, QPalette::Base, QColor(0x30, 0x30, 0x30));
    p.setColor(QPalette::Disabled, QPalette::Button, QColor(0x38, 0x38, 0x38));
    p.setColor(QPalette::Disabled, QPalette::Highlight, QColor(0x50, 0x50, 0x50));
    return p;
}

int g_officeColours = ID_VIEW_APPLOOK_OFF_2007_BLUE;

/// Fusion, with check boxes that read clearly on every row of a dark table: Fusion
/// outlines them in a shade of the window colour, which vanishes on a dark base, and on a
/// selected row shows them as dark filled squares.
class LookStyle : public QProxyStyle {
public:
    LookStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {
        setObjectName(QStringLiteral("CorvaneLook"));
    }

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        const bool checkBox =
            element == PE_IndicatorCheckBox || element == PE_IndicatorItemViewItemCheck;
        if (!checkBox || option->palette.color(QPalette::Base).lightness() >= 128) {
            QProxyStyle::drawPrimitive(element, option, painter, widget);
            return;
        }
        drawDarkCheckBox(option, painter);
    }

private:
    // An outlined box with a light edge on the base colour; on a selected row an empty
    // outline in the selection's text colour, so that unchecked still reads as empty.
    static void drawDarkCheckBox(const QStyleOption* option, QPainter* painter) {
        const QPalette& palette = option->palette;
        const bool enabled = option->state & State_Enabled;
        const bool selected = option->state & State_Selected;
        const QPalette::ColorGroup group = enabled ? QPalette::Active : QPalette::Disabled;
        const QColor ink = selected ? palette.color(group, QPalette::HighlightedText)
                                    : palette.color(group, QPalette::Text);
        QRect box = option->rect;
        const int side = std::min(box.width(), box.height());
        box.setSize(QSize(side, side));
        box.moveCenter(option->rect.center());
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, false);
        painter->setPen(selected ? ink : ink.darker(enabled ? 130 : 100));
        painter->setBrush(selected ? QBrush(Qt::NoBrush) : palette.brush(QPalette::Base));
        painter->drawRect(box.adjusted(0, 0, -1, -1));
        if (option->state & (State_On | State_NoChange)) {
            painter->setRenderHint(QPainter::Antialiasing, true);
            const QRectF in =
                QRectF(box).adjusted(side * 0.22, side * 0.22, -side * 0.22, -side * 0.22);
            QPen tick(ink, std::max(1.5, side / 7.0));
            tick.setCapStyle(Qt::RoundCap);
            tick.setJoinStyle(Qt::RoundJoin);
            painter->setPen(tick);
            painter->setBrush(Qt::NoBrush);
            if (option->state & State_NoChange) {
                painter->drawLine(QPointF(in.left(), in.center().y()),
                                  QPointF(in.right(), in.center().y()));
            } else {
                const QPointF points[] = {{in.left(), in.top() + in.height() * 0.55},
                                          {in.left() + in.width() * 0.38, in.bottom()},
                                          {in.right(), in.top()}};
                painter->drawPolyline(points, 3);
            }
        }
        painter->restore();
    }
};

double luminance(const QColor& colour) {
    auto linear = [](float channel) {
        return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    const QColor c = colour.toRgb();
    return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
}

}  // namespace

std::span<const LookInfo> applicationLooks() {
    return kLooks;
}

bool isKnownLook(int id) {
    return id >= ID_VIEW_APPLOOK_WIN_2000 && id <= ID_VIEW_APPLOOK_OFF_2007_AQUA;
}

bool isDarkLook(int id) {
    return id == ID_VIEW_APPLOOK_OFF_2007_BLACK;
}

void applyApplicationLook(int id) {
    // Every look draws with the Fusion style; the looks differ in colours and bars.
    if (QApplication::style()->objectName() != u"CorvaneLook")
        QApplication::setStyle(new LookStyle);
    int colours = id;
    if (!isKnownLook(id))
        colours = g_officeColours;
    else if (id >= ID_VIEW_APPLOOK_OFF_2007_BLUE)
        g_officeColours = id;
    LookColours c = coloursOf(colours);
    QApplication::setPalette(isDarkLook(colours) ? darkPalette(c) : lightPalette(c));
}

double contrastRatio(const QColor& a, const QColor& b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor readableOn(const QColor& colour, const QColor& background, double minimum) {
    const bool darkBackground = luminance(background) < 0.18;
    // Only the lightness moves, in small steps, so that a red stays a red.
    float hue = 0, saturation = 0, lightness = 0, alpha = 1;
    colour.toHsl().getHslF(&hue, &saturation, &lightness, &alpha);
    QColor c = colour.toRgb();
    for (int step = 0; step < 50 && contrastRatio(c, background) < minimum; ++step) {
        lightness = std::clamp(lightness + (darkBackground ? 0.02f : -0.02f), 0.0f, 1.0f);
        c = QColor::fromHslF(hue, saturation, lightness, alpha).toRgb();
    }
    return c;
}

QString barStyleSheet(int id) {
    if (!isKnownLook(id))
        id = g_officeColours;
    LookColours c = coloursOf(id);
    const QString gradient =
        QStringLiteral("qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 %1, stop:1 %2)")
            .arg(QString::fromLatin1(c.barTop), QString::fromLatin1(c.barBottom));
    const QString border = isDarkLook(id) ? QStringLiteral("#1c1c1c") : QStringLiteral("#a0a0a0");
    return QStringLiteral(
               "QMenuBar { background: %1; }"
               "QToolBar { background: %1; border: none; border-bottom: 1px solid %2;"
               " padding: 1px; spacing: 2px; }"
               "QStatusBar { background: %1; border-top: 1px solid %2; }")
        .arg(gradient, border);
}

}  // namespace corvane
