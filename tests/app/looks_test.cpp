#include "looks.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QStyleOptionViewItem>
#include <QTest>

#include "columns.h"
#include "commandids.h"
#include "linepointselectdlg.h"
#include "pointtable.h"
#include "vocabularies.h"

namespace corvane {
namespace {

// The item-view check box of the current look, drawn alone on a transparent square.
QImage checkBox(QStyle::State state, QPalette::ColorGroup group = QPalette::Active) {
    QStyleOptionViewItem option;
    option.palette = QApplication::palette();
    option.palette.setCurrentColorGroup(group);
    option.rect = QRect(0, 0, 15, 15);
    option.state = state | QStyle::State_Enabled | QStyle::State_Active;
    QImage image(15, 15, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    QApplication::style()->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &option, &painter);
    return image;
}

// The colour drawn most often along the top edge of the box.
QColor edgeOf(const QImage& box) {
    QColor best;
    int bestCount = 0;
    for (int x = 0; x < box.width(); ++x) {
        const QRgb c = box.pixel(x, 0);
        int count = 0;
        for (int y = 0; y < box.width(); ++y)
            count += box.pixel(y, 0) == c;
        if (qAlpha(c) == 255 && count > bestCount) {
            best = QColor::fromRgba(c);
            bestCount = count;
        }
    }
    return best;
}

}  // namespace

class LooksTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { applyApplicationLook(ID_VIEW_APPLOOK_OFF_2007_BLUE); }

    void contrastFollowsTheGuidelines() {
        QCOMPARE(qRound(contrastRatio(Qt::black, Qt::white) * 10), 210);
        QCOMPARE(contrastRatio(QColor(0x77, 0x77, 0x77), QColor(0x77, 0x77, 0x77)), 1.0);
        // #767676 is the lightest grey that reads on white at 4.5.
        QVERIFY(contrastRatio(QColor(0x76, 0x76, 0x76), Qt::white) >= 4.5);
        QVERIFY(contrastRatio(QColor(0x77, 0x77, 0x77), Qt::white) < 4.5);
    }

    void aColourIsMadeReadableOnlyAsFarAsNeeded() {
        const QColor red(0xc0, 0x00, 0x00);
        QCOMPARE(readableOn(red, Qt::white), red);  // already 5.9
        const QColor onDark = readableOn(red, QColor(0x35, 0x35, 0x35));
        QVERIFY(contrastRatio(onDark, QColor(0x35, 0x35, 0x35)) >= 4.5);
        QVERIFY(onDark.red() > onDark.green());  // still a red
        const QColor onGrey = readableOn(red, QColor(0xd4, 0xd0, 0xc8));
        QVERIFY(contrastRatio(onGrey, QColor(0xd4, 0xd0, 0xc8)) >= 4.5);
        QVERIFY(onGrey.red() <= red.red());
    }

    void theLineDialogsWarningReadsInEveryLook_data() {
        QTest::addColumn<int>("look");
        for (const LookInfo& look : applicationLooks())
            QTest::newRow(QString::fromUtf16(look.menuText).toUtf8().constData()) << look.id;
    }
    void theLineDialogsWarningReadsInEveryLook() {
        QFETCH(int, look);
        applyApplicationLook(look);
        std::vector<std::string_view> cells(kColumnCount);
        cells[ColName] = "J1";
        cells[ColPointType] = kJStake;
        PointTable table;
        table.replaceAll({Row(cells)}, {});
        CLinePointSelectDlg dialog(table);
        dialog.startMileageEdit()->setText(QStringLiteral("-"));
        QLabel* warning = nullptr;
        for (QLabel* label : dialog.findChildren<QLabel*>())
            if (!label->isHidden() && label->text() == QStringLiteral("请输入一个数字。"))
                warning = label;
        QVERIFY(warning);
        const QColor ink = warning->palette().color(QPalette::WindowText);
        QVERIFY(ink.red() > 2 * std::max(ink.green(), ink.blue()));
        QVERIFY2(contrastRatio(ink, dialog.palette().color(QPalette::Window)) >= 4.5,
                 qPrintable(ink.name()));
    }

    void aDarkCheckBoxReadsAsEmptyOnASelectedRow() {
        applyApplicationLook(ID_VIEW_APPLOOK_OFF_2007_BLACK);
        const QPalette palette = QApplication::palette();
        const QImage off = checkBox(QStyle::State_Off);
        const QImage selectedOff = checkBox(QStyle::State_Off | QStyle::State_Selected);
        QVERIFY(checkBox(QStyle::State_On) != off);
        QVERIFY(checkBox(QStyle::State_On | QStyle::State_Selected) != selectedOff);
        // Unchecked means empty: the table's base inside, or the row's own colour on a
        // selected row (nothing drawn), and an edge that stands out from either.
        QCOMPARE(off.pixelColor(7, 7), palette.color(QPalette::Base));
        QCOMPARE(qAlpha(selectedOff.pixel(7, 7)), 0);
        QVERIFY2(contrastRatio(edgeOf(off), palette.color(QPalette::Base)) >= 3.0,
                 qPrintable(edgeOf(off).name()));
        QVERIFY2(contrastRatio(edgeOf(selectedOff), palette.color(QPalette::Highlight)) >= 3.0,
                 qPrintable(edgeOf(selectedOff).name()));
    }
};

}  // namespace corvane

QTEST_MAIN(corvane::LooksTest)
#include "looks_test.moc"
