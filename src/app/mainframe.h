#pragma once

#include <QMainWindow>

#include <functional>
#include <map>
#include <memory>

class QActionGroup;
class QLabel;
class QMenu;
class QToolBar;

namespace corvane {

class CCorvaneDoc;
class CorvaneSettings;
class FileDialogs;
class PointTable;
class CCorvaneView;
class RecoveryKeeper;

/// The main window: menu bar, tool bar and status bar, the looks, the table view in
/// the middle, and the questions before unsaved data are given up.
class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    explicit CMainFrame(CorvaneSettings& settings, QWidget* parent = nullptr);
    ~CMainFrame() override;

    PointTable& table() const { return *m_table; }
    CCorvaneDoc* document() const { return m_doc; }
    CCorvaneView* view() const { return m_view; }
    CorvaneSettings& settings() const { return m_settings; }

    /// The action of a command number (commandids.h), or null.
    QAction* commandAction(int id) const;
    QToolBar* toolBar() const { return m_toolBar; }
    QMenu* fileMenu() const { return m_fileMenu; }

    /// The file dialogs of the import, the export and the merge; tests give their own.
    void setFileDialogs(FileDialogs& dialogs);

    /// Imports a file named on the command line, dropped on the window or picked from
    /// the recent-file list, after the question about unsaved changes.
    bool openFile(const QString& path);

    /// The caption: "Tessaly - Corvane", and while the table holds an imported file
    /// that file's path.
    static QString defaultCaption();

    /// Starts keeping a recovery copy of the table in `folder` (the user's data folder
    /// when empty), then asks about the copies of editors that ended without a clean
    /// exit. The program does it at start; tests with a folder of their own.
    void startRecovery(const QString& folder = QString());
    /// Null until startRecovery, or when the folder cannot be used.
    RecoveryKeeper* recovery() const { return m_recovery.get(); }

    void OnFileNew();
    void OnFileMerge();
    void OnAppAbout();
    void OnApplicationLook(int id);
    void OnEditUndo();
    void OnEditRedo();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    /// An undo or redo keeps the selected points selected when it moves rows.
    void keepSelectionOver(const std::function<void()>& edit);
    QAction* addCommand(QMenu* menu, int id, const QString& text, const QString& prompt,
                        const QKeySequence& shortcut = QKeySequence());
    void createMenus();
    void createFileMenu();
    void createEditMenu();
    void createListMenu();
    void createViewMenu();
    void createToolBar();
    void createStatusBar();
    void connectView();
    void updateCommandStates();
    void updateCaption();
    void updateRecentFileMenu();
    void addRecentFile(const QString& path);
    void onImported(const QString& path, const QString& summary);
    void selectRow(int row);
    /// Moves and shrinks the window into the screen's available area.
    void keepOnScreen();
    void showStatus(const QString& text);

    CorvaneSettings& m_settings;
    std::unique_ptr<PointTable> m_table;
    CCorvaneView* m_view = nullptr;
    CCorvaneDoc* m_doc = nullptr;
    FileDialogs* m_dialogs = nullptr;
    class StateWatcher;
    std::unique_ptr<StateWatcher> m_watcher;
    std::unique_ptr<RecoveryKeeper> m_recovery;

    std::map<int, QAction*> m_actions;
    QMenu* m_fileMenu = nullptr;
    QAction* m_recentSeparator = nullptr;
    QList<QAction*> m_recentActions;
    QToolBar* m_toolBar = nullptr;
    QActionGroup* m_lookGroup = nullptr;
    QActionGroup* m_filterGroup = nullptr;
    int m_nLook = 0;
    bool m_placed = false;  // kept on screen once, at the first show
};

}  // namespace corvane
