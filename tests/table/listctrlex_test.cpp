#include "listctrlex.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <memory>
#include <string>
#include <vector>

#include "columns.h"
#include "pointtable.h"
#include "pointtablemodel.h"
#include "vocabularies.h"

namespace corvane {
namespace {

QStringList toStringList(std::span<const std::string_view> texts) {
    QStringList list;
    for (std::string_view t : texts)
        list.push_back(QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size())));
    return list;
}

}  // namespace

/// A list over a small point table in a window of its own, with a line edit beside it
/// to take the focus away.
class ListCtrlExTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void textEditEnds_data();
    void textEditEnds();
    void textEditRefusesCommasAndLineBreaks();
    void textEditWidensWithItsTextUpToTheListsEdge();
    void comboOpensOnTheMatchingChoice_data();
    void comboOpensOnTheMatchingChoice();
    void comboStoresTheChoice();
    void comboClosedWithoutAChoiceKeepsTheText();
    void comboClosedUnchangedReportsNothing();
    void cellEditingComesFirstAndMayChangeTheChoices();
    void columnWithoutEditorOpensNothing();
    void f2EditsTheCurrentCell();
    void scrollingEndsTheEdit();
    void editAndConsequencesAreOneStep();
    void checkBoxClickTogglesWithoutTouchingTheSelection();
    void markIsARowTheUserPicked();
    void markFollowsItsRowAndGoesWithAReset();
    void modelPassesTheModelTester();

private:
    QModelIndex cell(int row, int column) const { return m_model->index(row, column); }
    QWidget* openEditorByDoubleClick(int row, int column);
    QString text(int row, int column) const {
        return QString::fromStdString(std::string(m_table->text(row, column)));
    }

    std::unique_ptr<PointTable> m_table;
    std::unique_ptr<QWidget> m_window;
    PointTableModel* m_model = nullptr;
    CListCtrlEx* m_list = nullptr;
    QLineEdit* m_elsewhere = nullptr;
    QStringList m_pointTypes = toStringList(pointTypes());
    QStringList m_poleTypes = toStringList(poleTypes());
    QStringList m_crossings = toStringList(crossingObjects());
    QStringList m_lineClasses = toStringList(lineClasses());
};

void ListCtrlExTest::init() {
    m_table = std::make_unique<PointTable>();
    std::vector<Row> rows;
    for (int i = 0; i < 60; ++i) {
        Row row;
        row.setCell(ColName, "P" + std::to_string(i));
        row.setCell(ColPointType, kOrdinaryPoint);
        row.setCell(ColPoleType, "无杆型");
        rows.push_back(std::move(row));
    }
    m_table->replaceAll(std::move(rows), {});
    m_table->clearHistory();

    m_window = std::make_unique<QWidget>();
    auto* layout = new QVBoxLayout(m_window.get());
    m_list = new CListCtrlEx(m_window.get());
    m_model = new PointTableModel(*m_table, m_list);
    m_list->setModel(m_model);
    m_elsewhere = new QLineEdit(m_window.get());
    layout->addWidget(m_list);
    layout->addWidget(m_elsewhere);
    for (int c = 0; c < kColumnCount; ++c) {
        m_list->setColumnWidth(c, kColumns[c].width);
        m_list->setColumnEditor(c, CListCtrlEx::kTextEdit);
    }
    m_list->setColumnEditor(ColPointType, CListCtrlEx::kDropDownList, &m_pointTypes);
    m_list->setColumnEditor(ColCrossing, CListCtrlEx::kDropDownList, &m_crossings);
    m_list->setColumnEditor(ColPoleType, CListCtrlEx::kDropDownList, &m_poleTypes);
    m_list->setColumnEditor(ColOldName, CListCtrlEx::kNotEditable);
    m_window->resize(900, 400);
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    m_list->setFocus();
}

void ListCtrlExTest::cleanup() {
    m_window.reset();
    m_table.reset();
}

QWidget* ListCtrlExTest::openEditorByDoubleClick(int row, int column) {
    m_list->scrollTo(cell(row, column));
    const QPoint at = m_list->visualRect(cell(row, column)).center();
    // A double click arrives as a click followed by the double-click event.
    QTest::mouseClick(m_list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(m_list->viewport(), Qt::LeftButton, {}, at);
    return m_list->openEditor();
}

void ListCtrlExTest::textEditEnds_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("ending");  // 0 Enter, 1 Escape, 2 focus elsewhere, 3 Tab
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("changes");
    QTest::addColumn<QString>("prevText");

    QTest::newRow("Enter stores") << "NEW" << 0 << "NEW" << 1 << "P2";
    QTest::newRow("Escape cancels") << "NEW" << 1 << "P2" << 0 << "";
    QTest::newRow("focus loss stores") << "NEW" << 2 << "NEW" << 1 << "P2";
    QTest::newRow("Tab stores") << "NEW" << 3 << "NEW" << 1 << "P2";
    QTest::newRow("same text: stored, no change") << "P2" << 0 << "P2" << 0 << "P2";
}

void ListCtrlExTest::textEditEnds() {
    QFETCH(QString, typed);
    QFETCH(int, ending);
    QFETCH(QString, stored);
    QFETCH(int, changes);
    QFETCH(QString, prevText);

    QSignalSpy changed(m_list, &CListCtrlEx::cellChanged);
    auto* edit = qobject_cast<QLineEdit*>(openEditorByDoubleClick(2, ColName));
    QVERIFY(edit);
    QCOMPARE(edit->text(), QStringLiteral("P2"));
    QCOMPARE(edit->selectedText(), QStringLiteral("P2"));
    QTest::keyClicks(edit, typed);
    switch (ending) {
        case 0:
            QTest::keyClick(edit, Qt::Key_Return);
            break;
        case 1:
            QTest::keyClick(edit, Qt::Key_Escape);
            break;
        case 2:
            m_elsewhere->setFocus();
            break;
        case 3:
            QTest::keyClick(edit, Qt::Key_Tab);
            break;
    }
    QVERIFY(!m_list->openEditor());
    QCOMPARE(text(2, ColName), stored);
    QCOMPARE(changed.count(), changes);
    if (changes) {
        QCOMPARE(changed.at(0).at(0).toInt(), 2);
        QCOMPARE(changed.at(0).at(1).toInt(), int(ColName));
    }
    QCOMPARE(m_list->m_strPrevText, prevText);
}

void ListCtrlExTest::textEditRefusesCommasAndLineBreaks() {
    QSignalSpy status(m_list, &CListCtrlEx::statusMessage);
    auto* edit = qobject_cast<QLineEdit*>(openEditorByDoubleClick(1, ColRemark));
    QVERIFY(edit);
    QTest::keyClicks(edit, QStringLiteral("a,b"));
    QCOMPARE(edit->text(), QStringLiteral("ab"));
    QCOMPARE(status.count(), 1);
    edit->insert(QStringLiteral("x\ny"));
    QCOMPARE(edit->text(), QStringLiteral("ab"));
    QCOMPARE(status.count(), 2);
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(text(1, ColRemark), QStringLiteral("ab"));
}

void ListCtrlExTest::textEditWidensWithItsTextUpToTheListsEdge() {
    auto* edit = qobject_cast<QLineEdit*>(openEditorByDoubleClick(1, ColHeight));
    QVERIFY(edit);
    const int start = edit->width();
    QVERIFY(start <= m_list->columnWidth(ColHeight));
    QTest::keyClicks(edit, QStringLiteral("a much longer text than the column holds"));
    QVERIFY(edit->width() > start);
    QVERIFY(edit->width() >= edit->fontMetrics().horizontalAdvance(edit->text()));
    QTest::keyClicks(edit, QString(300, u'x'));
    QCOMPARE(edit->geometry().right(), m_list->viewport()->width() - 1);
    QTest::keyClick(edit, Qt::Key_Escape);
}

void ListCtrlExTest::comboOpensOnTheMatchingChoice_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("cellText");
    QTest::addColumn<int>("selected");

    QTest::newRow("exact") << int(ColPointType) << "J桩" << 1;
    QTest::newRow("letter case ignored") << int(ColPointType) << "z桩" << 2;
    QTest::newRow("no match") << int(ColPointType) << "xyz" << -1;
    QTest::newRow("empty selects nothing") << int(ColPointType) << "" << -1;
    QTest::newRow("prefix 1") << int(ColPoleType) << "1" << 1;
    QTest::newRow("prefix 3 takes the first after the top") << int(ColPoleType) << "3" << 3;
    QTest::newRow("first choice found after wrapping") << int(ColPoleType) << "无杆型" << 0;
}

void ListCtrlExTest::comboOpensOnTheMatchingChoice() {
    QFETCH(int, column);
    QFETCH(QString, cellText);
    QFETCH(int, selected);
    m_table->setText(4, column, cellText.toStdString());
    auto* combo = qobject_cast<QComboBox*>(openEditorByDoubleClick(4, column));
    QVERIFY(combo);
    QCOMPARE(combo->currentIndex(), selected);
    QVERIFY(combo->view()->isVisible());  // the list opens at once
    QCOMPARE(combo->count(), column == ColPointType ? 9 : 39);
}

void ListCtrlExTest::comboStoresTheChoice() {
    QSignalSpy changed(m_list, &CListCtrlEx::cellChanged);
    auto* combo = qobject_cast<QComboBox*>(openEditorByDoubleClick(3, ColPointType));
    QVERIFY(combo);
    QCOMPARE(combo->currentIndex(), 0);  // "普通点" wraps round to the top
    QTest::keyClick(combo->view(), Qt::Key_Down);
    QTest::keyClick(combo->view(), Qt::Key_Return);
    QTRY_VERIFY(!m_list->openEditor());
    QCOMPARE(text(3, ColPointType), QStringLiteral("J桩"));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(m_list->m_strPrevText, QStringLiteral("普通点"));

    // A prefix of a choice receives the choice's full text when the list closes.
    m_table->setText(5, ColPoleType, "1");
    combo = qobject_cast<QComboBox*>(openEditorByDoubleClick(5, ColPoleType));
    QVERIFY(combo);
    QTest::keyClick(combo->view(), Qt::Key_Escape);  // a drop-down cannot be cancelled
    QTRY_VERIFY(!m_list->openEditor());
    QCOMPARE(text(5, ColPoleType), QStringLiteral("1--[I]"));
    QCOMPARE(changed.count(), 2);
}

void ListCtrlExTest::comboClosedWithoutAChoiceKeepsTheText() {
    m_table->setText(6, ColPointType, "手工类型");
    QSignalSpy changed(m_list, &CListCtrlEx::cellChanged);
    auto* combo = qobject_cast<QComboBox*>(openEditorByDoubleClick(6, ColPointType));
    QVERIFY(combo);
    QCOMPARE(combo->currentIndex(), -1);
    combo->hidePopup();
    QTRY_VERIFY(!m_list->openEditor());
    QCOMPARE(text(6, ColPointType), QStringLiteral("手工类型"));
    QCOMPARE(changed.count(), 0);

    // Nor does a click outside the open list, which closes it.
    combo = qobject_cast<QComboBox*>(openEditorByDoubleClick(6, ColPointType));
    QVERIFY(combo);
    QWidget* popup = combo->view()->window();
    QVERIFY(popup->isVisible());
    QTest::mouseClick(popup, Qt::LeftButton, {}, QPoint(-20, -20));
    QVERIFY(!popup->isVisible());
    QTRY_VERIFY(!m_list->openEditor());
    QCOMPARE(text(6, ColPointType), QStringLiteral("手工类型"));
}

void ListCtrlExTest::comboClosedUnchangedReportsNothing() {
    QSignalSpy changed(m_list, &CListCtrlEx::cellChanged);
    auto* combo = qobject_cast<QComboBox*>(openEditorByDoubleClick(7, ColPoleType));
    QVERIFY(combo);
    QTest::keyClick(combo->view(), Qt::Key_Return);
    QTRY_VERIFY(!m_list->openEditor());
    QCOMPARE(text(7, ColPoleType), QStringLiteral("无杆型"));
    QCOMPARE(changed.count(), 0);
    QVERIFY(!m_table->canUndo());
}

void ListCtrlExTest::cellEditingComesFirstAndMayChangeTheChoices() {
    QList<QPair<int, int>> editing;
    connect(m_list, &CListCtrlEx::cellEditing, this, [&](int row, int column) {
        editing.push_back({row, column});
        QVERIFY(!m_list->openEditor());
        m_list->subItemInfo(column)->pChoices = row == 8 ? &m_lineClasses : &m_crossings;
    });
    auto* combo = qobject_cast<QComboBox*>(openEditorByDoubleClick(8, ColCrossing));
    QVERIFY(combo);
    QCOMPARE(editing, (QList<QPair<int, int>>{{8, int(ColCrossing)}}));
    QCOMPARE(combo->count(), 33);
    QCOMPARE(combo->itemText(0), QStringLiteral("220V----------30"));
    combo->hidePopup();
    QTRY_VERIFY(!m_list->openEditor());

    combo = qobject_cast<QComboBox*>(openEditorByDoubleClick(9, ColCrossing));
    QVERIFY(combo);
    QCOMPARE(combo->count(), 28);
}

void ListCtrlExTest::columnWithoutEditorOpensNothing() {
    QSignalSpy editing(m_list, &CListCtrlEx::cellEditing);
    QVERIFY(!openEditorByDoubleClick(2, ColOldName));
    QCOMPARE(editing.count(), 0);
    m_list->horizontalHeader()->setMinimumSectionSize(0);
    m_list->setColumnWidth(ColRemark, 4);  // too narrow to edit in
    QCOMPARE(m_list->columnWidth(ColRemark), 4);
    QVERIFY(!openEditorByDoubleClick(2, ColRemark));
}

void ListCtrlExTest::f2EditsTheCurrentCell() {
    QSignalSpy changed(m_list, &CListCtrlEx::cellChanged);
    // From the keyboard alone: to row 3, then F2 on its name.
    m_list->setCurrentIndex(cell(0, ColName));
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(m_list, Qt::Key_Down);
    QTest::keyClick(m_list, Qt::Key_F2);
    auto* edit = qobject_cast<QLineEdit*>(m_list->openEditor());
    QVERIFY(edit);
    QCOMPARE(edit->text(), QStringLiteral("P3"));
    QTest::keyClicks(edit, QStringLiteral("K3"));
    QTest::keyClick(edit, Qt::Key_Return);
    QVERIFY(!m_list->openEditor());
    QCOMPARE(text(3, ColName), QStringLiteral("K3"));
    QCOMPARE(changed.count(), 1);

    // A drop-down column opens its list; a column without an editor opens nothing.
    m_list->setCurrentIndex(cell(3, ColPointType));
    QTest::keyClick(m_list, Qt::Key_F2);
    QVERIFY(qobject_cast<QComboBox*>(m_list->openEditor()));
    QTest::keyClick(m_list->openEditor(), Qt::Key_Escape);
    QVERIFY(!m_list->openEditor());
    m_list->setCurrentIndex(cell(3, ColOldName));
    QTest::keyClick(m_list, Qt::Key_F2);
    QVERIFY(!m_list->openEditor());
    QCOMPARE(changed.count(), 1);
}

void ListCtrlExTest::scrollingEndsTheEdit() {
    auto* edit = qobject_cast<QLineEdit*>(openEditorByDoubleClick(0, ColRemark));
    QVERIFY(edit);
    QTest::keyClicks(edit, QStringLiteral("typed"));
    m_list->verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QTRY_VERIFY(!m_list->openEditor());
    QCOMPARE(text(0, ColRemark), QStringLiteral("typed"));
}

void ListCtrlExTest::editAndConsequencesAreOneStep() {
    connect(m_list, &CListCtrlEx::cellChanged, this, [&](int row, int) {
        m_table->setText(row, ColOldName, m_list->m_strPrevText.toStdString());
    });
    auto* edit = qobject_cast<QLineEdit*>(openEditorByDoubleClick(2, ColName));
    QVERIFY(edit);
    QTest::keyClicks(edit, QStringLiteral("Q"));
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(text(2, ColOldName), QStringLiteral("P2"));
    m_table->undo();
    QCOMPARE(text(2, ColName), QStringLiteral("P2"));
    QCOMPARE(text(2, ColOldName), QString());
    QVERIFY(!m_table->canUndo());
}

void ListCtrlExTest::checkBoxClickTogglesWithoutTouchingTheSelection() {
    m_list->selectionModel()->select(QItemSelection(cell(1, 0), cell(3, kColumnCount - 1)),
                                     QItemSelectionModel::Select);
    const QPoint box = m_list->checkBoxRect(2).center();
    QVERIFY(m_list->visualRect(cell(2, 0)).contains(box));
    QTest::mouseClick(m_list->viewport(), Qt::LeftButton, {}, box);
    QVERIFY(m_table->isChecked(2));
    QCOMPARE(m_list->selectionModel()->selectedRows().count(), 3);
    QTest::mouseClick(m_list->viewport(), Qt::LeftButton, {}, box);
    QVERIFY(!m_table->isChecked(2));

    QSignalSpy clicked(m_list, &CListCtrlEx::checkBoxClicked);
    QTest::mouseClick(m_list->viewport(), Qt::LeftButton, {}, box);
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(clicked.at(0).at(0).toInt(), 2);
    QVERIFY2(!m_table->isChecked(2), "the listener decides");
}

void ListCtrlExTest::markIsARowTheUserPicked() {
    // Getting the focus other than by a click makes a row current, but marks none.
    m_elsewhere->setFocus();
    m_list->setFocus(Qt::TabFocusReason);
    QVERIFY(m_list->hasFocus());
    QVERIFY(m_list->currentIndex().isValid());
    QCOMPARE(m_list->selectionMark(), -1);
    QTest::keyClick(m_list, Qt::Key_Up);  // row 0 was never the user's
    QCOMPARE(m_list->selectionMark(), -1);

    QTest::mouseClick(m_list->viewport(), Qt::LeftButton, {},
                      m_list->visualRect(cell(4, ColName)).center());
    QCOMPARE(m_list->selectionMark(), 4);
    QTest::keyClick(m_list, Qt::Key_Down);
    QCOMPARE(m_list->selectionMark(), 5);
    // A check box click leaves the selection, and so the mark, alone.
    QTest::mouseClick(m_list->viewport(), Qt::LeftButton, {}, m_list->checkBoxRect(8).center());
    QCOMPARE(m_list->selectionMark(), 5);
    // Going away and coming back keeps it.
    m_elsewhere->setFocus();
    m_list->setFocus(Qt::TabFocusReason);
    QCOMPARE(m_list->selectionMark(), 5);
}

void ListCtrlExTest::markFollowsItsRowAndGoesWithAReset() {
    m_list->selectRow(10);
    QCOMPARE(m_list->selectionMark(), 10);
    m_table->insertRow(0);
    QCOMPARE(m_list->selectionMark(), 11);
    m_table->removeRows({2});
    QCOMPARE(m_list->selectionMark(), 10);
    QCOMPARE(text(10, ColName), QStringLiteral("P10"));
    m_table->removeRows({10});
    QCOMPARE(m_list->selectionMark(), -1);

    m_list->setSelectionMark(3);
    QCOMPARE(m_list->selectionMark(), 3);
    m_table->replaceAll({Row(), Row(), Row(), Row(), Row()}, {});  // an import
    QCOMPARE(m_list->selectionMark(), -1);
    m_elsewhere->setFocus();
    m_list->setFocus(Qt::ActiveWindowFocusReason);
    QVERIFY(m_list->currentIndex().isValid());
    QCOMPARE(m_list->selectionMark(), -1);
}

void ListCtrlExTest::modelPassesTheModelTester() {
    QAbstractItemModelTester tester(m_model,
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    m_table->setText(3, ColRemark, "x");
    m_table->setChecked(4, true);
    m_table->insertRow(5);
    m_table->removeRows({0});
    m_table->removeRows({1, 7, 9});
    m_table->swapRowTexts(0, 10);
    {
        PointTable::Command command(*m_table, "several");
        m_table->setText(1, ColName, "renamed");
        m_table->insertRow(0);
        m_table->appendRows({Row(), Row()});
    }
    m_table->setDisplayMode(DisplayMode::JStakes);
    m_table->setDisplayMode(DisplayMode::AllPoints);
    while (m_table->canUndo())
        m_table->undo();
    while (m_table->canRedo())
        m_table->redo();
    QVERIFY(m_model->setData(cell(2, 0), Qt::Checked, Qt::CheckStateRole));
    QVERIFY(m_model->setData(cell(2, ColHeight), QStringLiteral("12.5")));
    QCOMPARE(m_model->data(cell(2, ColHeight)).toString(), QStringLiteral("12.5"));
    m_table->replaceAll({}, {});
    QCOMPARE(m_model->rowCount(), 0);
}

}  // namespace corvane

QTEST_MAIN(corvane::ListCtrlExTest)
#include "listctrlex_test.moc"
