#include "mainframe.h"

#include <QAbstractItemView>
#include <QActionGroup>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include "columns.h"
#include "commandids.h"
#include "corvanedoc.h"
#include "corvaneview.h"
#include "exportformat.h"
#include "geodocument.h"
#include "linepointselectdlg.h"
#include "listctrlex.h"
#include "pathtext.h"
#include "pointtable.h"
#include "qtsupport.h"
#include "rowbuilder.h"
#include "settings.h"
#include "vocabularies.h"

namespace corvane {
namespace {

using test::rowOf;

QString text(const PointTable& table, int row, int column) {
    std::string_view t = table.text(row, column);
    return QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size()));
}

// The items of a menu as texts, "-" for a separator, submenus as "title>".
QStringList itemsOf(const QMenu* menu) {
    QStringList out;
    for (QAction* a : menu->actions()) {
        if (!a->isVisible())
            continue;
        if (a->isSeparator())
            out.append(QStringLiteral("-"));
        else if (a->menu())
            out.append(a->text() + u'>');
        else
            out.append(a->text());
    }
    return out;
}

QMenu* menuTitled(QMenuBar* bar, const QString& title) {
    for (QAction* a : bar->actions())
        if (a->text() == title)
            return a->menu();
    return nullptr;
}

QMenu* submenuTitled(QMenu* menu, const QString& title) {
    for (QAction* a : menu->actions())
        if (a->menu() && a->text() == title)
            return a->menu();
    return nullptr;
}

QStringList dialogNames(const QTableWidget* list) {
    QStringList out;
    for (int r = 0; r < list->rowCount(); ++r)
        out.append(list->item(r, 0)->text());
    return out;
}

}  // namespace

class MainFrameTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<CorvaneSettings> m_settings;
    std::unique_ptr<CMainFrame> m_frame;
    test::FakeFileDialogs m_dialogs;

    QString path(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)); }
    PointTable& table() { return m_frame->table(); }

    // A point file of three rows: J1, P1 on segment J1-J2, J2.
    QString writeSurvey(const char* name) {
        PointTable source;
        source.replaceAll(
            {rowOf({.name = "J1",
                    .north = "0",
                    .east = "0",
                    .start = "J1",
                    .end = "J2",
                    .type = kJStake}),
             rowOf({.name = "P1", .north = "5", .east = "1", .start = "J1", .end = "J2"}),
             rowOf({.name = "J2",
                    .north = "10",
                    .east = "0",
                    .start = "J2",
                    .end = "J2",
                    .type = kJStake})},
            {"header line"});
        const QString file = path(name);
        Status written = exportTable(source, ExportType::Ept, localPath(file));
        if (!written)
            qFatal("cannot write the survey");
        return file;
    }

    void importSurvey() {
        QVERIFY(m_frame->document()->importFile(writeSurvey("survey.ept"), PointFileFormat::Ept));
        QCOMPARE(table().rowCount(), 3);
    }

    void trigger(int id) {
        QAction* action = m_frame->commandAction(id);
        QVERIFY2(action, qPrintable(QString::number(id)));
        action->trigger();
    }

    // A freshly imported survey with the focus in the table, given other than by a
    // click: Qt has made a row current, but the user has marked none.
    void importAndFocusTheTable() {
        importSurvey();
        m_frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_frame.get()));
        CListCtrlEx* list = m_frame->view()->list();
        list->clearFocus();
        list->setFocus(Qt::ActiveWindowFocusReason);
        QVERIFY(list->hasFocus());
        QVERIFY(list->currentIndex().isValid());
        QCOMPARE(m_frame->view()->selectionMark(), -1);
    }

    void clickRow(int row) {
        CListCtrlEx* list = m_frame->view()->list();
        const QModelIndex index = list->model()->index(row, ColName);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
    }

    QStringList names() {
        QStringList out;
        for (int r = 0; r < table().rowCount(); ++r)
            out.append(text(table(), r, ColName));
        return out;
    }

    // Opens the editor of row 1's remark and types into it; nothing is stored yet.
    QLineEdit* typeIntoACell(const QString& typed) {
        m_frame->activateWindow();
        if (!QTest::qWaitForWindowActive(m_frame.get()))
            return nullptr;
        CListCtrlEx* list = m_frame->view()->list();
        const QModelIndex index = list->model()->index(1, ColRemark);
        list->scrollTo(index);
        const QPoint at = list->visualRect(index).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        auto* edit = qobject_cast<QLineEdit*>(list->openEditor());
        if (!edit)
            return nullptr;
        QTest::keyClicks(edit, typed);
        return table().isModified() ? nullptr : edit;
    }

    QAction* recentAction(const QString& file) {
        for (QAction* a : m_frame->fileMenu()->actions())
            if (a->isVisible() && a->data().toString() == QFileInfo(file).absoluteFilePath())
                return a;
        return nullptr;
    }

    void drop(const QString& file) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(file)});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QCoreApplication::sendEvent(m_frame.get(), &enter);
        QDropEvent event(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(m_frame.get(), &event);
    }

    QByteArray readFile(const QString& file) {
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return f.readAll();
    }

private slots:
    void init() {
        QFile::remove(path("settings.ini"));
        m_settings = std::make_unique<CorvaneSettings>(path("settings.ini"));
        m_frame = std::make_unique<CMainFrame>(*m_settings);
        m_dialogs = test::FakeFileDialogs();
        m_frame->setFileDialogs(m_dialogs);
        m_frame->show();
    }

    void cleanup() {
        table().markSaved();
        m_frame.reset();
        m_settings.reset();
    }

    void menusHoldTheCommandsInOrder_data() {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QStringList>("items");
        QTest::newRow("file") << QStringLiteral("文件(&F)")
                              << QStringList{QStringLiteral("导入原始数据(&O)..."),
                                             QStringLiteral("导出计算数据(&S)"),
                                             QStringLiteral("-"),
                                             QStringLiteral("文件合并(&M)..."),
                                             QStringLiteral("-"),
                                             QStringLiteral("退出(&X)")};
        QTest::newRow("edit") << QStringLiteral("编辑(&E)")
                              << QStringList{QStringLiteral("撤销(&U)"), QStringLiteral("重做(&R)"),
                                             QStringLiteral("-"), QStringLiteral("复制(&C)"),
                                             QStringLiteral("粘贴(&P)")};
        QTest::newRow("list") << QStringLiteral("列表(&L)")
                              << QStringList{QStringLiteral("插入一行(&I)"),
                                             QStringLiteral("删除勾选行(&C)"),
                                             QStringLiteral("-"),
                                             QStringLiteral("上移一行(&U)"),
                                             QStringLiteral("下移一行(&D)"),
                                             QStringLiteral("移到首行(&T)"),
                                             QStringLiteral("移到末行(&E)"),
                                             QStringLiteral("-"),
                                             QStringLiteral("勾选点的电力线为所选点的电力线(&U)"),
                                             QStringLiteral("-"),
                                             QStringLiteral("电力线点选择(&S)..."),
                                             QStringLiteral("-"),
                                             QStringLiteral("电力数据计算(&M)"),
                                             QStringLiteral("自动选择电力线(A)"),
                                             QStringLiteral("-"),
                                             QStringLiteral("测点投影到电力线(&P)...")};
        QTest::newRow("view") << QStringLiteral("视图(&V)")
                              << QStringList{QStringLiteral("工具栏和停靠窗口(&T)>"),
                                             QStringLiteral("状态栏(&S)"),
                                             QStringLiteral("-"),
                                             QStringLiteral("应用程序外观(&A)>"),
                                             QStringLiteral("-"),
                                             QStringLiteral("全显视图(&A)"),
                                             QStringLiteral("视图分隔比例(I)..."),
                                             QStringLiteral("-"),
                                             QStringLiteral("显示所有点(L)"),
                                             QStringLiteral("仅显示J桩(&J)"),
                                             QStringLiteral("仅显示Z桩(&Z)"),
                                             QStringLiteral("-"),
                                             QStringLiteral("按累距排序显示(&D)")};
        QTest::newRow("help") << QStringLiteral("帮助(&H)")
                              << QStringList{QStringLiteral("关于 Corvane(&A)...")};
    }
    void menusHoldTheCommandsInOrder() {
        QFETCH(QString, menu);
        QFETCH(QStringList, items);
        QMenu* m = menuTitled(m_frame->menuBar(), menu);
        QVERIFY(m);
        // Further tools may follow after a separator; the listed commands come first.
        const QStringList shown = itemsOf(m);
        QCOMPARE(shown.mid(0, items.size()), items);
        if (shown.size() > items.size())
            QCOMPARE(shown.at(items.size()), QStringLiteral("-"));
    }

    void menuBarOrderAndSubmenus() {
        QStringList titles;
        for (QAction* a : m_frame->menuBar()->actions())
            titles.append(a->text());
        QCOMPARE(titles, (QStringList{QStringLiteral("文件(&F)"), QStringLiteral("编辑(&E)"),
                                      QStringLiteral("列表(&L)"), QStringLiteral("视图(&V)"),
                                      QStringLiteral("帮助(&H)")}));
        QMenu* view = menuTitled(m_frame->menuBar(), QStringLiteral("视图(&V)"));
        QMenu* looks = submenuTitled(view, QStringLiteral("应用程序外观(&A)"));
        QVERIFY(looks);
        QCOMPARE(itemsOf(looks),
                 (QStringList{QStringLiteral("Windows 2000(&2)"), QStringLiteral("Office XP(&X)"),
                              QStringLiteral("Windows XP(&W)"), QStringLiteral("Office 2003(&3)"),
                              QStringLiteral("Visual Studio.NET 2005(&5)"),
                              QStringLiteral("Office 2007(&7)>")}));
        QCOMPARE(itemsOf(submenuTitled(looks, QStringLiteral("Office 2007(&7)"))),
                 (QStringList{QStringLiteral("蓝色样式(&B)"), QStringLiteral("黑色样式(&L)"),
                              QStringLiteral("银色样式(&S)"), QStringLiteral("水绿色样式(&A)")}));
        QMenu* bars = submenuTitled(view, QStringLiteral("工具栏和停靠窗口(&T)"));
        QCOMPARE(itemsOf(bars), (QStringList{QStringLiteral("标准"), QStringLiteral("纵断面(&P)"),
                                             QStringLiteral("数据检查(&K)")}));
    }

    void commandsHavePromptsTipsAndKeys_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("prompt");
        QTest::addColumn<QString>("tip");
        QTest::addColumn<QString>("shortcuts");
        auto row = [](int id, const char* prompt, const char* tip, const char* shortcuts = "") {
            QTest::addRow("%d", id) << id << QString::fromUtf8(prompt) << QString::fromUtf8(tip)
                                    << QString::fromUtf8(shortcuts);
        };
        row(ID_FILE_OPEN, "导入原始的外业电力测量数据", "导入数据", "Ctrl+O");
        row(ID_FILE_SAVE, "将当前计算的电力数据导出", "导出数据", "Ctrl+S");
        row(ID_FILE_MERGE, "将电力线文件进行合并", "文件合并");
        row(ID_APP_EXIT, "退出应用程序；提示保存文档", "退出");
        row(ID_FILE_NEW, "清空当前数据", "新建", "Ctrl+N");
        row(ID_EDIT_UNDO, "撤销上一步操作", "撤销", "Ctrl+Z; Alt+Backspace");
        row(ID_EDIT_REDO, "重做上一步撤销的操作", "重做", "Ctrl+Y");
        row(ID_EDIT_COPY, "将选择的行复制到剪贴板", "复制", "Ctrl+C; Ctrl+Ins");
        row(ID_EDIT_CUT, "将选择的行复制到剪贴板", "剪切", "Ctrl+X; Shift+Del");
        row(ID_EDIT_PASTE, "从当前单元格起粘贴剪贴板中的表格", "粘贴", "Ctrl+V; Shift+Ins");
        row(ID_LIST_INSERT_ROW, "当前列表插入一行数据", "插入一行");
        row(ID_LIST_DELETE_CHECKED, "删除当前勾选的行", "删除勾选行");
        row(ID_LIST_MOVE_UP, "上移当前选择的列表行", "上移一行");
        row(ID_LIST_MOVE_DOWN, "下移当前选择的列表行", "下移一行");
        row(ID_LIST_MOVE_FIRST, "将当前选择行移动到首行位置", "移到首行");
        row(ID_LIST_MOVE_LAST, "将选择的列表行移动到末行", "移到末行");
        row(ID_LIST_COPY_LINE_TO_CHECKED, "设置勾选点为当前电力线点", "设置勾选点为当前电力线");
        row(ID_LIST_LINE_POINT_SELECT, "选择电力线点", "电力线选择");
        row(ID_LIST_DATA_CALCULATION, "对当前的电力数据进行计算", "数据计算");
        row(ID_LIST_AUTO_SELECT_LINE, "各点按照最近距离自动选择电力线点", "自动电力线");
        row(ID_LIST_POINT_PROJECT, "测点投影到电力线", "测点投影");
        row(ID_VIEW_STATUS_BAR, "显示或隐藏状态栏", "切换状态栏");
        row(ID_VIEW_FIT_ALL, "在图形上全部显示图形", "全显视图");
        row(ID_VIEW_SPLIT_RATIO, "视图分隔比例", "视图分隔比例");
        row(ID_VIEW_SHOW_ALL_POINTS, "显示所有的点", "显示所有点");
        row(ID_VIEW_SHOW_J_STAKES, "仅显示J桩点", "仅显示J桩点");
        row(ID_VIEW_SHOW_Z_STAKES, "仅显示Z桩点", "仅显示Z桩点");
        row(ID_VIEW_SORT_BY_DISTANCE, "按累距排序显示", "按累距排序");
        row(ID_APP_ABOUT, "显示程序信息、版本号和版权", "关于");
    }
    void commandsHavePromptsTipsAndKeys() {
        QFETCH(int, id);
        QFETCH(QString, shortcuts);
        QAction* action = m_frame->commandAction(id);
        QVERIFY(action);
        QTEST(action->statusTip(), "prompt");
        if (id != ID_EDIT_UNDO && id != ID_EDIT_REDO)  // these name the step when there is one
            QTEST(action->toolTip(), "tip");
        QStringList bound;
        for (const QKeySequence& k : action->shortcuts())
            bound.append(k.toString(QKeySequence::PortableText));
        QCOMPARE(bound.join(QStringLiteral("; ")), shortcuts);
    }

    void toolBarButtonsInOrder() {
        QList<int> ids;
        for (QAction* a : m_frame->toolBar()->actions())
            ids.append(a->isSeparator() ? 0 : a->data().toInt());
        QCOMPARE(ids, (QList<int>{ID_FILE_OPEN, ID_FILE_SAVE, 0, ID_LIST_MOVE_UP, ID_LIST_MOVE_DOWN,
                                  ID_LIST_DELETE_CHECKED, 0, ID_LIST_LINE_POINT_SELECT, 0,
                                  ID_LIST_AUTO_SELECT_LINE, ID_LIST_DATA_CALCULATION, 0,
                                  ID_VIEW_FIT_ALL, 0, ID_APP_ABOUT}));
        for (QAction* a : m_frame->toolBar()->actions()) {
            if (a->isSeparator())
                continue;
            QVERIFY2(!a->icon().isNull(), qPrintable(a->text()));
            QVERIFY(!a->icon().pixmap(16, 16).isNull());
        }
        QCOMPARE(m_frame->toolBar()->windowTitle(), QStringLiteral("标准"));
    }

    void statusBarAndCaption() {
        auto* idle = m_frame->statusBar()->findChild<QLabel*>(QStringLiteral("IdleText"));
        QVERIFY(idle);
        QCOMPARE(idle->text(), QStringLiteral("就绪"));
        for (const char* pane : {"CAP", "NUM", "SCRL"})
            QVERIFY(m_frame->statusBar()->findChild<QLabel*>(QString::fromLatin1(pane)));
        QCOMPARE(m_frame->windowTitle(), QStringLiteral("Tessaly - Corvane"));

        const QString file = writeSurvey("caption.ept");
        QVERIFY(m_frame->openFile(file));
        QCOMPARE(m_frame->windowTitle(),
                 QStringLiteral("Tessaly - Corvane [ %1 ]").arg(QDir::toNativeSeparators(file)));
        QVERIFY(!table().isModified());
        // The recent-file list names it first.
        QCOMPARE(m_settings->recentFiles().value(0), QFileInfo(file).absoluteFilePath());
        QStringList items = itemsOf(m_frame->fileMenu());
        QVERIFY(items.contains(QStringLiteral("&1 %1").arg(QDir::toNativeSeparators(file))));
    }

    void theCountOfHiddenNamesStaysInItsOwnField() {
        auto* field = m_frame->statusBar()->findChild<QLabel*>(QStringLiteral("HiddenLabels"));
        QVERIFY(field);
        QVERIFY(field->isHidden());
        std::vector<Row> rows;
        for (int i = 0; i < 40; ++i)
            rows.push_back(rowOf({.name = "P" + std::to_string(i),
                                  .north = std::to_string(i % 2),
                                  .east = std::to_string(i % 2 * 500)}));
        table().replaceAll(std::move(rows), {});
        m_frame->view()->OnFitAll();
        QTRY_VERIFY(field->isVisible());
        QVERIFY2(field->text().endsWith(QStringLiteral(" 个点名因重叠未显示")),
                 qPrintable(field->text()));
        m_frame->statusBar()->showMessage(QStringLiteral("另一条消息"));
        QCOMPARE(m_frame->statusBar()->currentMessage(), QStringLiteral("另一条消息"));
        QVERIFY(field->isVisible());
        table().replaceAll({}, {});
        QTRY_VERIFY(field->isHidden());
    }

    void looksArePersistedWithARadioMark() {
        QCOMPARE(m_settings->applicationLook(), 214);  // written at once on the first start
        QVERIFY(m_settings->store().contains(QStringLiteral("Workspace/ApplicationLook")));
        QVERIFY(m_frame->commandAction(214)->isChecked());

        trigger(ID_VIEW_APPLOOK_OFF_2007_BLACK);
        QCOMPARE(m_settings->applicationLook(), 216);
        for (int id = 210; id <= 218; ++id)
            QCOMPARE(m_frame->commandAction(id)->isChecked(), id == 216);
        const QPalette dark = QApplication::palette();
        QVERIFY(dark.color(QPalette::Window).lightness() < 80);
        QVERIFY(dark.color(QPalette::WindowText).lightness() > 180);
        QVERIFY(dark.color(QPalette::Base).lightness() < 80);
        QVERIFY(dark.color(QPalette::Text).lightness() > 180);

        // A new window comes up in the stored look.
        m_frame.reset();
        m_frame = std::make_unique<CMainFrame>(*m_settings);
        QVERIFY(m_frame->commandAction(216)->isChecked());
        QVERIFY(QApplication::palette().color(QPalette::Window).lightness() < 80);

        trigger(ID_VIEW_APPLOOK_WIN_XP);
        QCOMPARE(m_settings->applicationLook(), 212);
        QVERIFY(QApplication::palette().color(QPalette::Window).lightness() > 180);
    }

    void anUnknownLookMarksNothing() {
        m_settings->setApplicationLook(300);
        m_frame.reset();
        m_frame = std::make_unique<CMainFrame>(*m_settings);
        for (int id = 210; id <= 218; ++id)
            QVERIFY(!m_frame->commandAction(id)->isChecked());
        QCOMPARE(m_settings->applicationLook(), 300);
    }

    void undoAndRedoThroughTheMenu() {
        importSurvey();
        {
            PointTable::Command command(table(), "编辑");
            table().setText(1, ColName, "Q1");
            table().setText(1, ColNorth, "6");
        }
        QVERIFY(m_frame->commandAction(ID_EDIT_UNDO)->isEnabled());
        QVERIFY(!m_frame->commandAction(ID_EDIT_REDO)->isEnabled());
        QCOMPARE(m_frame->commandAction(ID_EDIT_UNDO)->toolTip(), QStringLiteral("撤销：编辑"));

        trigger(ID_EDIT_UNDO);
        QCOMPARE(text(table(), 1, ColName), QStringLiteral("P1"));
        QCOMPARE(text(table(), 1, ColNorth), QStringLiteral("5"));
        QVERIFY(m_frame->commandAction(ID_EDIT_REDO)->isEnabled());
        QVERIFY(!table().isModified());

        trigger(ID_EDIT_REDO);
        QCOMPARE(text(table(), 1, ColName), QStringLiteral("Q1"));
        QVERIFY(table().isModified());

        // The keys reach the same commands.
        m_frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_frame.get()));
        QTest::keyClick(m_frame.get(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(text(table(), 1, ColName), QStringLiteral("P1"));
        QTest::keyClick(m_frame.get(), Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(text(table(), 1, ColName), QStringLiteral("Q1"));
        QTest::keyClick(m_frame.get(), Qt::Key_Backspace, Qt::AltModifier);
        QCOMPARE(text(table(), 1, ColName), QStringLiteral("P1"));
    }

    void undoWhileACellIsEditedUndoesThatEdit() {
        importSurvey();
        CListCtrlEx* list = m_frame->view()->list();
        const QModelIndex index = list->model()->index(1, ColName);
        list->scrollTo(index);
        const QPoint at = list->visualRect(index).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        auto* edit = qobject_cast<QLineEdit*>(list->openEditor());
        QVERIFY(edit);
        edit->selectAll();
        QTest::keyClicks(edit, QStringLiteral("Q9"));

        trigger(ID_EDIT_UNDO);
        QCOMPARE(text(table(), 1, ColName), QStringLiteral("P1"));
        QCOMPARE(text(table(), 1, ColOldName), QString());
        QVERIFY(!list->openEditor());
        // Nothing arrives later from the closed editor.
        QCoreApplication::processEvents();
        QCOMPARE(text(table(), 1, ColName), QStringLiteral("P1"));
        trigger(ID_EDIT_REDO);
        QCOMPARE(text(table(), 1, ColName), QStringLiteral("Q9"));
    }

    void filterMarksAndMovesFollowTheDisplayMode() {
        importSurvey();
        QVERIFY(m_frame->commandAction(ID_VIEW_SHOW_ALL_POINTS)->isChecked());
        table().setDisplayMode(DisplayMode::JStakes);
        QVERIFY(m_frame->commandAction(ID_VIEW_SHOW_J_STAKES)->isChecked());
        QVERIFY(!m_frame->commandAction(ID_VIEW_SHOW_ALL_POINTS)->isChecked());
        for (int id : {ID_LIST_MOVE_UP, ID_LIST_MOVE_DOWN, ID_LIST_MOVE_FIRST, ID_LIST_MOVE_LAST})
            QVERIFY(!m_frame->commandAction(id)->isEnabled());
        trigger(ID_VIEW_SHOW_ALL_POINTS);
        QCOMPARE(table().displayMode(), DisplayMode::AllPoints);
        QVERIFY(m_frame->commandAction(ID_LIST_MOVE_UP)->isEnabled());
        QVERIFY(!m_frame->commandAction(ID_VIEW_SHOW_J_STAKES)->isChecked());
    }

    // --- the marked row ---------------------------------------------------------------

    void rowCommandsActOnTheMarkedRowOnly_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("clicked");  // -1: the table only got the focus
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("starts");  // the segment starts, top down
        const QString J1 = QStringLiteral("J1"), P1 = QStringLiteral("P1"),
                      J2 = QStringLiteral("J2"), none;
        const QStringList asImported{J1, P1, J2}, importedStarts{J1, J1, J2};
        QTest::newRow("insert, no mark: appended")
            << int(ID_LIST_INSERT_ROW) << -1 << QStringList{J1, P1, J2, none}
            << QStringList{J1, J1, J2, none};
        QTest::newRow("insert below P1")
            << int(ID_LIST_INSERT_ROW) << 1 << QStringList{J1, P1, none, J2}
            << QStringList{J1, J1, none, J2};
        QTest::newRow("down, no mark")
            << int(ID_LIST_MOVE_DOWN) << -1 << asImported << importedStarts;
        QTest::newRow("down P1") << int(ID_LIST_MOVE_DOWN) << 1 << QStringList{J1, J2, P1}
                                 << QStringList{J1, J2, J1};
        QTest::newRow("up, no mark") << int(ID_LIST_MOVE_UP) << -1 << asImported << importedStarts;
        QTest::newRow("up P1") << int(ID_LIST_MOVE_UP) << 1 << QStringList{P1, J1, J2}
                               << importedStarts;
        QTest::newRow("last, no mark")
            << int(ID_LIST_MOVE_LAST) << -1 << asImported << importedStarts;
        QTest::newRow("last J1") << int(ID_LIST_MOVE_LAST) << 0 << QStringList{J2, P1, J1}
                                 << QStringList{J2, J1, J1};
        QTest::newRow("copy line, no mark")
            << int(ID_LIST_COPY_LINE_TO_CHECKED) << -1 << asImported << importedStarts;
        QTest::newRow("copy line of J2")
            << int(ID_LIST_COPY_LINE_TO_CHECKED) << 2 << asImported << QStringList{J2, J1, J2};
    }
    void rowCommandsActOnTheMarkedRowOnly() {
        QFETCH(int, command);
        QFETCH(int, clicked);
        importAndFocusTheTable();
        table().setChecked(0, true);
        table().setChecked(2, true);
        const QString lastStep = QString::fromStdString(table().undoLabel());
        if (clicked >= 0) {
            clickRow(clicked);
            QCOMPARE(m_frame->view()->selectionMark(), clicked);
        }
        trigger(command);
        QTEST(names(), "names");
        QStringList starts;
        for (int r = 0; r < table().rowCount(); ++r)
            starts.append(text(table(), r, ColSegmentStart));
        QTEST(starts, "starts");
        if (clicked < 0 && command != ID_LIST_INSERT_ROW)
            QCOMPARE(QString::fromStdString(table().undoLabel()), lastStep);
    }

    void keysAfterAClickMoveTheMark() {
        importAndFocusTheTable();
        clickRow(0);
        QTest::keyClick(m_frame->view()->list(), Qt::Key_Down);
        QCOMPARE(m_frame->view()->selectionMark(), 1);
        trigger(ID_LIST_MOVE_DOWN);
        QCOMPARE(names(),
                 (QStringList{QStringLiteral("J1"), QStringLiteral("J2"), QStringLiteral("P1")}));
        QCOMPARE(m_frame->view()->selectionMark(), 2);
    }

    void lineDialogMovesNothingUntilAStakeIsPicked() {
        importAndFocusTheTable();
        QStringList atOpening, afterPick;
        test::DialogCloser<CLinePointSelectDlg> closer(false, [&](CLinePointSelectDlg& dialog) {
            // The list gets the focus as the dialog opens, and Qt makes its first row
            // current; the user has picked nothing yet.
            QApplication::setActiveWindow(&dialog);
            QVERIFY(QTest::qWaitForWindowActive(&dialog));
            QTableWidget* list = dialog.list();
            QVERIFY(list->hasFocus());
            QCOMPARE(list->currentRow(), 0);
            QCOMPARE(dialog.markedRow(), -1);
            QPushButton* down = nullptr;
            for (QPushButton* b : dialog.findChildren<QPushButton*>())
                if (b->text() == QStringLiteral("下移(&D)"))
                    down = b;
            QVERIFY(down);
            QTest::mouseClick(down, Qt::LeftButton);
            atOpening = dialogNames(list);
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualItemRect(list->item(0, 0)).center());
            QTest::mouseClick(down, Qt::LeftButton);
            afterPick = dialogNames(list);
        });
        trigger(ID_LIST_LINE_POINT_SELECT);
        QVERIFY(closer.seen());
        QCOMPARE(atOpening, (QStringList{QStringLiteral("J1"), QStringLiteral("J2")}));
        QCOMPARE(afterPick, (QStringList{QStringLiteral("J2"), QStringLiteral("J1")}));
    }

    // --- nothing lost without a question ---------------------------------------------

    void closingAsksWhenDataWereNotExported_data() {
        QTest::addColumn<bool>("modified");
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<bool>("asked");
        QTest::newRow("saved") << false << QMessageBox::No << true << false;
        QTest::newRow("keep") << true << QMessageBox::No << false << true;
        QTest::newRow("discard") << true << QMessageBox::Yes << true << true;
    }
    void closingAsksWhenDataWereNotExported() {
        QFETCH(bool, modified);
        QFETCH(QMessageBox::StandardButton, answer);
        importSurvey();
        if (modified)
            table().setText(0, ColRemark, "x");
        test::MessageBoxAnswerer boxes({answer});
        QTEST(m_frame->close(), "closed");
        QTEST(!boxes.seen().empty(), "asked");
        if (!boxes.seen().empty()) {
            const auto& seen = boxes.seen().front();
            QCOMPARE(seen.text, QStringLiteral("当前数据尚未导出，是否放弃修改？"));
            QCOMPARE(seen.title, QStringLiteral("Corvane"));
            QCOMPARE(seen.icon, QMessageBox::Question);
            QCOMPARE(seen.defaultButton, QMessageBox::No);
            QCOMPARE(seen.details, QStringLiteral("放弃后，1 个点上尚未导出的修改将丢失。"));
        }
    }

    void theQuestionCountsTheChangedPoints() {
        importSurvey();
        table().setText(0, ColRemark, "x");
        table().setText(0, ColDistance, "5");
        table().setText(2, ColRemark, "y");
        table().setChecked(1, true);
        test::MessageBoxAnswerer boxes({QMessageBox::No});
        QVERIFY(!m_frame->close());
        QCOMPARE(boxes.seen().at(0).details,
                 QStringLiteral("放弃后，2 个点上尚未导出的修改将丢失。"));
    }

    // Typed text in an open cell editor, then a way of giving up the table: the text is
    // stored first and the question is asked about it.
    void typedTextIsStoredBeforeTheQuestion_data() {
        QTest::addColumn<int>("way");
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        const char* ways[] = {"close", "exit", "new", "import", "recent file", "drop"};
        for (int w = 0; w < int(std::size(ways)); ++w) {
            QTest::addRow("%s, no", ways[w]) << w << QMessageBox::No;
            QTest::addRow("%s, yes", ways[w]) << w << QMessageBox::Yes;
        }
    }
    void typedTextIsStoredBeforeTheQuestion() {
        QFETCH(int, way);
        QFETCH(QMessageBox::StandardButton, answer);
        enum { Close, Exit, New, Import, Recent, Drop };
        const QString second = writeSurvey("second.ept");
        QVERIFY(m_frame->document()->importFile(second, PointFileFormat::Ept));
        importSurvey();
        m_dialogs.answers.push_back(FileChoice{second, 1});
        QLineEdit* edit = typeIntoACell(QStringLiteral("typed"));
        QVERIFY(edit);

        test::MessageBoxAnswerer boxes({answer});
        switch (way) {
            case Close:
                m_frame->close();
                break;
            case Exit:
                trigger(ID_APP_EXIT);
                break;
            case New:
                trigger(ID_FILE_NEW);
                break;
            case Import:
                trigger(ID_FILE_OPEN);
                break;
            case Recent:
                QVERIFY(recentAction(second));
                recentAction(second)->trigger();
                break;
            case Drop:
                drop(second);
                break;
        }
        QTRY_COMPARE(boxes.seen().size(), size_t(1));
        QCOMPARE(boxes.seen().front().text, QStringLiteral("当前数据尚未导出，是否放弃修改？"));
        QCOMPARE(boxes.seen().front().details,
                 QStringLiteral("放弃后，1 个点上尚未导出的修改将丢失。"));
        QVERIFY(!m_frame->view()->list()->openEditor());
        if (answer == QMessageBox::No) {
            QVERIFY(m_frame->isVisible());
            QCOMPARE(text(table(), 1, ColRemark), QStringLiteral("typed"));
            QVERIFY(table().isModified());
            QVERIFY(m_dialogs.filtersAsked.isEmpty());
            QVERIFY(m_frame->windowTitle().contains(QStringLiteral("survey.ept")));
            return;
        }
        switch (way) {
            case Close:
            case Exit:
                QVERIFY(!m_frame->isVisible());
                break;
            case New:
                QCOMPARE(table().rowCount(), 0);
                QCOMPARE(m_frame->windowTitle(), QStringLiteral("Tessaly - Corvane"));
                break;
            default:
                QTRY_VERIFY(m_frame->windowTitle().contains(QStringLiteral("second.ept")));
                QCOMPARE(table().rowCount(), 3);
                QCOMPARE(text(table(), 1, ColRemark), QString());
                QVERIFY(!table().isModified());
                break;
        }
    }

    void ctrlKeysInAnOpenEditorGoToTheEditor() {
        importSurvey();
        m_dialogs.answers.push_back(FileChoice{writeSurvey("second.ept"), 1});
        QLineEdit* edit = typeIntoACell(QStringLiteral("typed"));
        QVERIFY(edit);
        test::MessageBoxAnswerer boxes({QMessageBox::Yes});
        for (Qt::Key key : {Qt::Key_N, Qt::Key_O, Qt::Key_S})
            QTest::keyClick(edit, key, Qt::ControlModifier);
        QTest::qWait(20);
        QVERIFY(boxes.seen().empty());
        QVERIFY(m_dialogs.filtersAsked.isEmpty());
        QCOMPARE(m_frame->view()->list()->openEditor(), edit);
        QCOMPARE(edit->text(), QStringLiteral("typed"));
        // Ctrl+Z undoes the typing in the editor, not a step of the table.
        QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(edit->text() != QStringLiteral("typed"));
        QCOMPARE(QString::fromStdString(table().undoLabel()), QStringLiteral("导入"));
        QCOMPARE(table().rowCount(), 3);
    }

    void undoingAnImportBringsBackTheFormerCaption() {
        const QString second = writeSurvey("second.ept");
        importSurvey();
        const QString first = m_frame->windowTitle();
        QVERIFY(first.contains(QStringLiteral("survey.ept")));
        QVERIFY(m_frame->document()->importFile(second, PointFileFormat::Ept));
        QVERIFY(m_frame->windowTitle().contains(QStringLiteral("second.ept")));
        trigger(ID_EDIT_UNDO);
        QCOMPARE(m_frame->windowTitle(), first);
        trigger(ID_EDIT_UNDO);
        QCOMPARE(m_frame->windowTitle(), QStringLiteral("Tessaly - Corvane"));
        trigger(ID_EDIT_REDO);
        QCOMPARE(m_frame->windowTitle(), first);
    }

    void closingSavesTheWindowLayout() {
        QVERIFY(m_frame->close());
        QVERIFY(!m_settings->windowGeometry().isEmpty());
        QVERIFY(!m_settings->windowState().isEmpty());
    }

    void newEmptiesTheTableAfterTheQuestion_data() {
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::addColumn<int>("rows");
        QTest::newRow("no") << QMessageBox::No << 3;
        QTest::newRow("yes") << QMessageBox::Yes << 0;
    }
    void newEmptiesTheTableAfterTheQuestion() {
        QFETCH(int, rows);
        QFETCH(QMessageBox::StandardButton, answer);
        importSurvey();
        table().setText(0, ColRemark, "x");
        m_frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_frame.get()));
        test::MessageBoxAnswerer boxes({answer});
        QTest::keyClick(m_frame.get(), Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(boxes.seen().size(), size_t(1));
        QCOMPARE(table().rowCount(), rows);
        if (rows == 0) {
            QCOMPARE(m_frame->windowTitle(), QStringLiteral("Tessaly - Corvane"));
            QVERIFY(!table().isModified());
            QVERIFY(table().otherLines().empty());
        }
    }

    void importAsksBeforeReplacingChanges() {
        importSurvey();
        table().setText(0, ColRemark, "x");
        m_dialogs.answers.push_back(FileChoice{writeSurvey("second.ept"), 1});
        {
            test::MessageBoxAnswerer boxes({QMessageBox::No});
            trigger(ID_FILE_OPEN);
            QCOMPARE(boxes.seen().size(), size_t(1));
        }
        QVERIFY(m_dialogs.filtersAsked.isEmpty());  // declined before the dialog
        QCOMPARE(text(table(), 0, ColRemark), QStringLiteral("x"));
        {
            test::MessageBoxAnswerer boxes({QMessageBox::Yes});
            trigger(ID_FILE_OPEN);
        }
        QCOMPARE(m_dialogs.filtersAsked.value(0),
                 (QStringList{QStringLiteral("电力线测量数据文件(*.ept)"),
                              QStringLiteral("电力测量数据文件(*.csv)")} +
                  geoImportFilters()));
        QCOMPARE(m_dialogs.initialFilters.value(0), 1);
        QCOMPARE(text(table(), 0, ColRemark), QString());
        QVERIFY(!table().isModified());
    }

    void aDroppedFileIsImported() {
        const QString file = writeSurvey("dropped.ept");
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(file)});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QCoreApplication::sendEvent(m_frame.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(m_frame.get(), &drop);
        QTRY_COMPARE(table().rowCount(), 3);
        QCOMPARE(m_frame->windowTitle(),
                 QStringLiteral("Tessaly - Corvane [ %1 ]").arg(QDir::toNativeSeparators(file)));
    }

    void aFailedImportLeavesEverythingAsItWas() {
        importSurvey();
        const QString caption = m_frame->windowTitle();
        test::MessageBoxAnswerer boxes;
        QVERIFY(!m_frame->document()->importFile(path("missing.ept"), PointFileFormat::Ept));
        QCOMPARE(boxes.seen().size(), size_t(1));
        QCOMPARE(boxes.seen().front().icon, QMessageBox::Critical);
        QVERIFY(boxes.seen().front().text.contains(QStringLiteral("missing.ept")));
        QCOMPARE(table().rowCount(), 3);
        QCOMPARE(m_frame->windowTitle(), caption);
    }

    // The import dialog's file type decides the layout; without a dialog (recent files,
    // a drop, the command line) the extension does.
    void importFormatFollowsTheChoice_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("pointFile");  // the file holds a point file, else raw data
        QTest::addColumn<int>("filter");      // 0: opened without the dialog
        QTest::addColumn<QString>("north");
        QTest::newRow("raw data named .ept, csv type")
            << QStringLiteral("a.ept") << false << 2 << QStringLiteral("101.5");
        QTest::newRow("point file named .csv, ept type")
            << QStringLiteral("b.csv") << true << 1 << QStringLiteral("0");
        QTest::newRow("raw data named .txt, csv type")
            << QStringLiteral("c.txt") << false << 2 << QStringLiteral("101.5");
        QTest::newRow("raw data named .csv, no dialog")
            << QStringLiteral("d.csv") << false << 0 << QStringLiteral("101.5");
        QTest::newRow("point file named .ept, no dialog")
            << QStringLiteral("e.ept") << true << 0 << QStringLiteral("0");
    }
    void importFormatFollowsTheChoice() {
        QFETCH(QString, name);
        QFETCH(bool, pointFile);
        QFETCH(int, filter);
        const QString file = m_dir.filePath(name);
        QFile::remove(file);
        if (pointFile) {
            QVERIFY(QFile::copy(writeSurvey("format.ept"), file));
        } else {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write("P1,code,101.5,202.5,12.5\n");
        }
        if (filter == 0) {
            QVERIFY(m_frame->document()->openFile(file));
        } else {
            m_dialogs.answers.push_back(FileChoice{file, filter});
            trigger(ID_FILE_OPEN);
        }
        QTEST(text(table(), 0, ColNorth), "north");
    }

    // --- export ----------------------------------------------------------------------

    void exportRemembersTheFileType() {
        importSurvey();
        m_dialogs.answers.push_back(FileChoice{path("typed.csv"), 3});
        {
            test::MessageBoxAnswerer boxes;
            trigger(ID_FILE_SAVE);
            QCOMPARE(boxes.texts(), QStringList{QStringLiteral("测量数据输出完毕！")});
            QCOMPARE(boxes.seen().front().icon, QMessageBox::Information);
        }
        QCOMPARE(m_dialogs.initialFilters.value(0), 1);
        QCOMPARE(m_dialogs.filtersAsked.value(0),
                 (QStringList{QStringLiteral("道亨格式文件(*.org)"),
                              QStringLiteral("电力线测量数据文件(*.ept)"),
                              QStringLiteral("Excel 文件(*.csv)"),
                              QStringLiteral("AutoCAD DXF数据文件(*.dxf)")} +
                  geoExportFilters()));
        QCOMPARE(m_settings->exportFileFilter(), 3);
        QVERIFY(readFile(path("typed.csv")).startsWith(QByteArray("\xb5\xe3\xc3\xfb")));  // 点名

        // Cancelling keeps the remembered type, and the next dialog opens with it.
        trigger(ID_FILE_SAVE);
        QCOMPARE(m_dialogs.initialFilters.value(1), 3);
        QCOMPARE(m_settings->exportFileFilter(), 3);
    }

    void exportOfOrgSaysWhatTheFileLeavesOut() {
        importSurvey();
        m_dialogs.answers.push_back(FileChoice{path("line.org"), 1});
        // The check before a ".org" export may ask first; the completion comes last.
        test::MessageBoxAnswerer boxes({QMessageBox::Yes, QMessageBox::Ok});
        trigger(ID_FILE_SAVE);
        QVERIFY(!boxes.texts().isEmpty());
        QCOMPARE(boxes.texts().last(),
                 QStringLiteral("测量数据输出完毕！\n没有电力线点列表，没有写出转角记录。"));
        QVERIFY(QFile::exists(path("line.org")));

        OrgReport report;
        report.unknownType = 12;
        report.unusedGroupRows = 1;
        QCOMPARE(
            CCorvaneDoc::exportDoneMessage(ExportType::Org, report),
            QStringLiteral("测量数据输出完毕！\n12 行未写出：点类型不是已知的类型。\n"
                           "1 行未写出：“2点测路河塘房等”或“3点测房”的点没有用在任何对象中。"));
        QCOMPARE(CCorvaneDoc::exportDoneMessage(ExportType::Org, OrgReport{}),
                 QStringLiteral("测量数据输出完毕！"));
        QCOMPARE(CCorvaneDoc::exportDoneMessage(ExportType::Csv, report),
                 QStringLiteral("测量数据输出完毕！"));
    }

    // --- computations ----------------------------------------------------------------

    void calculationWithAResultTooLargeKeepsTheTable() {
        table().replaceAll(
            {rowOf({.name = "J1",
                    .north = "0",
                    .east = "0",
                    .start = "J1",
                    .end = "J2",
                    .type = kJStake}),
             rowOf({.name = "P1", .north = "5", .east = "1", .start = "J1", .end = "J2"}),
             rowOf({.name = "P2", .north = "1e308", .east = "-1e308", .start = "J1", .end = "J2"}),
             rowOf({.name = "J2",
                    .north = "10",
                    .east = "0",
                    .start = "J2",
                    .end = "J2",
                    .type = kJStake})},
            {});
        table().clearHistory();
        {
            test::MessageBoxAnswerer boxes;
            trigger(ID_LIST_DATA_CALCULATION);
            QCOMPARE(boxes.texts(),
                     QStringList{QStringLiteral(
                         "第 3 行“累距[m]”列的计算结果不是有限的数（坐标或里程过大）。")});
            QCOMPARE(boxes.seen().front().icon, QMessageBox::Critical);
            QCOMPARE(boxes.seen().front().details, QStringLiteral("表格没有改动。"));
        }
        QCOMPARE(text(table(), 1, ColDistance), QString());
        QCOMPARE(text(table(), 2, ColDistance), QString());
        QVERIFY(!table().canUndo());
        QCOMPARE(m_frame->view()->list()->currentIndex().row(), 2);
    }

    void exportAppendsTheExtensionAndAsksBeforeReplacing_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written");
        QTest::addColumn<bool>("exists");
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("replaced");
        QTest::newRow("new file") << QStringLiteral("out") << QStringLiteral("out.ept") << false
                                  << QMessageBox::Ok << false << true;
        QTest::newRow("exists, keep") << QStringLiteral("out") << QStringLiteral("out.ept") << true
                                      << QMessageBox::No << true << false;
        QTest::newRow("exists, replace") << QStringLiteral("out") << QStringLiteral("out.ept")
                                         << true << QMessageBox::Yes << true << true;
        QTest::newRow("named exactly") << QStringLiteral("out.ept") << QStringLiteral("out.ept")
                                       << true << QMessageBox::Ok << false << true;
        QTest::newRow("capitals") << QStringLiteral("out.EPT") << QStringLiteral("out.EPT.ept")
                                  << false << QMessageBox::Ok << false << true;
    }
    void exportAppendsTheExtensionAndAsksBeforeReplacing() {
        QFETCH(QString, typed);
        QFETCH(QString, written);
        QFETCH(bool, exists);
        QFETCH(QMessageBox::StandardButton, answer);
        QFETCH(bool, asked);
        QFETCH(bool, replaced);
        importSurvey();
        // Both names: where letter case makes no difference (Windows) an earlier row's
        // "out.ept" is also "out.EPT".
        QDir(m_dir.path()).remove(written);
        QDir(m_dir.path()).remove(typed);
        if (exists) {
            QFile f(m_dir.filePath(written));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("old");
        }
        m_dialogs.answers.push_back(FileChoice{m_dir.filePath(typed), 2});
        test::MessageBoxAnswerer boxes({answer, QMessageBox::Ok});
        trigger(ID_FILE_SAVE);
        const QStringList texts = boxes.texts();
        const QString question = QStringLiteral("文件“%1”已存在，是否替换？")
                                     .arg(QDir::toNativeSeparators(m_dir.filePath(written)));
        QCOMPARE(texts.contains(question), asked);
        const QByteArray bytes = readFile(m_dir.filePath(written));
        QCOMPARE(bytes != "old", replaced);
        if (replaced) {
            QVERIFY(bytes.startsWith("header line\r\nJ1,"));
            QVERIFY(texts.contains(QStringLiteral("测量数据输出完毕！")));
            QVERIFY(!table().isModified());
        }
        if (!exists)
            QVERIFY(!QFile::exists(m_dir.filePath(typed)) || typed == written);
    }

    void exportUnderAFilterAsksFirst_data() {
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::addColumn<bool>("written");
        QTest::newRow("no cancels") << QMessageBox::No << false;
        QTest::newRow("yes writes the rows shown") << QMessageBox::Yes << true;
    }
    void exportUnderAFilterAsksFirst() {
        QFETCH(QMessageBox::StandardButton, answer);
        QFETCH(bool, written);
        importSurvey();
        table().setDisplayMode(DisplayMode::JStakes);
        QFile::remove(path("shown.ept"));
        m_dialogs.answers.push_back(FileChoice{path("shown.ept"), 2});
        test::MessageBoxAnswerer boxes({answer, QMessageBox::Ok});
        trigger(ID_FILE_SAVE);
        QCOMPARE(boxes.seen().front().text,
                 QStringLiteral("当前只显示了 2 个点（共 3 个点），是否只导出显示的 2 个点？"));
        QCOMPARE(boxes.seen().front().defaultButton, QMessageBox::No);
        QCOMPARE(m_dialogs.filtersAsked.size(), written ? 1 : 0);
        QCOMPARE(QFile::exists(path("shown.ept")), written);
        if (written) {
            QCOMPARE(readFile(path("shown.ept")).count("\r\n"), 3);  // other line + 2 stakes
            // Part of the table is not everything: the changes still count as not exported.
            table().setDisplayMode(DisplayMode::AllPoints);
        }
    }

    void onlyAnEptOfTheWholeTableCountsAsSaved_data() {
        QTest::addColumn<int>("filter");
        QTest::addColumn<bool>("modified");
        QTest::newRow("ept") << 2 << false;
        QTest::newRow("csv") << 3 << true;
    }
    void onlyAnEptOfTheWholeTableCountsAsSaved() {
        QFETCH(int, filter);
        importSurvey();
        table().setText(0, ColRemark, "x");
        m_dialogs.answers.push_back(FileChoice{path("saved"), filter});
        test::MessageBoxAnswerer boxes({QMessageBox::Ok});
        trigger(ID_FILE_SAVE);
        QTEST(table().isModified(), "modified");
    }

    void anOrgErrorSelectsTheRow() {
        importSurvey();
        table().setText(1, ColSegmentEnd, "nowhere");
        QFile::remove(path("line.org"));
        m_dialogs.answers.push_back(FileChoice{path("line"), 1});
        // The check finds the error first and asks; going on behaves as before.
        test::MessageBoxAnswerer boxes({QMessageBox::Yes});
        trigger(ID_FILE_SAVE);
        QCOMPARE(boxes.seen().size(), size_t(2));
        QCOMPARE(boxes.seen().front().icon, QMessageBox::Question);
        QVERIFY(boxes.seen().front().text.contains(QStringLiteral("数据检查发现")));
        QCOMPARE(boxes.seen().back().text,
                 QStringLiteral("测量点 [ P1 ] 没有找到所属的电力线点，请检查！"));
        QCOMPARE(boxes.seen().back().icon, QMessageBox::Critical);
        QVERIFY(boxes.seen().back().details.contains(QStringLiteral("line.org")));
        QVERIFY(!QFile::exists(path("line.org")));
        QCOMPARE(m_settings->exportFileFilter(), 1);
        QAbstractItemView* list = m_frame->view()->list();
        QCOMPARE(list->currentIndex().row(), 1);
        QVERIFY(list->selectionModel()->isRowSelected(1, QModelIndex()));
    }

    void anUnwritableExportSaysSo() {
        importSurvey();
        m_dialogs.answers.push_back(FileChoice{path("no/such/folder/out.ept"), 2});
        test::MessageBoxAnswerer boxes;
        trigger(ID_FILE_SAVE);
        QCOMPARE(boxes.seen().size(), size_t(1));
        QCOMPARE(boxes.seen().front().icon, QMessageBox::Critical);
        QVERIFY(boxes.seen().front().text.contains(QStringLiteral("out.ept")));
    }
};

}  // namespace corvane

QTEST_MAIN(corvane::MainFrameTest)
#include "mainframe_test.moc"
