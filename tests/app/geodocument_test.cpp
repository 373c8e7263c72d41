// The coordinate system chooser and the map and GIS files through the document's
// import and export commands.
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include "columns.h"
#include "corvanedoc.h"
#include "crschooser.h"
#include "cursorposition.h"
#include "geodocument.h"
#include "geoformat.h"
#include "geolayerloader.h"
#include "mainframe.h"
#include "pointtable.h"
#include "qtsupport.h"
#include "rowbuilder.h"
#include "settings.h"
#include "vocabularies.h"

namespace corvane {
namespace {

bool mapped(const char* library) {
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains(library);
}

}  // namespace

class GeoDocumentTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }

private slots:
    // A build without the geographic layer (Windows for now) runs only what needs none
    // of it, and what it says instead.
    void init() {
        const QByteArray name = QTest::currentTestFunction();
        const bool needsLayer =
            name != "degreesMinutesSeconds" && name != "aBuildWithoutTheLayerSaysSo";
        if (needsLayer && !kGeoLayerBuilt)
            QSKIP("this build has no coordinate systems or map files");
    }

    void aBuildWithoutTheLayerSaysSo() {
        if (kGeoLayerBuilt)
            QSKIP("this build has the geographic layer");
        QString problem;
        QVERIFY(geoLayer(&problem) == nullptr);
        QCOMPARE(problem, QString::fromUtf8(kGeoLayerMissing.data(),
                                            static_cast<qsizetype>(kGeoLayerMissing.size())));
        // The file dialogs offer only what this build reads and writes.
        for (const QString& filter : CCorvaneDoc::importFilters() + CCorvaneDoc::exportFilters())
            QVERIFY2(filter.endsWith(QStringLiteral("(*.ept)")) ||
                         filter.endsWith(QStringLiteral("(*.csv)")) ||
                         filter.endsWith(QStringLiteral("(*.org)")) ||
                         filter.endsWith(QStringLiteral("(*.dxf)")),
                     qPrintable(filter));

        // A map file asked for anyway (dropped, or named on the command line) is refused
        // in that sentence, and the table stays as it was.
        QWidget window;
        PointTable table;
        table.replaceAll(test::rowsOf({{.name = "J1", .north = "1", .east = "2"}}), {});
        table.markSaved();
        CorvaneSettings settings(path(QStringLiteral("nolayer.ini")));
        CCorvaneDoc doc(table, settings, &window);
        test::MessageBoxAnswerer boxes;
        QVERIFY(!doc.importGeoFile(path(QStringLiteral("a.kml")), QStringLiteral("EPSG:4547")));
        QCOMPARE(boxes.texts().value(0), problem);
        QCOMPARE(table.rowCount(), 1);
    }

    // PROJ and GDAL cost tens of megabytes as soon as they are loaded: the editor opens
    // them with the first coordinate system, not with the window and its table.
    void geographicLibrariesWaitForTheFirstSystem() {
        CorvaneSettings settings(path(QStringLiteral("first.ini")));
        CMainFrame frame(settings);
        frame.show();
        PointTable& table = frame.table();
        table.replaceAll(test::rowsOf({{.name = "J1", .north = "3380000", .east = "500000"}}), {});
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QVERIFY(!mapped("libgdal"));
        QVERIFY(!mapped("libproj"));

        QCOMPARE(coordinateSystemLabel(QStringLiteral("EPSG:4547")).left(10),
                 QStringLiteral("EPSG:4547 "));
        QVERIFY(mapped("libgdal"));
        QVERIFY(mapped("libproj"));
    }

    void chooserStartsAtTheLastSystemAndRefusesUnknownText() {
        CrsChooser listed(QStringLiteral("EPSG:4526"));
        QCOMPARE(listed.systemList()->currentData().toString(), QStringLiteral("EPSG:4526"));
        QVERIFY(!listed.otherText()->isEnabled());
        QCOMPARE(listed.chosenText(), QStringLiteral("EPSG:4526"));

        const QString proj = QStringLiteral("+proj=tmerc +lon_0=114 +x_0=500000 +ellps=GRS80");
        CrsChooser other(proj);
        QCOMPARE(other.systemList()->currentIndex(), other.systemList()->count() - 1);
        QCOMPARE(other.chosenText(), proj);

        other.otherText()->setPlainText(QStringLiteral("foo"));
        other.accept();
        QCOMPARE(other.result(), int(QDialog::Rejected));  // still open
        QVERIFY(other.findChild<QLabel*>(QStringLiteral("CrsProblem"))
                    ->text()
                    .contains(QStringLiteral("无法识别")));
        other.otherText()->setPlainText(QStringLiteral("4547"));
        other.accept();
        QCOMPARE(other.result(), int(QDialog::Accepted));
        QCOMPARE(other.chosenText(), QStringLiteral("4547"));
    }

    void degreesMinutesSeconds_data() {
        QTest::addColumn<double>("degrees");
        QTest::addColumn<bool>("latitude");
        QTest::addColumn<QString>("text");
        QTest::newRow("north") << 30.5 << true << QStringLiteral("30°30′00.00″N");
        QTest::newRow("south") << -12.25 << true << QStringLiteral("12°15′00.00″S");
        QTest::newRow("rounds up") << 114.9999999999 << false << QStringLiteral("115°00′00.00″E");
        QTest::newRow("west") << -0.5125 << false << QStringLiteral("0°30′45.00″W");
    }
    void degreesMinutesSeconds() {
        QFETCH(double, degrees);
        QFETCH(bool, latitude);
        QFETCH(QString, text);
        QCOMPARE(corvane::degreesMinutesSeconds(degrees, latitude), text);
    }

    void cursorShowsLatitudeAndLongitudeWithASystem() {
        CursorPositionText cursor;
        QCOMPARE(cursor.textFor(3380000.0, 500000.0),
                 QStringLiteral("X=3380000.000  Y=500000.000"));
        cursor.setCoordinateSystem(QStringLiteral("EPSG:4547"));  // central meridian 114E
        const QString text = cursor.textFor(3380000.0, 500000.0);
        QVERIFY2(text.startsWith(QStringLiteral("X=3380000.000  Y=500000.000  30°")),
                 qPrintable(text));
        QVERIFY2(text.endsWith(QStringLiteral("N 114°00′00.00″E")), qPrintable(text));
        // Outside the system's reach only X and Y; an unknown system is none.
        QCOMPARE(cursor.textFor(3380000.0, 38500000.0),
                 QStringLiteral("X=3380000.000  Y=38500000.000"));
        cursor.setCoordinateSystem(QStringLiteral("foo"));
        QCOMPARE(cursor.textFor(1.0, 2.0), QStringLiteral("X=1.000  Y=2.000"));
    }

    void exportAndImportThroughTheDocument() {
        QWidget window;
        PointTable table;
        table.replaceAll(test::rowsOf({
                             {.name = "J1",
                              .north = "3380000.125",
                              .east = "38500000.25",
                              .height = "12.5",
                              .type = kJStake},
                             {.name = "点1",
                              .north = "3380010.5",
                              .east = "38500020.25",
                              .height = "13",
                              .remark = "田边"},
                             {.name = "J2",
                              .north = "3381000",
                              .east = "38500500",
                              .height = "11",
                              .type = kJStake},
                         }),
                         {});
        table.markSaved();
        CorvaneSettings settings(path(QStringLiteral("corvane.ini")));
        CCorvaneDoc doc(table, settings, &window);
        test::FakeFileDialogs dialogs;
        doc.setFileDialogs(dialogs);
        QStringList asked;  // the system each question started at
        doc.setCrsQuestion([&](QWidget*, const QString& current) -> std::optional<QString> {
            asked << current;
            return QStringLiteral("EPSG:4526");
        });
        QSignalSpy changed(&doc, &CCorvaneDoc::coordinateSystemChanged);

        // GeoPackage: the eighth export type, the extension added.
        dialogs.answers.push_back(FileChoice{path(QStringLiteral("survey")), 8});
        {
            test::MessageBoxAnswerer boxes;
            doc.OnFileExport();
            QCOMPARE(boxes.texts(), QStringList{QStringLiteral("测量数据输出完毕！")});
        }
        QCOMPARE(dialogs.filtersAsked.value(0).size(), 9);
        QVERIFY(QFileInfo::exists(path(QStringLiteral("survey.gpkg"))));
        QCOMPARE(settings.exportFileFilter(), 8);
        QCOMPARE(settings.coordinateSystem(), QStringLiteral("EPSG:4526"));
        QCOMPARE(asked, QStringList{QString()});
        QCOMPARE(changed.size(), 1);
        QVERIFY(changed.at(0).at(0).toString().startsWith(
            QStringLiteral("EPSG:4526 CGCS2000 / 3-degree Gauss-Kruger zone 38")));

        // Read back as GeoPackage (the sixth import type): the same rows.
        std::vector<Row> before;
        for (int r = 0; r < table.rowCount(); ++r)
            before.push_back(table.rowAt(r));
        table.setText(0, ColRemark, "改过");
        dialogs.answers.push_back(FileChoice{path(QStringLiteral("survey.gpkg")), 6});
        {
            test::MessageBoxAnswerer boxes({QMessageBox::Yes});  // give up the change
            doc.OnFileImport();
        }
        QCOMPARE(asked, (QStringList{QString(), QStringLiteral("EPSG:4526")}));
        QCOMPARE(table.rowCount(), 3);
        for (int r = 0; r < 3; ++r)
            QVERIFY(table.rowAt(r) == before[static_cast<size_t>(r)]);

        // A file the libraries cannot read leaves the table as it was.
        QFile junk(path(QStringLiteral("junk.kml")));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write("not a map");
        junk.close();
        {
            test::MessageBoxAnswerer boxes;
            QVERIFY(!doc.importGeoFile(junk.fileName(), QStringLiteral("EPSG:4526")));
            QVERIFY(boxes.texts().value(0).contains(QStringLiteral("GDAL 不能打开")));
        }
        QCOMPARE(table.rowCount(), 3);
    }
};

}  // namespace corvane

QTEST_MAIN(corvane::GeoDocumentTest)
#include "geodocument_test.moc"
