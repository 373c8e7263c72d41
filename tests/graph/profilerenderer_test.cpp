#include "profilerenderer.h"

#include <QColor>
#include <QPainter>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "columns.h"
#include "pointtable.h"
#include "profiledata.h"
#include "profileviewport.h"
#include "vocabularies.h"

using namespace corvane;

namespace {

Row row(std::string_view name, std::string_view distance, std::string_view height,
        std::string_view type, std::string_view crossing = {}, std::string_view measured = {},
        std::string_view width = {}) {
    std::vector<std::string_view> cells(kColumnCount);
    cells[ColName] = name;
    cells[ColDistance] = distance;
    cells[ColHeight] = height;
    cells[ColPointType] = type;
    cells[ColCrossing] = crossing;
    cells[ColMeasuredHeight] = measured;
    cells[ColWidth] = width;
    return Row(cells);
}

// One point of every kind the section draws, well apart along 200 m.
std::vector<Row> everyKind() {
    return {
        row("J1", "0", "10", kJStake),
        row("P1", "30", "11", kOrdinaryPoint),
        row("Z1", "55", "10.5", kZStake),
        row("X1", "80", "10", kOnePointCrossedObject, "10kV(3)", "8"),
        row("J2", "100", "11", kJStake),
        row("F1", "125", "10", kThreePointHouse, {}, "5", "10"),
        row("R1", "150", "10.5", kOnePointObject, "公路(1)"),
        row("P2", "175", "12", kOrdinaryPoint),
        row("J3", "200", "10", kJStake),
    };
}

// The section of `table` painted into a 600 x 300 image, fitted to its points.
struct Section {
    PointTable table;
    ProfileData data;
    ProfileViewport viewport;
    QImage image;

    explicit Section(std::vector<Row> rows) {
        table.replaceAll(std::move(rows), {});
        data = buildProfile(table);
        viewport.setSize(600, 300);
        viewport.fit(data.minDistance, data.maxDistance, data.minElevation, data.maxElevation);
    }

    void paint(const std::vector<int>& selected = {}) {
        image = QImage(viewport.width(), viewport.height(), QImage::Format_ARGB32);
        QPainter painter(&image);
        ProfileRenderer(data, viewport).paint(painter, image.size(), table, selected);
    }

    // Whether a pixel within a few of `at` shows `ink` laid over white with at least 40%
    // coverage: antialiased lines of one pixel fall between two columns.
    bool inkNear(QPointF at, QColor ink) const {
        for (int dy = -6; dy <= 6; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const QPoint p(static_cast<int>(at.x()) + dx, static_cast<int>(at.y()) + dy);
                if (image.rect().contains(p) && covers(image.pixelColor(p), ink))
                    return true;
            }
        return false;
    }

    static bool covers(QColor pixel, QColor ink) {
        const int paper[3] = {255 - ink.red(), 255 - ink.green(), 255 - ink.blue()};
        const int shown[3] = {255 - pixel.red(), 255 - pixel.green(), 255 - pixel.blue()};
        const int strongest = static_cast<int>(std::max_element(paper, paper + 3) - paper);
        const double coverage = double(shown[strongest]) / paper[strongest];
        if (coverage < 0.4 || coverage > 1.05)
            return false;
        for (int c = 0; c < 3; ++c)
            if (std::abs(coverage * paper[c] - shown[c]) > 20)
                return false;
        return true;
    }

    QPointF pixel(double distance, double elevation) const {
        const auto p = viewport.toPixel(distance, elevation);
        return QPointF(p.x, p.y);
    }
};

const QColor kGroundColour(110, 80, 40);
const QColor kJStakeColour(0, 110, 0);
const QColor kZStakeColour(0, 90, 200);
const QColor kCrossingColour(200, 100, 0);
const QColor kHouseOutline(120, 120, 120);
const QColor kSelectedColour(220, 0, 0);

}  // namespace

class ProfileRendererTest : public QObject {
    Q_OBJECT

private slots:
    // Each mark is drawn where the viewport maps its point, so a click the view maps
    // the same way lands on what the user sees.
    void marksLandWhereTheViewportMapsThem_data() {
        QTest::addColumn<double>("distance");
        QTest::addColumn<double>("elevation");
        QTest::addColumn<QColor>("colour");
        // Elevations are where the mark shows: a crossed line's ring at its height, a
        // Z stake's triangle above the ground, a house's side halfway up.
        QTest::newRow("ground point") << 30.0 << 11.0 << kGroundColour;
        QTest::newRow("J stake line") << 100.0 << 12.0 << kJStakeColour;
        QTest::newRow("Z stake") << 55.0 << 10.5 << kZStakeColour;
        QTest::newRow("crossed line top") << 80.0 << 18.0 << kCrossingColour;
        QTest::newRow("house side") << 120.0 << 12.5 << kHouseOutline;
        QTest::newRow("object") << 150.0 << 10.5 << kCrossingColour;
        QTest::newRow("selected row") << 175.0 << 12.0 << kSelectedColour;
    }
    void marksLandWhereTheViewportMapsThem() {
        QFETCH(double, distance);
        QFETCH(double, elevation);
        QFETCH(QColor, colour);
        Section section(everyKind());
        section.paint({7});
        QPointF at = section.pixel(distance, elevation);
        QVERIFY2(
            section.inkNear(at, colour),
            qPrintable(
                QStringLiteral("%1 near (%2, %3)").arg(colour.name()).arg(at.x()).arg(at.y())));
        // And not where the section is empty: 12 m to the right, above the ground.
        if (colour != kJStakeColour) {
            at = section.pixel(distance + 12.0, 16.0);
            QVERIFY(!section.inkNear(at, colour));
        }
    }

    // A point just outside the visible range still draws its mark up to the plot's
    // edge, but nothing of it reaches the margin with the axes.
    void marksStayInsideThePlot() {
        Section section(everyKind());
        const double rightEdge = ProfileViewport::kLeftMargin + section.viewport.plotWidth();
        // The crossed line at 80 m goes 8 pixels right of the plot.
        section.viewport.pan(rightEdge + 8 - section.pixel(80, 10).x(), 0);
        section.paint({3});
        QVERIFY(std::abs(section.pixel(80, 10).x() - (rightEdge + 8)) < 1e-6);
        const int top = ProfileViewport::kTopMargin;
        const int bottom = top + section.viewport.plotHeight();
        for (int x = static_cast<int>(rightEdge) + 2; x < section.image.width(); ++x)
            for (int y = top; y <= bottom; ++y)
                QVERIFY2(section.image.pixelColor(x, y) == QColor(Qt::white),
                         qPrintable(QStringLiteral("(%1, %2)").arg(x).arg(y)));
    }
};

QTEST_MAIN(ProfileRendererTest)
#include "profilerenderer_test.moc"
