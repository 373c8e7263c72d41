#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSlider>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include "aboutdlg.h"
#include "columns.h"
#include "corvanedoc.h"
#include "dividescaledlg.h"
#include "filedialogs.h"
#include "linepointselectdlg.h"
#include "pointprojectdlg.h"
#include "pointtable.h"
#include "qtsupport.h"
#include "rowbuilder.h"
#include "settings.h"
#include "vocabularies.h"

namespace corvane {
namespace {

using test::rowOf;

// J stakes A (0, 0), B (3, 4), C (3, 10) between ordinary points; B twice, the second
// one ignored; a Z stake that is not offered.
void fillLine(PointTable& table) {
    std::vector<test::Cells> points{
        {.name = "P1", .north = "1", .east = "1"},
        {.name = "A", .north = "0", .east = "0", .type = kJStake},
        {.name = "B", .north = "3", .east = "4", .type = kJStake},
        {.name = "Z", .north = "5", .east = "5", .type = kZStake},
        {.name = "B", .north = "30", .east = "40", .type = kJStake},
        {.name = "C", .north = "3", .east = "10", .type = kJStake},
        {.north = "7", .east = "7", .type = kJStake},
    };
    // Segment, distance and offset from before, for the dialogs to replace.
    for (test::Cells& c : points) {
        c.start = c.end = "old";
        c.distance = "9.000";
        c.offset = "1.000";
    }
    table.replaceAll(test::rowsOf(points), {});
    table.clearHistory();
    table.markSaved();
}

QStringList column(const QTableWidget* list, int c) {
    QStringList out;
    for (int r = 0; r < list->rowCount(); ++r)
        out.append(list->item(r, c)->text());
    return out;
}

QString text(const PointTable& table, int row, int column) {
    std::string_view t = table.text(row, column);
    return QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size()));
}

QPushButton* buttonNamed(QWidget* dialog, const QString& text) {
    for (QPushButton* b : dialog->findChildren<QPushButton*>())
        if (b->text() == text)
            return b;
    return nullptr;
}

}  // namespace

class DialogsTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString iniPath() const { return m_dir.filePath(QStringLiteral("dialogs.ini")); }

private slots:
    void init() { QFile::remove(iniPath()); }

    // --- the projection dialog -------------------------------------------------------

    void projectionShowsTheStoredLimit_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::newRow("default") << QString() << QStringLiteral("2");
        QTest::newRow("2.500") << QStringLiteral("2.500") << QStringLiteral("2.5");
        QTest::newRow("0.125") << QStringLiteral("0.125") << QStringLiteral("0.125");
    }
    void projectionShowsTheStoredLimit() {
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        CorvaneSettings settings(iniPath());
        if (!stored.isEmpty())
            settings.store().setValue(QStringLiteral("PointProject/Limit"), stored);
        CPointProjectDlg dialog(settings);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("测点投影到电力线"));
        QCOMPARE(dialog.limitEdit()->text(), shown);
    }

    void projectionValidatesAndStoresThreeDecimals_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<double>("limit");
        QTest::addColumn<QString>("stored");
        QTest::newRow("2.5") << QStringLiteral("2.5") << true << 2.5 << QStringLiteral("2.500");
        QTest::newRow("unit after")
            << QStringLiteral(" 3 m") << true << 3.0 << QStringLiteral("3.000");
        QTest::newRow("kept for this run")
            << QStringLiteral("0.0004") << true << 0.0004 << QStringLiteral("0.000");
        QTest::newRow("empty") << QString() << false << 2.0 << QStringLiteral("2.0");
        QTest::newRow("letters") << QStringLiteral("abc") << false << 2.0 << QStringLiteral("2.0");
        QTest::newRow("lone minus") << QStringLiteral("-") << false << 2.0 << QStringLiteral("2.0");
    }
    void projectionValidatesAndStoresThreeDecimals() {
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        CorvaneSettings settings(iniPath());
        CPointProjectDlg dialog(settings);
        dialog.show();
        dialog.limitEdit()->setText(typed);
        test::MessageBoxAnswerer boxes;
        QTimer::singleShot(0, &dialog,
                           [&] { buttonNamed(&dialog, QStringLiteral("确定(&O)"))->click(); });
        QTimer::singleShot(300, &dialog, &QDialog::reject);  // ends the run when OK refused
        const int result = dialog.exec();
        QCOMPARE(result == QDialog::Accepted, accepted);
        QTEST(dialog.limit(), "limit");
        QTEST(settings.projectLimitText(), "stored");
        if (accepted) {
            QVERIFY(boxes.seen().empty());
        } else {
            QCOMPARE(boxes.texts(), QStringList{QStringLiteral("请输入一个数字。")});
            QCOMPARE(boxes.seen().front().title, QStringLiteral("Corvane"));
        }
    }

    void projectionCancelLeavesTheSetting() {
        CorvaneSettings settings(iniPath());
        settings.setProjectLimit(1.5);
        CPointProjectDlg dialog(settings);
        dialog.limitEdit()->setText(QStringLiteral("9"));
        dialog.reject();
        QCOMPARE(settings.projectLimitText(), QStringLiteral("1.500"));
        QCOMPARE(dialog.limit(), 1.5);
    }

    // --- the split ratio dialog ------------------------------------------------------

    void splitRatioChangesOnlyOnOk() {
        CDivideScaleDlg dialog(30);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("视图分隔比例"));
        QCOMPARE(dialog.slider()->minimum(), 0);
        QCOMPARE(dialog.slider()->maximum(), 100);
        QCOMPARE(dialog.slider()->value(), 30);
        dialog.slider()->setValue(50);
        QCOMPARE(dialog.slider()->toolTip(), QStringLiteral("50%"));
        QCOMPARE(dialog.ratio(), 30);
        dialog.accept();
        QCOMPARE(dialog.ratio(), 50);

        CDivideScaleDlg cancelled(30);
        cancelled.slider()->setValue(80);
        cancelled.reject();
        QCOMPARE(cancelled.ratio(), 30);
    }

    void fileDialogColumnsAreWideEnoughToRead() {
        QTemporaryDir folder;
        QFile file(folder.filePath(QStringLiteral("二〇二四年五月十二日 测量原始数据.csv")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(123456, 'x'));
        file.close();
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        prepareFileDialog(dialog);
        // Texts longer than the dialog's first guess, as with a larger screen font.
        dialog.setFont(QFont(dialog.font().family(), 15));
        dialog.setViewMode(QFileDialog::Detail);
        dialog.setDirectory(folder.path());
        dialog.show();
        auto* details = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
        QVERIFY(details);
        QTRY_VERIFY(details->model()->rowCount(details->rootIndex()) > 0);
        QHeaderView* header = details->header();
        for (int c = 1; c < 4; ++c) {
            const QString title = header->model()->headerData(c, Qt::Horizontal).toString();
            const int text = header->fontMetrics().horizontalAdvance(title);
            QTRY_VERIFY2(header->sectionSize(c) >= text, qPrintable(title));
            const QString cell =
                details->model()->index(0, c, details->rootIndex()).data().toString();
            QVERIFY(!cell.isEmpty());
            const int padding =
                2 * (details->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1);
            QTRY_VERIFY2(
                header->sectionSize(c) >= details->fontMetrics().horizontalAdvance(cell) + padding,
                qPrintable(cell));
        }
        // The columns fit inside the dialog; the name takes what is left.
        QVERIFY(header->length() <= details->viewport()->width() + 1);
#ifdef Q_OS_WIN
        // Windows writes dates and types at length: the name keeps a fifth at least.
        const int least = details->viewport()->width() / 5;
#else
        const int least = 150;
#endif
        QVERIFY2(header->sectionSize(0) >= least,
                 qPrintable(QStringLiteral("name %1 of %2, others %3 %4 %5")
                                .arg(header->sectionSize(0))
                                .arg(details->viewport()->width())
                                .arg(header->sectionSize(1))
                                .arg(header->sectionSize(2))
                                .arg(header->sectionSize(3))));
    }

    // As the system's own dialogs do: the export after an import opens beside the
    // survey however it was opened, and each dialog where the last file was chosen.
    void fileDialogsOpenWhereTheLastFileWas() {
        QTemporaryDir survey;
        QTemporaryDir elsewhere;
        const QString raw = survey.filePath(QStringLiteral("raw.csv"));
        QFile file(raw);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("P1,,3380000,500000,12\r\n");
        file.close();
        PointTable table;
        CorvaneSettings settings(iniPath());
        QWidget window;
        CCorvaneDoc doc(table, settings, &window);
        QVERIFY(doc.importFile(raw, PointFileFormat::RawCsv));

        QString openedIn;
        const auto answer = [&openedIn](const QString& choose) {
            QTimer::singleShot(0, [&openedIn, choose] {
                auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                if (!dialog)
                    return;
                openedIn = QDir(dialog->directory()).absolutePath();
                if (choose.isEmpty()) {
                    dialog->reject();
                } else {
                    dialog->selectFile(choose);
                    static_cast<QDialog*>(dialog)->accept();  // as the Save button does
                }
            });
        };
        const QStringList types{QStringLiteral("点文件(*.ept)")};
        answer({});
        QVERIFY(!systemFileDialogs().saveFile(&window, types, 1));
        QCOMPARE(openedIn, QDir(survey.path()).absolutePath());

        answer(elsewhere.filePath(QStringLiteral("out.ept")));
        QVERIFY(systemFileDialogs().saveFile(&window, types, 1));
        answer({});
        QVERIFY(!systemFileDialogs().openFile(&window, types, 1));
        QCOMPARE(openedIn, QDir(elsewhere.path()).absolutePath());
    }

    void aboutBoxNamesTheVersion() {
        CAboutDlg about;
        QCOMPARE(about.windowTitle(), QStringLiteral("关于 Corvane"));
        QStringList texts;
        for (QLabel* label : about.findChildren<QLabel*>())
            texts.append(label->text());
        QVERIFY(texts.contains(QStringLiteral("Corvane, 1.43 版  Build 2018-12-10")));
        QVERIFY(buttonNamed(&about, QStringLiteral("确定(&O)")));
    }

    // --- the line point selection dialog ---------------------------------------------

    void lineDialogGathersTheJStakesOnceWithMileages() {
        PointTable table;
        fillLine(table);
        CLinePointSelectDlg dialog(table);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("电力线点选择"));
        QTableWidget* list = dialog.list();
        QCOMPARE(list->horizontalHeaderItem(0)->text(), QStringLiteral("点名"));
        QCOMPARE(list->horizontalHeaderItem(1)->text(), QStringLiteral("里程"));
        QCOMPARE(list->horizontalHeaderItem(2)->text(), QStringLiteral("备注"));
        QCOMPARE(list->columnWidth(0), 100);
        QCOMPARE(column(list, 0),
                 QStringList({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}));
        QCOMPARE(column(list, 2), QStringList(3, QStringLiteral("J桩")));
        QCOMPARE(dialog.startMileageEdit()->text(), QStringLiteral("0"));

        dialog.startMileageEdit()->setText(QStringLiteral("100"));
        QCOMPARE(column(list, 1), QStringList({QStringLiteral("100.000"), QStringLiteral("105.000"),
                                               QStringLiteral("111.000")}));
    }

    void lineDialogStartMileageIsValidatedAsTyped_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("first");
        QTest::addColumn<bool>("prompt");
        QTest::newRow("number") << QStringLiteral("12.5") << QStringLiteral("12.5") << false;
        QTest::newRow("unit after") << QStringLiteral("12.5m") << QStringLiteral("12.5") << false;
        QTest::newRow("empty keeps 100") << QString() << QStringLiteral("100") << true;
        QTest::newRow("minus keeps 100") << QStringLiteral("-") << QStringLiteral("100") << true;
        QTest::newRow("negative") << QStringLiteral("-20") << QStringLiteral("-20") << false;
    }
    void lineDialogStartMileageIsValidatedAsTyped() {
        QFETCH(QString, typed);
        QFETCH(QString, first);
        QFETCH(bool, prompt);
        PointTable table;
        fillLine(table);
        CLinePointSelectDlg dialog(table);
        dialog.startMileageEdit()->setText(QStringLiteral("100"));
        dialog.startMileageEdit()->setText(typed);
        QCOMPARE(dialog.startMileage(), first.toDouble());
        bool shown = false;
        for (QLabel* label : dialog.findChildren<QLabel*>())
            shown |= !label->isHidden() && label->text() == QStringLiteral("请输入一个数字。");
        QCOMPARE(shown, prompt);
    }

    void lineDialogMovesTheMarkedPoint_data() {
        QTest::addColumn<int>("mark");
        QTest::addColumn<bool>("up");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<int>("markAfter");
        const QString A = QStringLiteral("A"), B = QStringLiteral("B"), C = QStringLiteral("C");
        QTest::newRow("B up") << 1 << true << QStringList{B, A, C} << 0;
        QTest::newRow("B down") << 1 << false << QStringList{A, C, B} << 2;
        QTest::newRow("first up") << 0 << true << QStringList{A, B, C} << 0;
        QTest::newRow("last down") << 2 << false << QStringList{A, B, C} << 2;
        QTest::newRow("no mark") << -1 << true << QStringList{A, B, C} << -1;
    }
    void lineDialogMovesTheMarkedPoint() {
        QFETCH(int, mark);
        QFETCH(bool, up);
        QFETCH(QStringList, names);
        QFETCH(int, markAfter);
        PointTable table;
        fillLine(table);
        CLinePointSelectDlg dialog(table);
        dialog.startMileageEdit()->setText(QStringLiteral("100"));
        if (mark >= 0) {
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            QTableWidget* list = dialog.list();
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualItemRect(list->item(mark, 0)).center());
            QCOMPARE(dialog.markedRow(), mark);
        }
        if (up)
            dialog.OnMoveUp();
        else
            dialog.OnMoveDown();
        QCOMPARE(column(dialog.list(), 0), names);
        QCOMPARE(dialog.markedRow(), markAfter);
        if (markAfter >= 0)
            QVERIFY(dialog.list()->item(markAfter, 0)->isSelected());
        // The mileages follow the new order.
        if (names == QStringList{QStringLiteral("B"), QStringLiteral("A"), QStringLiteral("C")})
            QCOMPARE(column(dialog.list(), 1),
                     QStringList({QStringLiteral("100.000"), QStringLiteral("105.000"),
                                  QStringLiteral("115.440")}));
    }

    void lineDialogDeletesSelectedPointsAfterTheQuestion_data() {
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("mileages");
        QTest::newRow("yes") << QMessageBox::Yes
                             << QStringList{QStringLiteral("A"), QStringLiteral("C")}
                             << QStringList{QStringLiteral("0.000"), QStringLiteral("10.440")};
        QTest::newRow("no") << QMessageBox::No
                            << QStringList{QStringLiteral("A"), QStringLiteral("B"),
                                           QStringLiteral("C")}
                            << QStringList{QStringLiteral("0.000"), QStringLiteral("5.000"),
                                           QStringLiteral("11.000")};
    }
    void lineDialogDeletesSelectedPointsAfterTheQuestion() {
        QFETCH(QMessageBox::StandardButton, answer);
        PointTable table;
        fillLine(table);
        CLinePointSelectDlg dialog(table);
        dialog.list()->item(1, 1)->setText(QStringLiteral("by hand"));
        dialog.list()->selectRow(1);
        test::MessageBoxAnswerer boxes({answer});
        dialog.OnDeletePoints();
        QCOMPARE(boxes.texts(), QStringList{QStringLiteral("确实要删除当前选择的列表项吗？")});
        QCOMPARE(boxes.seen().front().icon, QMessageBox::Question);
        QCOMPARE(boxes.seen().front().defaultButton, QMessageBox::No);
        QTEST(column(dialog.list(), 0), "names");
        // Recomputed either way, so the hand-typed mileage is gone.
        QTEST(column(dialog.list(), 1), "mileages");
    }

    void lineDialogDeleteWithoutSelectionAsksNothing() {
        PointTable table;
        fillLine(table);
        CLinePointSelectDlg dialog(table);
        dialog.list()->clearSelection();
        test::MessageBoxAnswerer boxes;
        dialog.OnDeletePoints();
        QVERIFY(boxes.seen().empty());
        QCOMPARE(dialog.list()->rowCount(), 3);
    }

    void lineDialogRefusesSeparatorsInAMileage() {
        PointTable table;
        fillLine(table);
        CLinePointSelectDlg dialog(table);
        dialog.list()->item(0, 1)->setText(QStringLiteral("1,5"));
        QCOMPARE(dialog.list()->item(0, 1)->text(), QStringLiteral("0.000"));
        dialog.list()->item(0, 1)->setText(QStringLiteral("7.5"));
        QCOMPARE(dialog.list()->item(0, 1)->text(), QStringLiteral("7.5"));
    }

    void lineDialogOkWritesTheChainAsOneStep() {
        PointTable table;
        fillLine(table);
        CLinePointSelectDlg dialog(table);
        dialog.startMileageEdit()->setText(QStringLiteral("100"));
        dialog.list()->item(2, 1)->setText(QStringLiteral("120.5"));  // typed by hand
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));

        struct Expected {
            int row;
            const char* start;
            const char* end;
            const char* distance;
            const char* offset;
        };
        const Expected expected[] = {
            {0, "", "", "", ""},
            {1, "A", "B", "100.000", "0.0000"},
            {2, "B", "C", "105.000", "0.0000"},
            {3, "", "", "", ""},
            {4, "B", "C", "105.000", "0.0000"},  // every row of the name
            {5, "C", "C", "120.5", "0.0000"},
            {6, "", "", "", ""},
        };
        for (const Expected& e : expected) {
            QCOMPARE(text(table, e.row, ColSegmentStart), QString::fromUtf8(e.start));
            QCOMPARE(text(table, e.row, ColSegmentEnd), QString::fromUtf8(e.end));
            QCOMPARE(text(table, e.row, ColDistance), QString::fromUtf8(e.distance));
            QCOMPARE(text(table, e.row, ColOffset), QString::fromUtf8(e.offset));
        }
        QCOMPARE(table.linePoints(), (std::vector<std::string>{"A", "B", "C"}));
        QVERIFY(table.isModified());

        table.undo();
        QCOMPARE(text(table, 1, ColSegmentStart), QStringLiteral("old"));
        QCOMPARE(text(table, 0, ColDistance), QStringLiteral("9.000"));
        QVERIFY(table.linePoints().empty());
        QVERIFY(!table.canUndo());
        QVERIFY(!table.isModified());
    }

    void lineDialogOkWithABadStartMileageWritesNothing() {
        PointTable table;
        fillLine(table);
        CLinePointSelectDlg dialog(table);
        dialog.startMileageEdit()->setText(QStringLiteral("x"));
        test::MessageBoxAnswerer boxes;
        dialog.accept();
        QCOMPARE(boxes.texts(), QStringList{QStringLiteral("请输入一个数字。")});
        QVERIFY(!table.isModified());
        QVERIFY(!table.canUndo());
        QCOMPARE(text(table, 1, ColSegmentStart), QStringLiteral("old"));
    }

    void lineDialogCancelChangesNothing() {
        PointTable table;
        fillLine(table);
        CLinePointSelectDlg dialog(table);
        dialog.OnMoveDown();
        dialog.reject();
        QVERIFY(!table.canUndo());
        QCOMPARE(text(table, 1, ColSegmentStart), QStringLiteral("old"));
    }

    void lineDialogWithoutJStakesClearsTheLine() {
        PointTable table;
        table.replaceAll({rowOf({.name = "P",
                                 .north = "1",
                                 .east = "1",
                                 .start = "old",
                                 .end = "old",
                                 .distance = "9.000",
                                 .offset = "1.000"})},
                         {});
        table.setLinePoints({"X", "Y"});
        CLinePointSelectDlg dialog(table);
        QCOMPARE(dialog.list()->rowCount(), 0);
        dialog.accept();
        QCOMPARE(text(table, 0, ColSegmentStart), QString());
        QVERIFY(table.linePoints().empty());
    }
};

}  // namespace corvane

QTEST_MAIN(corvane::DialogsTest)
#include "dialogs_test.moc"
