// The section of a generated survey, fitted, against pictures kept in tests/data: at
// 3,000 points, where names have just enough room, and at a million, where everything
// is thinned. Only the plot under the name band is compared, so that another machine's
// fonts cannot break it; what the names must do is checked on its own.
#include <QImage>
#include <QPainter>
#include <QTest>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "pointtable.h"
#include "profileview.h"
#include "profileviewport.h"
#include "rowbuilder.h"
#include "vocabularies.h"

namespace corvane {
namespace {

using test::rowOf;

// A line turning every few hundred metres with ground rising and falling along it,
// crossed lines, houses, roads and Z stakes; deterministic on every machine.
void loadSurvey(PointTable& table, int points, int stakeEvery) {
    uint32_t seed = 12345;
    const auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    std::vector<Row> rows;
    rows.reserve(static_cast<size_t>(points));
    double distance = 0, north = 0, east = 0, heading = 0.6;
    for (int i = 0; i < points; ++i) {
        const double step = 0.5 + (next() % 1000) / 1000.0 * 3.0;
        distance += step;
        north += std::cos(heading) * step;
        east += std::sin(heading) * step;
        const double ground = 100 + 25 * std::sin(distance / 900) + 6 * std::sin(distance / 97) +
                              (next() % 100) / 50.0;
        test::Cells c{.name = "P" + std::to_string(i),
                      .north = north,
                      .east = east,
                      .height = ground,
                      .distance = distance};
        if (i % stakeEvery == 0 || i == points - 1) {
            c.name = "J" + std::to_string(i / stakeEvery + 1);
            c.type = kJStake;
            heading += ((next() % 2000) / 1000.0 - 1.0) * 0.8;
        } else if (i % 97 == 0) {
            c.type = kOnePointCrossedObject;
            c.crossing = "10KV----------32";
            c.measuredHeight = 8 + static_cast<double>(next() % 20);
        } else if (i % 211 == 0) {
            c.type = kOnePointObject;
            c.crossing = "房屋(201)";
            c.measuredHeight = 6;
            c.width = 12;
        } else if (i % 53 == 0) {
            c.type = kZStake;
        } else if (i % 131 == 0) {
            c.type = kOnePointObject;
            c.crossing = "公路(184)";
        }
        rows.push_back(rowOf(c));
    }
    table.replaceAll(std::move(rows), {});
}

QImage section(const PointTable& table) {
    ProfileView view(const_cast<PointTable&>(table));
    view.resize(800, 300);
    QImage image(800, 300, QImage::Format_RGB32);
    QPainter painter(&image);
    view.render(painter, image.size());
    return image;
}

// The plot under the name band, where only lines and marks are drawn.
QRect compared(const QImage& image) {
    const int top = ProfileViewport::kTopMargin + ProfileViewport::kLabelBand + 1;
    return QRect(QPoint(ProfileViewport::kLeftMargin + 1, top),
                 QPoint(image.width() - ProfileViewport::kRightMargin - 2,
                        image.height() - ProfileViewport::kBottomMargin - 2));
}

bool near(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) <= 48 && std::abs(qGreen(a) - qGreen(b)) <= 48 &&
           std::abs(qBlue(a) - qBlue(b)) <= 48;
}

void compareWithGolden(const QImage& image, const char* name) {
    const QString golden = QStringLiteral(CORVANE_TEST_DATA "/graph/") + QLatin1String(name);
    if (qEnvironmentVariableIsSet("CORVANE_UPDATE_GOLDEN"))
        QVERIFY(image.save(golden));
    const QImage expected = QImage(golden).convertToFormat(QImage::Format_RGB32);
    QCOMPARE(expected.size(), image.size());
    const QRect area = compared(image);
    int differing = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            differing += !near(image.pixel(x, y), expected.pixel(x, y));
    const int allowed = area.width() * area.height() / 500;
    if (differing > allowed)
        image.save(QLatin1String(name) + QStringLiteral(".actual.png"));
    QVERIFY2(differing <= allowed, qPrintable(QStringLiteral("%1 pixels differ").arg(differing)));
}

// Share of the plot's pixels in a colour close to `colour`.
double share(const QImage& image, const QRect& area, QColor colour) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += near(image.pixel(x, y), colour.rgb());
    return static_cast<double>(count) / (area.width() * area.height());
}

}  // namespace

class ProfileGoldenTest : public QObject {
    Q_OBJECT

private slots:
    void threeThousandPoints() {
        PointTable table;
        loadSurvey(table, 3000, 110);
        const QImage image = section(table);
        compareWithGolden(image, "profile_3000.png");
        // The highest ground stays under the name band.
        const QRect band(
            ProfileViewport::kLeftMargin + 1, ProfileViewport::kTopMargin + 1,
            image.width() - ProfileViewport::kLeftMargin - ProfileViewport::kRightMargin - 2,
            ProfileViewport::kLabelBand - 2);
        QCOMPARE(share(image, band, QColor(110, 80, 40)), 0.0);
    }

    void aMillionPoints() {
        PointTable table;
        loadSurvey(table, 1'000'000, 110);
        const QImage image = section(table);
        compareWithGolden(image, "profile_1m.png");
        // Nine thousand stakes thinned: the plot is not a block of dashed green.
        QVERIFY(share(image, compared(image), QColor(0, 110, 0)) < 0.15);
    }
};

}  // namespace corvane

QTEST_MAIN(corvane::ProfileGoldenTest)
#include "profilegolden_test.moc"
