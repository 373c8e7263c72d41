#pragma once

#include <QMainWindow>

#include <memory>

class QTableView;

namespace corvane {

class PointTable;
class PointTableModel;

/// The main window: menus, the point table and the import.
class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    explicit CMainFrame(QWidget* parent = nullptr);
    ~CMainFrame() override;

    PointTable& table() const { return *m_table; }
    /// Imports a point file; the format follows the extension. False with a message
    /// shown when the file cannot be read; the table is then as it was.
    bool importFile(const QString& path);

private:
    void onImport();

    std::unique_ptr<PointTable> m_table;
    PointTableModel* m_model = nullptr;
    QTableView* m_view = nullptr;
};

}  // namespace corvane
