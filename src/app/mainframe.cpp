#include "mainframe.h"

#include <algorithm>
#include <memory>

#include <QActionGroup>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressBar>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include "aboutdlg.h"
#include "analysisdocks.h"
#include "appicons.h"
#include "columns.h"
#include "commandids.h"
#include "corvanedoc.h"
#include "corvaneview.h"
#include "cursorposition.h"
#include "drawingarea.h"
#include "filedialogs.h"
#include "filemeragedlg.h"
#include "geodocument.h"
#include "listcommands.h"
#include "listctrlex.h"
#include "longoperation.h"
#include "looks.h"
#include "messagebox.h"
#include "pathtext.h"
#include "pointtable.h"
#include "recoverycopy.h"
#include "recoverykeeper.h"
#include "recoveryoffer.h"
#include "settings.h"
#include "tablelistener.h"
#include "tablework.h"

namespace corvane {

/// Brings the commands' states up to date whenever the table's history, display
/// mode or lists change.
class CMainFrame::StateWatcher : public TableListener {
public:
    StateWatcher(PointTable& table, CMainFrame& frame) : m_table(table), m_frame(frame) {
        m_table.addListener(this);
    }
    ~StateWatcher() override { m_table.removeListener(this); }

    void stateChanged() override {
        m_frame.updateCommandStates();
        m_frame.updateCaption();
    }

private:
    PointTable& m_table;
    CMainFrame& m_frame;
};

namespace {

QIcon commandIcon(const char16_t* name) {
    return appIcon(QString::fromUtf16(name));
}

}  // namespace

CMainFrame::CMainFrame(CorvaneSettings& settings, QWidget* parent)
    : QMainWindow(parent),
      m_settings(settings),
      m_table(std::make_unique<PointTable>()),
      m_dialogs(&systemFileDialogs()) {
    setObjectName(QStringLiteral("MainFrame"));
    setWindowTitle(defaultCaption());
    setWindowIcon(appIcon(QStringLiteral("corvane")));
    setAcceptDrops(true);
    m_nLook = m_settings.applicationLook();

    m_doc = new CCorvaneDoc(*m_table, m_settings, this);
    m_view = new CCorvaneView(*m_table, m_settings, this);
    setCentralWidget(m_view);

    createMenus();
    createToolBar();
    createStatusBar();
    connectView();
    installAnalysisDocks(*this);
    // A cell still being edited is stored before any question about unsaved changes.
    m_doc->setOpenEditCommitter([this] {
        if (m_view)
            m_view->list()->commitOpenEdit();
    });
    connect(m_doc, &CCorvaneDoc::imported, this, &CMainFrame::onImported);
    connect(m_doc, &CCorvaneDoc::problemAtRow, this, &CMainFrame::selectRow);
    connect(m_doc, &CCorvaneDoc::statusMessage, this, &CMainFrame::showStatus);
    // The plan cursor's place, with latitude and longitude once a system is chosen.
    auto cursorText = std::make_shared<CursorPositionText>();
    cursorText->setCoordinateSystem(m_settings.coordinateSystem());
    connect(
        m_doc, &CCorvaneDoc::coordinateSystemChanged, this,
        [this, cursorText](const QString& label) {
            cursorText->setCoordinateSystem(m_settings.coordinateSystem());
            if (auto* pane = statusBar()->findChild<QLabel*>(QStringLiteral("CoordinateSystem")))
                pane->setText(label);
        });
    connect(m_view->drawingArea(), &DrawingArea::cursorMoved, this,
            [this, cursorText](double north, double east) {
                if (auto* pane = statusBar()->findChild<QLabel*>(QStringLiteral("CursorPosition")))
                    pane->setText(cursorText->textFor(north, east));
            });
    connect(m_view->drawingArea(), &DrawingArea::cursorLeft, this, [this] {
        if (auto* pane = statusBar()->findChild<QLabel*>(QStringLiteral("CursorPosition")))
            pane->clear();
    });

    OnApplicationLook(m_nLook);
    // The first start fills the screen even where nothing maximises windows.
    if (!restoreGeometry(m_settings.windowGeometry()) && screen())
        setGeometry(screen()->availableGeometry());
    else
        keepOnScreen();
    restoreState(m_settings.windowState());

    m_watcher = std::make_unique<StateWatcher>(*m_table, *this);
    updateRecentFileMenu();
    updateCommandStates();
}

CMainFrame::~CMainFrame() {
    // The view, the watcher and the recovery keeper listen to the table; they go before
    // it does. The keeper's going is the clean exit that removes the copy.
    m_recovery.reset();
    m_watcher.reset();
    delete m_view;
    m_view = nullptr;
}

QString CMainFrame::defaultCaption() {
    return QStringLiteral("Tessaly - Corvane");
}

QAction* CMainFrame::commandAction(int id) const {
    auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

void CMainFrame::setFileDialogs(FileDialogs& dialogs) {
    m_dialogs = &dialogs;
    m_doc->setFileDialogs(dialogs);
}

QAction* CMainFrame::addCommand(QMenu* menu, int id, const QString& text, const QString& prompt,
                                const QKeySequence& shortcut) {
    auto* action = new QAction(text, this);
    action->setData(id);
    const qsizetype split = prompt.indexOf(u'\n');
    action->setStatusTip(split < 0 ? prompt : prompt.left(split));
    if (split >= 0)
        action->setToolTip(prompt.mid(split + 1));
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    if (menu)
        menu->addAction(action);
    // On the window too, so that the keys work whatever has the focus.
    addAction(action);
    m_actions[id] = action;
    return action;
}

void CMainFrame::createMenus() {
    createFileMenu();
    createEditMenu();
    createListMenu();
    createViewMenu();
    QMenu* help = menuBar()->addMenu(QStringLiteral("帮助(&H)"));
    QAction* about = addCommand(help, ID_APP_ABOUT, QStringLiteral("关于 Corvane(&A)..."),
                                QStringLiteral("显示程序信息、版本号和版权\n关于"));
    about->setIcon(commandIcon(u"about"));
    connect(about, &QAction::triggered, this, &CMainFrame::OnAppAbout);
}

void CMainFrame::createFileMenu() {
    m_fileMenu = menuBar()->addMenu(QStringLiteral("文件(&F)"));
    QAction* open = addCommand(m_fileMenu, ID_FILE_OPEN, QStringLiteral("导入原始数据(&O)..."),
                               QStringLiteral("导入原始的外业电力测量数据\n导入数据"),
                               QKeySequence(Qt::CTRL | Qt::Key_O));
    open->setIcon(commandIcon(u"import"));
    connect(open, &QAction::triggered, m_doc, &CCorvaneDoc::OnFileImport);
    QAction* save = addCommand(m_fileMenu, ID_FILE_SAVE, QStringLiteral("导出计算数据(&S)"),
                               QStringLiteral("将当前计算的电力数据导出\n导出数据"),
                               QKeySequence(Qt::CTRL | Qt::Key_S));
    save->setIcon(commandIcon(u"export"));
    connect(save, &QAction::triggered, m_doc, &CCorvaneDoc::OnFileExport);
    m_fileMenu->addSeparator();
    QAction* merge = addCommand(m_fileMenu, ID_FILE_MERGE, QStringLiteral("文件合并(&M)..."),
                                QStringLiteral("将电力线文件进行合并\n文件合并"));
    connect(merge, &QAction::triggered, this, &CMainFrame::OnFileMerge);

    m_recentSeparator = m_fileMenu->addSeparator();
    for (int i = 0; i < CorvaneSettings::kRecentFileCount; ++i) {
        auto* recent = new QAction(this);
        recent->setVisible(false);
        connect(recent, &QAction::triggered, this,
                [this, recent] { openFile(recent->data().toString()); });
        m_fileMenu->addAction(recent);
        m_recentActions.append(recent);
    }

    m_fileMenu->addSeparator();
    QAction* exit = addCommand(m_fileMenu, ID_APP_EXIT, QStringLiteral("退出(&X)"),
                               QStringLiteral("退出应用程序；提示保存文档\n退出"));
    exit->setMenuRole(QAction::QuitRole);
    connect(exit, &QAction::triggered, this, &QWidget::close);

    // Ctrl+N has no menu item.
    QAction* fresh =
        addCommand(nullptr, ID_FILE_NEW, QStringLiteral("新建(&N)"),
                   QStringLiteral("清空当前数据\n新建"), QKeySequence(Qt::CTRL | Qt::Key_N));
    connect(fresh, &QAction::triggered, this, &CMainFrame::OnFileNew);
}

void CMainFrame::createEditMenu() {
    QMenu* edit = menuBar()->addMenu(QStringLiteral("编辑(&E)"));
    QAction* undo = addCommand(edit, ID_EDIT_UNDO, QStringLiteral("撤销(&U)"),
                               QStringLiteral("撤销上一步操作\n撤销"));
    undo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::ALT | Qt::Key_Backspace)});
    connect(undo, &QAction::triggered, this, &CMainFrame::OnEditUndo);
    QAction* redo = addCommand(edit, ID_EDIT_REDO, QStringLiteral("重做(&R)"),
                               QStringLiteral("重做上一步撤销的操作\n重做"),
                               QKeySequence(Qt::CTRL | Qt::Key_Y));
    connect(redo, &QAction::triggered, this, &CMainFrame::OnEditRedo);
    edit->addSeparator();
    QAction* copy = addCommand(edit, ID_EDIT_COPY, QStringLiteral("复制(&C)"),
                               QStringLiteral("将选择的行复制到剪贴板\n复制"));
    copy->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)});
    QAction* paste = addCommand(edit, ID_EDIT_PASTE, QStringLiteral("粘贴(&P)"),
                                QStringLiteral("从当前单元格起粘贴剪贴板中的表格\n粘贴"));
    paste->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert)});
    // Cells are not emptied through the clipboard, so the cut keys copy.
    QAction* cut = addCommand(nullptr, ID_EDIT_CUT, QStringLiteral("剪切(&T)"),
                              QStringLiteral("将选择的行复制到剪贴板\n剪切"));
    cut->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::SHIFT | Qt::Key_Delete)});
}

void CMainFrame::createListMenu() {
    QMenu* list = menuBar()->addMenu(QStringLiteral("列表(&L)"));
    const auto add = [&](int id, const char16_t* icon = nullptr) {
        const ListCommandText t = listCommandText(id);
        QAction* action = addCommand(list, id, t.text, t.prompt + u'\n' + t.tip);
        if (icon)
            action->setIcon(commandIcon(icon));
    };
    add(ID_LIST_INSERT_ROW);
    add(ID_LIST_DELETE_CHECKED, u"deletechecked");
    list->addSeparator();
    add(ID_LIST_MOVE_UP, u"moveup");
    add(ID_LIST_MOVE_DOWN, u"movedown");
    add(ID_LIST_MOVE_FIRST);
    add(ID_LIST_MOVE_LAST);
    list->addSeparator();
    add(ID_LIST_COPY_LINE_TO_CHECKED);
    list->addSeparator();
    add(ID_LIST_LINE_POINT_SELECT, u"linepoints");
    list->addSeparator();
    add(ID_LIST_DATA_CALCULATION, u"calculate");
    add(ID_LIST_AUTO_SELECT_LINE, u"autoselect");
    list->addSeparator();
    add(ID_LIST_POINT_PROJECT);
}

void CMainFrame::createViewMenu() {
    QMenu* view = menuBar()->addMenu(QStringLiteral("视图(&V)"));
    QMenu* bars = view->addMenu(QStringLiteral("工具栏和停靠窗口(&T)"));
    bars->menuAction()->setData(ID_VIEW_TOOLBAR);
    QAction* statusBarAction = addCommand(view, ID_VIEW_STATUS_BAR, QStringLiteral("状态栏(&S)"),
                                          QStringLiteral("显示或隐藏状态栏\n切换状态栏"));
    statusBarAction->setCheckable(true);
    statusBarAction->setChecked(true);
    connect(statusBarAction, &QAction::toggled, this,
            [this](bool on) { statusBar()->setVisible(on); });
    view->addSeparator();

    QMenu* looks = view->addMenu(QStringLiteral("应用程序外观(&A)"));
    QMenu* office2007 = nullptr;
    m_lookGroup = new QActionGroup(this);
    m_lookGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (const LookInfo& look : applicationLooks()) {
        if (look.office2007 && !office2007)
            office2007 = looks->addMenu(QStringLiteral("Office 2007(&7)"));
        QAction* action = addCommand(look.office2007 ? office2007 : looks, look.id,
                                     QString::fromUtf16(look.menuText), QString());
        action->setCheckable(true);
        m_lookGroup->addAction(action);
        const int id = look.id;
        connect(action, &QAction::triggered, this, [this, id] { OnApplicationLook(id); });
    }
    view->addSeparator();

    addCommand(view, ID_VIEW_FIT_ALL, QStringLiteral("全显视图(&A)"),
               QStringLiteral("在图形上全部显示图形\n全显视图"))
        ->setIcon(commandIcon(u"fitall"));
    addCommand(view, ID_VIEW_SPLIT_RATIO, QStringLiteral("视图分隔比例(I)..."),
               QStringLiteral("视图分隔比例\n视图分隔比例"));
    view->addSeparator();
    m_filterGroup = new QActionGroup(this);
    m_filterGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (QAction* action :
         {addCommand(view, ID_VIEW_SHOW_ALL_POINTS, QStringLiteral("显示所有点(L)"),
                     QStringLiteral("显示所有的点\n显示所有点")),
          addCommand(view, ID_VIEW_SHOW_J_STAKES, QStringLiteral("仅显示J桩(&J)"),
                     QStringLiteral("仅显示J桩点\n仅显示J桩点")),
          addCommand(view, ID_VIEW_SHOW_Z_STAKES, QStringLiteral("仅显示Z桩(&Z)"),
                     QStringLiteral("仅显示Z桩点\n仅显示Z桩点"))}) {
        action->setCheckable(true);
        m_filterGroup->addAction(action);
    }
    view->addSeparator();
    addCommand(view, ID_VIEW_SORT_BY_DISTANCE, QStringLiteral("按累距排序显示(&D)"),
               QStringLiteral("按累距排序显示\n按累距排序"));
}

void CMainFrame::createToolBar() {
    m_toolBar = new QToolBar(QStringLiteral("标准"), this);
    m_toolBar->setObjectName(QStringLiteral("StandardToolBar"));
    m_toolBar->setIconSize(QSize(16, 16));
    m_toolBar->setMovable(true);
    addToolBar(Qt::TopToolBarArea, m_toolBar);
    const int layout[] = {ID_FILE_OPEN,
                          ID_FILE_SAVE,
                          0,
                          ID_LIST_MOVE_UP,
                          ID_LIST_MOVE_DOWN,
                          ID_LIST_DELETE_CHECKED,
                          0,
                          ID_LIST_LINE_POINT_SELECT,
                          0,
                          ID_LIST_AUTO_SELECT_LINE,
                          ID_LIST_DATA_CALCULATION,
                          0,
                          ID_VIEW_FIT_ALL,
                          0,
                          ID_APP_ABOUT};
    for (int id : layout) {
        if (id == 0)
            m_toolBar->addSeparator();
        else
            m_toolBar->addAction(commandAction(id));
    }
    // The bars submenu lists the tool bar with a check mark for showing it.
    for (QAction* action : menuBar()->actions()) {
        QMenu* menu = action->menu();
        if (!menu)
            continue;
        for (QAction* item : menu->actions())
            if (item->menu() && item->data().toInt() == ID_VIEW_TOOLBAR)
                item->menu()->addAction(m_toolBar->toggleViewAction());
    }
}

void CMainFrame::createStatusBar() {
    auto* ready = new QLabel(QStringLiteral("就绪"), this);
    ready->setObjectName(QStringLiteral("IdleText"));
    statusBar()->addWidget(ready, 1);
    // Shown by long operations: the readers and writers do not report their steps,
    // so it says "busy" rather than how far.
    auto* busy = new QProgressBar(this);
    busy->setObjectName(QStringLiteral("BusyIndicator"));
    busy->setRange(0, 0);
    busy->setTextVisible(false);
    busy->setFixedSize(160, 14);
    busy->hide();
    statusBar()->addPermanentWidget(busy);
    // Kept apart from the messages: the next message must not take it away.
    auto* hidden = new QLabel(this);
    hidden->setObjectName(QStringLiteral("HiddenLabels"));
    hidden->hide();
    statusBar()->addPermanentWidget(hidden);
    auto* cursor = new QLabel(this);
    cursor->setObjectName(QStringLiteral("CursorPosition"));
    statusBar()->addPermanentWidget(cursor);
    // The coordinate system the map and GIS files are read and written in.
    auto* system = new QLabel(coordinateSystemLabel(m_settings.coordinateSystem()), this);
    system->setObjectName(QStringLiteral("CoordinateSystem"));
    statusBar()->addPermanentWidget(system);
    for (const char16_t* indicator : {u"CAP", u"NUM", u"SCRL"}) {
        auto* pane = new QLabel(QString::fromUtf16(indicator), this);
        pane->setObjectName(QString::fromUtf16(indicator));
        pane->setAlignment(Qt::AlignCenter);
        pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(QStringLiteral("SCRL")) + 12);
        pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        // Lock key states are not portably readable; shown dimmed like a key that is off.
        pane->setEnabled(false);
        statusBar()->addPermanentWidget(pane);
    }
}

void CMainFrame::connectView() {
    auto bind = [this](int id, auto slot) {
        connect(commandAction(id), &QAction::triggered, m_view, slot);
    };
    bind(ID_LIST_INSERT_ROW, &CCorvaneView::OnInsertRow);
    bind(ID_LIST_DELETE_CHECKED, &CCorvaneView::OnDeleteCheckedRows);
    bind(ID_LIST_MOVE_UP, &CCorvaneView::OnMoveRowUp);
    bind(ID_LIST_MOVE_DOWN, &CCorvaneView::OnMoveRowDown);
    bind(ID_LIST_MOVE_FIRST, &CCorvaneView::OnMoveRowFirst);
    bind(ID_LIST_MOVE_LAST, &CCorvaneView::OnMoveRowLast);
    bind(ID_LIST_COPY_LINE_TO_CHECKED, &CCorvaneView::OnCopyLineToChecked);
    bind(ID_LIST_LINE_POINT_SELECT, &CCorvaneView::OnLinePointSelect);
    bind(ID_LIST_DATA_CALCULATION, &CCorvaneView::OnDataCalculation);
    bind(ID_LIST_AUTO_SELECT_LINE, &CCorvaneView::OnAutoSelectLine);
    bind(ID_LIST_POINT_PROJECT, &CCorvaneView::OnPointProject);
    bind(ID_VIEW_FIT_ALL, &CCorvaneView::OnFitAll);
    bind(ID_VIEW_SPLIT_RATIO, &CCorvaneView::OnSplitRatio);
    bind(ID_VIEW_SHOW_ALL_POINTS, &CCorvaneView::OnShowAllPoints);
    bind(ID_VIEW_SHOW_J_STAKES, &CCorvaneView::OnShowJStakes);
    bind(ID_VIEW_SHOW_Z_STAKES, &CCorvaneView::OnShowZStakes);
    bind(ID_VIEW_SORT_BY_DISTANCE, &CCorvaneView::OnSortByDistance);
    bind(ID_EDIT_COPY, &CCorvaneView::OnEditCopy);
    bind(ID_EDIT_CUT, &CCorvaneView::OnEditCopy);
    bind(ID_EDIT_PASTE, &CCorvaneView::OnEditPaste);
    connect(m_view, &CCorvaneView::statusMessage, this, &CMainFrame::showStatus);
    connect(m_view, &CCorvaneView::hiddenLabelsChanged, this, [this](const QString& text) {
        auto* field = statusBar()->findChild<QLabel*>(QStringLiteral("HiddenLabels"));
        field->setText(text);
        field->setVisible(!text.isEmpty());
    });
    connect(m_view, &CCorvaneView::commandStateChanged, this, &CMainFrame::updateCommandStates);
}

void CMainFrame::updateCommandStates() {
    if (!m_table || m_actions.empty())
        return;
    QAction* undo = commandAction(ID_EDIT_UNDO);
    QAction* redo = commandAction(ID_EDIT_REDO);
    undo->setEnabled(m_table->canUndo());
    redo->setEnabled(m_table->canRedo());
    undo->setToolTip(
        m_table->canUndo()
            ? QStringLiteral("撤销：%1").arg(QString::fromStdString(m_table->undoLabel()))
            : QStringLiteral("撤销"));
    redo->setToolTip(
        m_table->canRedo()
            ? QStringLiteral("重做：%1").arg(QString::fromStdString(m_table->redoLabel()))
            : QStringLiteral("重做"));

    // Moving rows under a filter would shuffle rows the user cannot see.
    const DisplayMode mode = m_table->displayMode();
    const bool canMove = m_view ? m_view->OnUpdateMoveRow() : mode == DisplayMode::AllPoints;
    for (int id : {ID_LIST_MOVE_UP, ID_LIST_MOVE_DOWN, ID_LIST_MOVE_FIRST, ID_LIST_MOVE_LAST})
        commandAction(id)->setEnabled(canMove);
    commandAction(ID_VIEW_SHOW_ALL_POINTS)->setChecked(mode == DisplayMode::AllPoints);
    commandAction(ID_VIEW_SHOW_J_STAKES)->setChecked(mode == DisplayMode::JStakes);
    commandAction(ID_VIEW_SHOW_Z_STAKES)->setChecked(mode == DisplayMode::ZStakes);

    for (const LookInfo& look : applicationLooks())
        commandAction(look.id)->setChecked(look.id == m_nLook);
}

void CMainFrame::updateCaption() {
    // The caption names the file the table came from, and follows undo and redo.
    const std::string& source = m_table->source();
    setWindowTitle(source.empty()
                       ? defaultCaption()
                       : QStringLiteral("%1 [ %2 ]")
                             .arg(defaultCaption(), shownPath(QString::fromStdString(source))));
}

void CMainFrame::OnApplicationLook(int id) {
    WaitCursor wait;
    m_nLook = id;
    applyApplicationLook(id);
    const QString sheet = barStyleSheet(id);
    menuBar()->setStyleSheet(sheet);
    statusBar()->setStyleSheet(sheet);
    if (m_toolBar)
        m_toolBar->setStyleSheet(sheet);
    m_settings.setApplicationLook(id);
    updateCommandStates();
    update();
}

void CMainFrame::OnFileNew() {
    if (!m_doc->confirmDiscard())
        return;
    const bool empty = m_table->fullRowCount() == 0 && m_table->otherLines().empty() &&
                       m_table->linePoints().empty() && m_table->source().empty();
    if (!empty) {
        WaitCursor wait;
        PointTable::Command command(*m_table, "新建");
        m_table->replaceAll({}, {});
    }
    m_table->markSaved();
    showStatus(QStringLiteral("就绪"));
}

void CMainFrame::startRecovery(const QString& folder) {
    if (m_recovery)
        return;
    auto keeper = std::make_unique<RecoveryKeeper>(*m_table, m_settings.recoveryDelay());
    const QString where = folder.isEmpty() ? RecoveryKeeper::defaultFolder() : folder;
    if (!keeper->start(where)) {
        showStatus(QStringLiteral("无法使用恢复副本文件夹“%1”，本次不保存恢复副本。")
                       .arg(shownPath(where)));
        return;
    }
    m_recovery = std::move(keeper);
    connect(m_recovery.get(), &RecoveryKeeper::statusMessage, this, &CMainFrame::showStatus);
    // Asked once the window is up, before a file named on the command line is read.
    QTimer::singleShot(0, this, [this] {
        offerRecoveryCopies(this, *m_recovery, [this](RecoveryState state) {
            const size_t extent = state.rows.size();
            runTableEdit(this, *m_table, QStringLiteral("正在恢复……"), extent,
                         [&] { restoreRecoveryState(*m_table, std::move(state)); });
            m_view->OnFitAll();
            showStatus(QStringLiteral("已恢复上次未导出的修改"));
        });
    });
}

void CMainFrame::OnFileMerge() {
    CFileMerageDlg dialog(*m_dialogs, this);
    dialog.exec();
}

void CMainFrame::OnAppAbout() {
    CAboutDlg dialog(this);
    dialog.exec();
}

void CMainFrame::OnEditUndo() {
    // A cell being edited is committed first, so the step undone is the one the user
    // sees last and no editor is left pointing at a row that moved.
    if (m_view)
        m_view->list()->commitOpenEdit();
    keepSelectionOver([&] {
        runTableEdit(this, *m_table, QStringLiteral("正在撤消……"), m_table->undoExtent(),
                     [&] { m_table->undo(); });
    });
}

void CMainFrame::OnEditRedo() {
    if (m_view)
        m_view->list()->commitOpenEdit();
    keepSelectionOver([&] {
        runTableEdit(this, *m_table, QStringLiteral("正在重做……"), m_table->redoExtent(),
                     [&] { m_table->redo(); });
    });
}

void CMainFrame::keepSelectionOver(const std::function<void()>& edit) {
    if (m_view)
        m_view->keepSelectionOver(edit);
    else
        edit();
}

bool CMainFrame::openFile(const QString& path) {
    // A drop or a queued open may arrive while a file is still being read or written.
    if (longOperationRunning())
        return false;
    const bool done = m_doc->openFile(path);
    if (!done && !QFileInfo::exists(path)) {
        QStringList files = m_settings.recentFiles();
        files.removeAll(path);
        m_settings.setRecentFiles(files);
        updateRecentFileMenu();
    }
    return done;
}

void CMainFrame::onImported(const QString& path, const QString& summary) {
    Q_UNUSED(summary);
    addRecentFile(QFileInfo(path).absoluteFilePath());
    m_view->OnFitAll();
}

void CMainFrame::addRecentFile(const QString& path) {
    QStringList files = m_settings.recentFiles();
    files.removeAll(path);
    files.prepend(path);
    while (files.size() > CorvaneSettings::kRecentFileCount)
        files.removeLast();
    m_settings.setRecentFiles(files);
    updateRecentFileMenu();
}

void CMainFrame::updateRecentFileMenu() {
    const QStringList files = m_settings.recentFiles();
    for (int i = 0; i < m_recentActions.size(); ++i) {
        QAction* action = m_recentActions.at(i);
        const bool used = i < files.size();
        action->setVisible(used);
        if (!used)
            continue;
        action->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(shownPath(files.at(i))));
        action->setData(files.at(i));
        action->setStatusTip(QStringLiteral("导入 %1").arg(shownPath(files.at(i))));
    }
    m_recentSeparator->setVisible(!files.isEmpty());
}

void CMainFrame::selectRow(int row) {
    if (row >= 0 && row < m_table->rowCount())
        m_view->list()->selectRow(row);
}

void CMainFrame::keepOnScreen() {
    if (!screen() || isMaximized() || isFullScreen())
        return;
    // A geometry saved on a larger screen (or a taller window) would put the status bar
    // below the screen's edge: shrink to the room there is, frame included, and move in.
    const QRect room = screen()->availableGeometry();
    const QRect frame = frameGeometry();
    const QMargins border(geometry().left() - frame.left(), geometry().top() - frame.top(),
                          frame.right() - geometry().right(), frame.bottom() - geometry().bottom());
    QRect inner = geometry();
    inner.setWidth(std::min(inner.width(), room.width() - border.left() - border.right()));
    inner.setHeight(std::min(inner.height(), room.height() - border.top() - border.bottom()));
    QRect outer = inner.marginsAdded(border);
    outer.moveLeft(std::clamp(outer.left(), room.left(), room.right() - outer.width() + 1));
    outer.moveTop(std::clamp(outer.top(), room.top(), room.bottom() - outer.height() + 1));
    setGeometry(outer.marginsRemoved(border));
}

void CMainFrame::showStatus(const QString& text) {
    statusBar()->showMessage(text);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (longOperationRunning() || !m_doc->confirmDiscard()) {
        event->ignore();
        return;
    }
    m_settings.setWindowGeometry(saveGeometry());
    m_settings.setWindowState(saveState());
    event->accept();
}

void CMainFrame::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // The window manager's frame is known only once the window is shown.
    if (!m_placed) {
        m_placed = true;
        QTimer::singleShot(0, this, &CMainFrame::keepOnScreen);
    }
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() && urls.first().isLocalFile())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile())
        return;
    event->acceptProposedAction();
    // Asked and imported after the drop has finished, not inside it.
    const QString path = urls.first().toLocalFile();
    QTimer::singleShot(0, this, [this, path] { openFile(path); });
}

}  // namespace corvane
