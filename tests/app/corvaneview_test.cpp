#include "corvaneview.h"

#include <QAbstractItemModelTester>
#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "cellnumber.h"
#include "dividescaledlg.h"
#include "drawingarea.h"
#include "listctrlex.h"
#include "pointtable.h"
#include "pointtablemodel.h"
#include "rowbuilder.h"
#include "settings.h"
#include "vocabularies.h"

namespace corvane {
namespace {

using test::Cells;

// A line J1 -> J2 -> J3 running east, with points near it; more rows below to scroll.
std::vector<Row> survey() {
    const std::string j(kJStake), z(kZStake), o(kOrdinaryPoint);
    std::vector<Cells> points{
        {.name = "A", .north = "5", .east = "150", .type = o},
        {.name = "J1",
         .north = "0",
         .east = "0",
         .start = "J1",
         .end = "J2",
         .distance = "1000",
         .type = j},
        {.name = "B", .north = "-3", .east = "20", .start = "J1", .end = "J2", .type = o},
        {.name = "Z1", .north = "0", .east = "60", .start = "J1", .end = "J2", .type = z},
        {.name = "J2",
         .north = "0",
         .east = "100",
         .start = "J2",
         .end = "J3",
         .distance = "1100",
         .type = j},
        {.name = "C", .north = "2", .east = "40", .type = o},
        {.name = "J3",
         .north = "0",
         .east = "200",
         .start = "J3",
         .end = "J3",
         .distance = "1200",
         .type = j},
    };
    for (int i = 0; i < 53; ++i)
        points.push_back({.name = "P" + std::to_string(i),
                          .north = std::to_string(i),
                          .east = "300",
                          .type = o});
    for (Cells& c : points) {
        c.crossing = kRawCrossing;
        c.pole = kRawPoleType;
    }
    return test::rowsOf(points);
}

QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

/// The main view over a small survey: layout, clicks, keys, the context menu, the row
/// commands and their undo.
class CorvaneViewTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void splitRatioLaysOutTableAndDrawing_data();
    void splitRatioLaysOutTableAndDrawing();
    void splitRatioDialogStoresTheRatio();
    void checkBoxClickFollowsTheSelection_data();
    void checkBoxClickFollowsTheSelection();
    void ctrlAChecksOrUnchecksAllAndSelectsAll();
    void insertRowGoesBelowTheMark();
    void deleteAsksOnlyWithASelection();
    void moveFirstSwapsWithTheTopRow();
    void movesAreOffUnderAFilter();
    void copyLineNeedsAMark();
    void rightDoubleClickCopiesTheLine();
    void contextMenuOffersTheRowCommands();
    void editorCommitsTheCellAndItsConsequences();
    void crossingChoicesFollowThePointType();
    void pickingTheSameChoiceAddsNoStep();
    void editUnderAFilterSurvivesShowingAllPoints();
    void commandsStoreTheOpenEditFirst();
    void everyCommandIsOneUndoableStep_data();
    void everyCommandIsOneUndoableStep();
    void copyAndPasteGoThroughTheClipboard();
    void pickedRowIsSelectedAtTheTop();
    void fitShowsEveryPoint();

private:
    QModelIndex cell(int row, int column) const { return m_view->model()->index(row, column); }
    void select(const std::set<int>& rows, int mark);
    std::set<int> selectedRows() const;
    std::set<int> checkedRows() const;
    QWidget* openEditor(int row, int column);
    std::string state() const;

    QTemporaryDir m_dir;
    std::unique_ptr<CorvaneSettings> m_settings;
    std::unique_ptr<PointTable> m_table;
    std::unique_ptr<CCorvaneView> m_view;
    int m_questions = 0;
    bool m_answer = true;
};

void CorvaneViewTest::init() {
    m_settings = std::make_unique<CorvaneSettings>(m_dir.filePath(QStringLiteral("corvane.ini")));
    m_table = std::make_unique<PointTable>();
    m_table->replaceAll(survey(), {});
    m_table->clearHistory();
    m_view = std::make_unique<CCorvaneView>(*m_table, *m_settings);
    m_questions = 0;
    m_answer = true;
    m_view->setQuestionHandler([this](const QString& question) {
        ++m_questions;
        return question == QStringLiteral("确实要删除当前勾选的列表项吗？") && m_answer;
    });
    m_view->resize(1000, 700);
    m_view->show();
    m_view->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_view.get()));
    m_view->list()->setFocus();
}

void CorvaneViewTest::cleanup() {
    m_view.reset();
    m_table.reset();
    m_settings.reset();
}

void CorvaneViewTest::select(const std::set<int>& rows, int mark) {
    QItemSelectionModel* selection = m_view->list()->selectionModel();
    selection->clearSelection();
    for (int r : rows)
        selection->select(cell(r, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    selection->setCurrentIndex(mark >= 0 ? cell(mark, 0) : QModelIndex(),
                               QItemSelectionModel::NoUpdate);
    m_view->list()->setSelectionMark(mark);
}

std::set<int> CorvaneViewTest::selectedRows() const {
    std::set<int> rows;
    for (const QModelIndex& index : m_view->list()->selectionModel()->selectedRows())
        rows.insert(index.row());
    return rows;
}

std::set<int> CorvaneViewTest::checkedRows() const {
    std::set<int> rows;
    for (int r = 0; r < m_table->rowCount(); ++r)
        if (m_table->isChecked(r))
            rows.insert(r);
    return rows;
}

QWidget* CorvaneViewTest::openEditor(int row, int column) {
    CListCtrlEx* list = m_view->list();
    list->scrollTo(cell(row, column));
    const QPoint at = list->visualRect(cell(row, column)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    return list->openEditor();
}

std::string CorvaneViewTest::state() const {
    std::string s;
    for (int r = 0; r < m_table->rowCount(); ++r)
        s += m_table->rowAt(r).joined(',') + (m_table->isChecked(r) ? "+\n" : "\n");
    return s;
}

void CorvaneViewTest::splitRatioLaysOutTableAndDrawing_data() {
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("percent");
    QTest::addColumn<int>("listHeight");
    QTest::addColumn<int>("drawingTop");
    QTest::addColumn<int>("drawingHeight");

    QTest::newRow("500 at 30 %") << 500 << 30 << 150 << 156 << 344;
    QTest::newRow("half") << 500 << 50 << 250 << 256 << 244;
    QTest::newRow("fraction dropped") << 333 << 30 << 99 << 105 << 228;
    QTest::newRow("no table") << 500 << 0 << 0 << 6 << 494;
    QTest::newRow("no drawing") << 500 << 100 << 500 << 506 << 0;
}

void CorvaneViewTest::splitRatioLaysOutTableAndDrawing() {
    QFETCH(int, height);
    QFETCH(int, percent);
    QFETCH(int, listHeight);
    QFETCH(int, drawingTop);
    QFETCH(int, drawingHeight);
    m_view->resize(800, height);
    m_view->setListPercent(percent);
    QCOMPARE(m_view->list()->geometry(), QRect(3, 3, 794, listHeight));
    QCOMPARE(m_view->drawingArea()->geometry(), QRect(3, drawingTop, 794, drawingHeight));
}

void CorvaneViewTest::splitRatioDialogStoresTheRatio() {
    QCOMPARE(m_view->listPercent(), 30);  // nothing stored: the default
    m_settings->setSplitRatio(40);
    CCorvaneView fromSettings(*m_table, *m_settings);
    QCOMPARE(fromSettings.listPercent(), 40);

    m_view->resize(800, 500);
    auto answer = [](int position, bool accept) {
        QTimer::singleShot(0, [=] {
            auto* dialog = qobject_cast<CDivideScaleDlg*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialog->slider()->setValue(position);
            accept ? dialog->accept() : dialog->reject();
        });
    };
    answer(50, true);
    m_view->OnSplitRatio();
    QCOMPARE(m_view->listPercent(), 50);
    QCOMPARE(m_settings->splitRatio(), 50);
    QCOMPARE(m_view->list()->height(), 250);

    answer(80, false);
    m_view->OnSplitRatio();
    QCOMPARE(m_view->listPercent(), 50);
    QCOMPARE(m_settings->splitRatio(), 50);
    QCOMPARE(m_view->list()->height(), 250);
}

void CorvaneViewTest::checkBoxClickFollowsTheSelection_data() {
    QTest::addColumn<std::set<int>>("selected");
    QTest::addColumn<std::set<int>>("checked");
    QTest::addColumn<int>("clicked");
    QTest::addColumn<std::set<int>>("expected");

    QTest::newRow("checked row of three selected")
        << std::set<int>{1, 2, 3} << std::set<int>{1, 3} << 1 << std::set<int>{};
    QTest::newRow("unchecked row of three selected")
        << std::set<int>{1, 2, 3} << std::set<int>{1, 3} << 2 << std::set<int>{1, 2, 3};
    QTest::newRow("only that row selected")
        << std::set<int>{4} << std::set<int>{6} << 4 << std::set<int>{4, 6};
    QTest::newRow("nothing selected")
        << std::set<int>{} << std::set<int>{2} << 2 << std::set<int>{};
    QTest::newRow("a row outside the selection")
        << std::set<int>{1, 2} << std::set<int>{} << 5 << std::set<int>{1, 2, 5};
}

void CorvaneViewTest::checkBoxClickFollowsTheSelection() {
    QFETCH(std::set<int>, selected);
    QFETCH(std::set<int>, checked);
    QFETCH(int, clicked);
    QFETCH(std::set<int>, expected);
    for (int r : checked)
        m_table->setChecked(r, true);
    m_table->clearHistory();
    select(selected, selected.empty() ? -1 : *selected.begin());
    QTest::mouseClick(m_view->list()->viewport(), Qt::LeftButton, {},
                      m_view->list()->checkBoxRect(clicked).center());
    QCOMPARE(checkedRows(), expected);
    QCOMPARE(selectedRows(), selected);
    m_table->undo();
    QCOMPARE(checkedRows(), checked);
    QVERIFY(!m_table->canUndo());
}

void CorvaneViewTest::ctrlAChecksOrUnchecksAllAndSelectsAll() {
    m_table->setChecked(0, true);
    QTest::keyClick(m_view->list(), Qt::Key_A, Qt::ControlModifier);
    QVERIFY(checkedRows().empty());
    QCOMPARE(int(selectedRows().size()), m_table->rowCount());
    QTest::keyClick(m_view->list(), Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(int(checkedRows().size()), m_table->rowCount());
    m_table->undo();
    QVERIFY(checkedRows().empty());

    m_table->replaceAll({}, {});
    m_table->clearHistory();
    QTest::keyClick(m_view->list(), Qt::Key_A, Qt::ControlModifier);
    QVERIFY(!m_table->canUndo());
}

void CorvaneViewTest::insertRowGoesBelowTheMark() {
    select({3, 7}, 3);
    m_view->OnInsertRow();
    QCOMPARE(m_table->rowCount(), 61);
    QCOMPARE(m_table->rowAt(4), Row());
    QCOMPARE(checkedRows(), (std::set<int>{4}));
    QCOMPARE(m_view->selectionMark(), 4);
    QCOMPARE(selectedRows(), (std::set<int>{4, 8}));  // the marked row let go, the other kept

    select({}, -1);
    m_view->OnInsertRow();
    QCOMPARE(m_table->rowCount(), 62);
    QCOMPARE(m_view->selectionMark(), 61);
    QCOMPARE(selectedRows(), (std::set<int>{61}));
    QVERIFY(m_table->isChecked(61));
}

void CorvaneViewTest::deleteAsksOnlyWithASelection() {
    m_table->setChecked(2, true);
    m_table->setChecked(5, true);
    select({}, 2);
    m_view->OnDeleteCheckedRows();
    QCOMPARE(m_questions, 0);
    QCOMPARE(m_table->rowCount(), 60);

    select({9}, 9);
    m_answer = false;
    m_view->OnDeleteCheckedRows();
    QCOMPARE(m_questions, 1);
    QCOMPARE(m_table->rowCount(), 60);

    m_answer = true;
    m_view->OnDeleteCheckedRows();
    QCOMPARE(m_questions, 2);
    QCOMPARE(m_table->rowCount(), 58);
    QCOMPARE(qs(m_table->text(2, ColName)), QStringLiteral("Z1"));
    QVERIFY(m_table->FindPointRow("C") < 0);
}

void CorvaneViewTest::moveFirstSwapsWithTheTopRow() {
    select({5}, 5);
    m_view->OnMoveRowFirst();
    QCOMPARE(qs(m_table->text(0, ColName)), QStringLiteral("C"));
    QCOMPARE(qs(m_table->text(5, ColName)), QStringLiteral("A"));
    QCOMPARE(qs(m_table->text(1, ColName)), QStringLiteral("J1"));
    QCOMPARE(m_view->selectionMark(), 0);
    QCOMPARE(selectedRows(), (std::set<int>{0}));

    m_view->OnMoveRowUp();  // on the top row: nothing
    QCOMPARE(qs(m_table->text(0, ColName)), QStringLiteral("C"));
    QCOMPARE(m_view->selectionMark(), 0);
}

void CorvaneViewTest::movesAreOffUnderAFilter() {
    m_view->OnShowJStakes();
    QCOMPARE(m_table->rowCount(), 3);
    QVERIFY(!m_view->OnUpdateMoveRow());
    select({0}, 0);
    m_view->OnMoveRowDown();
    m_view->OnMoveRowLast();
    QCOMPARE(qs(m_table->text(0, ColName)), QStringLiteral("J1"));
    QVERIFY(!m_table->canUndo());
    m_view->OnShowAllPoints();
    QVERIFY(m_view->OnUpdateMoveRow());
}

void CorvaneViewTest::copyLineNeedsAMark() {
    m_table->setChecked(0, true);
    m_table->setChecked(5, true);
    m_table->clearHistory();
    select({}, -1);
    m_view->OnCopyLineToChecked();
    QVERIFY(!m_table->canUndo());
    select({2}, 2);
    m_view->OnCopyLineToChecked();
    QCOMPARE(qs(m_table->text(0, ColSegmentStart)), QStringLiteral("J1"));
    QCOMPARE(qs(m_table->text(5, ColSegmentEnd)), QStringLiteral("J2"));
}

void CorvaneViewTest::rightDoubleClickCopiesTheLine() {
    m_table->setChecked(0, true);
    CListCtrlEx* list = m_view->list();
    const QPoint at = list->visualRect(cell(4, 3)).center();
    QTest::mouseClick(list->viewport(), Qt::RightButton, {}, at);
    QCOMPARE(m_view->selectionMark(), 4);
    QTest::mouseDClick(list->viewport(), Qt::RightButton, {}, at);
    QCOMPARE(qs(m_table->text(0, ColSegmentStart)), QStringLiteral("J2"));
    QCOMPARE(qs(m_table->text(0, ColSegmentEnd)), QStringLiteral("J3"));
    QVERIFY(!m_view->listMenu()->isVisible());
}

void CorvaneViewTest::contextMenuOffersTheRowCommands() {
    QMenu* menu = m_view->listMenu();
    QStringList texts;
    for (QAction* action : menu->actions())
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    QCOMPARE(texts, (QStringList{QStringLiteral("插入一行(&I)"), QStringLiteral("删除勾选行(&C)"),
                                 QStringLiteral("-"), QStringLiteral("上移一行(&U)"),
                                 QStringLiteral("下移一行(&D)"), QStringLiteral("移到首行(&T)"),
                                 QStringLiteral("移到末行(&E)"), QStringLiteral("-"),
                                 QStringLiteral("勾选点的电力线为所选点的电力线(&U)")}));

    m_view->OnShowZStakes();
    QWidget* viewport = m_view->list()->viewport();
    QContextMenuEvent keyboard(QContextMenuEvent::Keyboard, QPoint(5, 5),
                               viewport->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(viewport, &keyboard);
    QTRY_VERIFY(menu->isVisible());
    QVERIFY(menu->actions().at(0)->isEnabled());
    for (int i : {3, 4, 5, 6})
        QVERIFY(!menu->actions().at(i)->isEnabled());
    menu->actions().at(0)->trigger();  // insert, as a click on it would
    menu->hide();
    QCOMPARE(m_table->rowCount(), 2);

    // A right click waits briefly in case it turns into a double click.
    QContextMenuEvent mouse(QContextMenuEvent::Mouse, QPoint(5, 5),
                            viewport->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(viewport, &mouse);
    QVERIFY(!menu->isVisible());
    QTRY_VERIFY(menu->isVisible());
    menu->hide();
}

void CorvaneViewTest::editorCommitsTheCellAndItsConsequences() {
    auto* edit = qobject_cast<QLineEdit*>(openEditor(2, ColName));
    QVERIFY(edit);
    QTest::keyClicks(edit, QStringLiteral("B2"));
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(qs(m_table->text(2, ColName)), QStringLiteral("B2"));
    QCOMPARE(qs(m_table->text(2, ColOldName)), QStringLiteral("B"));

    // Typed mileage and offset of a point on J1 -> J2 (mileage 1000 at J1, going east).
    m_table->setText(2, ColOffset, "-10");
    edit = qobject_cast<QLineEdit*>(openEditor(2, ColDistance));
    QVERIFY(edit);
    QTest::keyClicks(edit, QStringLiteral("1040"));
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(qs(m_table->text(2, ColNorth)), QStringLiteral("10.0000"));
    QCOMPARE(qs(m_table->text(2, ColEast)), QStringLiteral("40.0000"));

    m_table->undo();
    QCOMPARE(qs(m_table->text(2, ColDistance)), QString());
    QCOMPARE(qs(m_table->text(2, ColNorth)), QStringLiteral("-3"));
    m_table->undo();  // the offset typed by the test
    m_table->undo();
    QCOMPARE(qs(m_table->text(2, ColName)), QStringLiteral("B"));
    QCOMPARE(qs(m_table->text(2, ColOldName)), QString());
    QVERIFY(!m_table->canUndo());
}

void CorvaneViewTest::crossingChoicesFollowThePointType() {
    m_table->setText(0, ColPointType, kOnePointCrossedObject);
    auto* combo = qobject_cast<QComboBox*>(openEditor(0, ColCrossing));
    QVERIFY(combo);
    QCOMPARE(combo->count(), 33);
    combo->hidePopup();
    QTRY_VERIFY(!m_view->list()->openEditor());

    combo = qobject_cast<QComboBox*>(openEditor(2, ColCrossing));
    QVERIFY(combo);
    QCOMPARE(combo->count(), 28);
    QCOMPARE(combo->currentText(), QStringLiteral("无跨越物(0)"));
    combo->hidePopup();
    QTRY_VERIFY(!m_view->list()->openEditor());
}

void CorvaneViewTest::pickingTheSameChoiceAddsNoStep() {
    QVERIFY(!m_table->canUndo());
    auto* combo = qobject_cast<QComboBox*>(openEditor(4, ColPointType));
    QVERIFY(combo);
    QCOMPARE(combo->currentText(), QStringLiteral("J桩"));
    QAbstractItemView* popup = combo->view();
    QTRY_VERIFY(popup->isVisible());
    const QRect item = popup->visualRect(popup->model()->index(combo->currentIndex(), 0));
    QTest::mouseClick(popup->viewport(), Qt::LeftButton, {}, item.center());
    QTRY_VERIFY(!m_view->list()->openEditor());
    QCOMPARE(qs(m_table->text(4, ColPointType)), QStringLiteral("J桩"));
    QVERIFY(!m_table->canUndo());
}

void CorvaneViewTest::editUnderAFilterSurvivesShowingAllPoints() {
    m_view->OnShowJStakes();
    auto* edit = qobject_cast<QLineEdit*>(openEditor(1, ColRemark));
    QVERIFY(edit);
    QTest::keyClicks(edit, QStringLiteral("turn 12"));
    QTest::keyClick(edit, Qt::Key_Return);
    m_view->OnShowAllPoints();
    QCOMPARE(m_table->rowCount(), 60);
    QCOMPARE(qs(m_table->text(4, ColRemark)), QStringLiteral("turn 12"));
}

void CorvaneViewTest::commandsStoreTheOpenEditFirst() {
    auto* edit = qobject_cast<QLineEdit*>(openEditor(4, ColRemark));
    QVERIFY(edit);
    QTest::keyClicks(edit, QStringLiteral("typed"));
    m_view->OnShowJStakes();  // from the menu: the editor still has the focus
    QVERIFY(!m_view->list()->openEditor());
    m_view->OnShowAllPoints();
    QCOMPARE(qs(m_table->text(4, ColRemark)), QStringLiteral("typed"));

    auto* combo = qobject_cast<QComboBox*>(openEditor(2, ColPointType));
    QVERIFY(combo);
    combo->setCurrentIndex(2);
    select({2}, 2);
    m_view->OnMoveRowUp();
    QCOMPARE(qs(m_table->text(1, ColName)), QStringLiteral("B"));
    QCOMPARE(qs(m_table->text(1, ColPointType)), QStringLiteral("Z桩"));
    QTRY_VERIFY(!m_view->list()->openEditor());
}

void CorvaneViewTest::everyCommandIsOneUndoableStep_data() {
    QTest::addColumn<int>("command");
    const char* names[] = {"insert",         "delete checked", "move up",   "move down",
                           "move first",     "move last",      "copy line", "data calculation",
                           "auto selection", "sort",           "check all", "paste"};
    for (int i = 0; i < int(std::size(names)); ++i)
        QTest::newRow(names[i]) << i;
}

void CorvaneViewTest::everyCommandIsOneUndoableStep() {
    QFETCH(int, command);
    m_table->setChecked(3, true);
    m_table->setChecked(5, true);
    m_table->setText(10, ColDistance, "5");
    m_table->clearHistory();
    select({4}, 4);
    QApplication::clipboard()->setText(QStringLiteral("x\ty\nz\tw\n"));
    const std::vector<std::function<void()>> commands{
        [&] { m_view->OnInsertRow(); },         [&] { m_view->OnDeleteCheckedRows(); },
        [&] { m_view->OnMoveRowUp(); },         [&] { m_view->OnMoveRowDown(); },
        [&] { m_view->OnMoveRowFirst(); },      [&] { m_view->OnMoveRowLast(); },
        [&] { m_view->OnCopyLineToChecked(); }, [&] { m_view->OnDataCalculation(); },
        [&] { m_view->OnAutoSelectLine(); },    [&] { m_view->OnSortByDistance(); },
        [&] { m_view->OnCheckAllRows(); },      [&] { m_view->OnEditPaste(); },
    };
    const std::string before = state();
    commands.at(command)();
    QVERIFY(state() != before);
    QVERIFY(m_table->canUndo());
    m_table->undo();
    QCOMPARE(state(), before);
    QVERIFY(!m_table->canUndo());
}

void CorvaneViewTest::copyAndPasteGoThroughTheClipboard() {
    select({1, 2}, 1);
    m_view->OnEditCopy();
    const QString copied = QApplication::clipboard()->text();
    QCOMPARE(copied.count(u'\n'), 2);
    QCOMPARE(copied.section(u'\n', 0, 0).split(u'\t').size(), kColumnCount);

    // The current cell Qt chose when the table got the focus is not a place to paste.
    QSignalSpy status(m_view.get(), &CCorvaneView::statusMessage);
    CListCtrlEx* list = m_view->list();
    list->setCurrentIndex(cell(0, 0));
    list->setSelectionMark(-1);
    const Row top = m_table->rowAt(0);
    QTest::keyClick(list, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(m_table->rowAt(0), top);
    QCOMPARE(status.last().at(0).toString(), QStringLiteral("请先单击要粘贴到的单元格。"));

    list->scrollTo(cell(20, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(cell(20, 0)).center());
    QTest::keyClick(list, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(m_table->rowAt(20), m_table->rowAt(1));
    QCOMPARE(m_table->rowAt(21), m_table->rowAt(2));
    m_table->undo();
    QCOMPARE(qs(m_table->text(20, ColName)), QStringLiteral("P13"));

    QApplication::clipboard()->setText(QStringLiteral("a,b"));
    m_view->OnEditPaste();
    QCOMPARE(qs(m_table->text(20, ColName)), QStringLiteral("P13"));
    QVERIFY(status.last().at(0).toString().contains(u','));
}

void CorvaneViewTest::pickedRowIsSelectedAtTheTop() {
    select({1, 2}, 1);
    emit m_view->drawingArea()->rowPicked(40);
    QCOMPARE(selectedRows(), (std::set<int>{40}));
    QCOMPARE(m_view->selectionMark(), 40);
    QCOMPARE(m_view->list()->rowAt(1), 40);
}

void CorvaneViewTest::fitShowsEveryPoint() {
    m_view->OnFitView();
    const WorldWindow window = m_view->drawingArea()->viewport().window();
    WorldWindow data{1e9, -1e9, 1e9, -1e9};
    for (int r = 0; r < m_table->rowCount(); ++r) {
        const double north = readNumber(m_table->text(r, ColNorth));
        const double east = readNumber(m_table->text(r, ColEast));
        data = {std::min(data.minY, east), std::max(data.maxY, east), std::min(data.minX, north),
                std::max(data.maxX, north)};
    }
    QVERIFY(window.minY <= data.minY && data.maxY <= window.maxY);
    QVERIFY(window.minX <= data.minX && data.maxX <= window.maxX);
    // The wider spread fills the drawing exactly.
    const double fill = std::max(data.width() / window.width(), data.height() / window.height());
    QVERIFY2(std::abs(fill - 1.0) < 1e-6, QByteArray::number(fill).constData());
}

}  // namespace corvane

QTEST_MAIN(corvane::CorvaneViewTest)
#include "corvaneview_test.moc"
