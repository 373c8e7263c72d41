#include "mainframe.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QTableView>

#include "columns.h"
#include "pointfilereader.h"
#include "pointtable.h"
#include "pointtablemodel.h"

namespace corvane {

CMainFrame::CMainFrame(QWidget* parent)
    : QMainWindow(parent), m_table(std::make_unique<PointTable>()) {
    setWindowTitle(QStringLiteral("Tessaly - Corvane"));
    m_model = new PointTableModel(*m_table, this);
    m_view = new QTableView(this);
    m_view->setModel(m_model);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->verticalHeader()->setDefaultSectionSize(20);
    for (int c = 0; c < kColumnCount; ++c)
        m_view->setColumnWidth(c, kColumns[c].width);
    setCentralWidget(m_view);

    QMenu* file = menuBar()->addMenu(QStringLiteral("文件(&F)"));
    QAction* import = file->addAction(QStringLiteral("导入原始数据(&O)..."));
    import->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    import->setStatusTip(QStringLiteral("导入原始的外业电力测量数据"));
    connect(import, &QAction::triggered, this, &CMainFrame::onImport);
    file->addSeparator();
    QAction* exit = file->addAction(QStringLiteral("退出(&X)"));
    connect(exit, &QAction::triggered, this, &QWidget::close);
    statusBar()->showMessage(QStringLiteral("就绪"));
}

CMainFrame::~CMainFrame() {
    // The model listens to the table; let it go first.
    delete m_view;
    delete m_model;
}

void CMainFrame::onImport() {
    QString filter;
    QString path = QFileDialog::getOpenFileName(
        this, QString(), QString(),
        QStringLiteral("电力线测量数据文件(*.ept);;电力测量数据文件(*.csv)"), &filter);
    if (!path.isEmpty())
        importFile(path);
}

bool CMainFrame::importFile(const QString& path) {
    Result<ImportedPoints> imported =
        readPointFile(path.toStdString(), formatForPath(path.toStdString()));
    if (!imported) {
        QMessageBox::critical(this, QStringLiteral("Corvane"),
                              QString::fromStdString(imported.error().message));
        return false;
    }
    std::string summary = importSummary(imported.value());
    m_table->replaceAll(std::move(imported->rows), std::move(imported->otherLines));
    setWindowTitle(QStringLiteral("Tessaly - Corvane [ %1 ]").arg(path));
    statusBar()->showMessage(QString::fromStdString(summary));
    return true;
}

}  // namespace corvane
