#include "corvanedoc.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QWidget>

#include "codepage.h"
#include "filedialogs.h"
#include "geodocument.h"
#include "longoperation.h"
#include "messagebox.h"
#include "pathtext.h"
#include "pointtable.h"
#include "settings.h"
#include "tablework.h"
#include "validation.h"

namespace corvane {
namespace {

// The layout the import dialog's file type names: the user's choice decides, even for a
// file whose extension names the other layout.
PointFileFormat chosenFormat(int filter) {
    return filter == 2 ? PointFileFormat::RawCsv : PointFileFormat::Ept;
}

}  // namespace

CCorvaneDoc::CCorvaneDoc(PointTable& table, CorvaneSettings& settings, QWidget* window)
    : QObject(window),
      m_table(table),
      m_settings(settings),
      m_window(window),
      m_dialogs(&systemFileDialogs()) {}

QString CCorvaneDoc::exportDoneMessage(ExportType type, const OrgReport& report) {
    QString text = QStringLiteral("测量数据输出完毕！");
    if (type == ExportType::Org)
        for (const std::string& line : orgReportLines(report))
            text += QLatin1Char('\n') + QString::fromStdString(line) + QStringLiteral("。");
    return text;
}

QStringList CCorvaneDoc::importFilters() {
    return QStringList{QStringLiteral("电力线测量数据文件(*.ept)"),
                       QStringLiteral("电力测量数据文件(*.csv)")} +
           geoImportFilters();
}

QStringList CCorvaneDoc::exportFilters() {
    return QStringList{
               QStringLiteral("道亨格式文件(*.org)"), QStringLiteral("电力线测量数据文件(*.ept)"),
               QStringLiteral("Excel 文件(*.csv)"), QStringLiteral("AutoCAD DXF数据文件(*.dxf)")} +
           geoExportFilters();
}

bool CCorvaneDoc::confirmDiscard() {
    if (m_commitOpenEdit)
        m_commitOpenEdit();
    if (!m_table.isModified())
        return true;
    const int changed = m_table.changedPointCount();
    const QString details =
        changed > 0 ? QStringLiteral("放弃后，%1 个点上尚未导出的修改将丢失。").arg(changed)
                    : QStringLiteral("放弃后，尚未导出的修改将丢失。");
    return askYesNo(m_window, QStringLiteral("当前数据尚未导出，是否放弃修改？"), details);
}

void CCorvaneDoc::OnFileImport() {
    if (longOperationRunning() || !confirmDiscard())
        return;
    std::optional<FileChoice> choice = m_dialogs->openFile(m_window, importFilters(), 1);
    if (!choice)
        return;
    if (choice->filter > kPointFileImportTypes) {
        const QString crs = chooseCoordinateSystem();
        if (!crs.isEmpty())
            importGeoFile(choice->path, crs);
        return;
    }
    importFile(choice->path, chosenFormat(choice->filter));
}

bool CCorvaneDoc::openFile(const QString& path) {
    if (!confirmDiscard())
        return false;
    // No dialog was shown, so there is no choice: the extension decides.
    if (isGeoPath(path)) {
        const QString crs = chooseCoordinateSystem();
        return !crs.isEmpty() && importGeoFile(path, crs);
    }
    return importFile(path, formatForPath(localPath(path)));
}

bool CCorvaneDoc::importFile(const QString& path, PointFileFormat format) {
    Result<ImportedPoints> read =
        runLongOperation(m_window, QStringLiteral("正在导入 %1 ……").arg(shownPath(path)),
                         [&] { return readPointFile(localPath(path), format); });
    if (!read) {
        showError(m_window, QString::fromStdString(read.error().message));
        return false;
    }
    const QString summary = QString::fromStdString(importSummary(read.value()));
    replaceTable(path, std::move(read->rows), std::move(read->otherLines));
    emit imported(path, summary);
    emit statusMessage(summary);
    return true;
}

void CCorvaneDoc::replaceTable(const QString& path, std::vector<Row> rows, TextLines otherLines) {
    const size_t extent = rows.size() + static_cast<size_t>(m_table.fullRowCount());
    runTableEdit(m_window, m_table, QStringLiteral("正在导入 %1 ……").arg(shownPath(path)), extent,
                 [&] {
                     m_table.replaceAll(std::move(rows), std::move(otherLines), path.toStdString());
                     m_table.markSaved();
                 });
    // The export goes next to the survey, whichever way it was opened.
    setDialogFolder(QFileInfo(path).absolutePath());
}

void CCorvaneDoc::OnFileExport() {
    if (longOperationRunning())
        return;
    const int shownRows = m_table.rowCount();
    const int allRows = m_table.fullRowCount();
    if (shownRows < allRows &&
        !askYesNo(m_window,
                  QStringLiteral("当前只显示了 %1 个点（共 %2 个点），是否只导出显示的 %1 个点？")
                      .arg(shownRows)
                      .arg(allRows),
                  QStringLiteral("选择“否”不导出；要导出全部点，请先选择“显示所有点”。")))
        return;

    std::optional<FileChoice> choice =
        m_dialogs->saveFile(m_window, exportFilters(), m_settings.exportFileFilter());
    if (!choice)
        return;
    // Remembered as soon as the dialog is confirmed, whatever happens next.
    m_settings.setExportFileFilter(choice->filter);
    if (choice->filter > kPointFileExportTypes) {
        exportGeoChoice(choice->path, choice->filter - kPointFileExportTypes);
        return;
    }
    const auto type = static_cast<ExportType>(choice->filter);
    if (type == ExportType::Org && !confirmCheckedForOrg())
        return;
    const QString extension = QString::fromUtf8(extensionOf(type));
    const QString path = withExtension(choice->path, extension);
    // The dialog asked about the name as typed; the extension makes it another file.
    if (path != choice->path && QFileInfo::exists(path) &&
        !askYesNo(m_window, QStringLiteral("文件“%1”已存在，是否替换？").arg(shownPath(path))))
        return;
    exportFile(path, type);
}

bool CCorvaneDoc::confirmCheckedForOrg() {
    CheckOptions options;
    options.firstUnencodable = cp936::firstUnencodable;
    const std::vector<CheckEntry> entries = runLongOperation(
        m_window, QStringLiteral("正在检查数据……"), [&] { return checkTable(m_table, options); });
    const int errors = countSeverity(entries, CheckEntry::Severity::Error);
    if (errors == 0)
        return true;
    QString details;
    int listed = 0;
    for (const CheckEntry& e : entries) {
        if (e.severity != CheckEntry::Severity::Error)
            continue;
        details += QString::fromStdString(e.message) + QLatin1Char('\n');
        if (++listed == 50) {
            details += QStringLiteral("……（完整的列表见“数据检查”）\n");
            break;
        }
    }
    return askYesNo(
        m_window,
        QStringLiteral("数据检查发现 %1 个错误，导出的道亨格式文件会中止或有误。仍要导出吗？")
            .arg(errors),
        details);
}

bool CCorvaneDoc::exportFile(const QString& path, ExportType type) {
    const bool wholeTable = m_table.rowCount() == m_table.fullRowCount();
    OrgReport report;
    Status written =
        runLongOperation(m_window, QStringLiteral("正在导出 %1 ……").arg(shownPath(path)),
                         [&] { return exportTable(m_table, type, localPath(path), &report); });
    if (!written) {
        const Error& error = written.error();
        if (error.row >= 0)
            emit problemAtRow(error.row);
        QString details;
        if (error.kind == Error::Kind::Data)
            details = QStringLiteral("文件“%1”没有写入。").arg(shownPath(path));
        showError(m_window, QString::fromStdString(error.message), details);
        return false;
    }
    // Only the point file of the whole table holds everything the table does.
    if (type == ExportType::Ept && wholeTable)
        m_table.markSaved();
    emit exported(path);
    emit statusMessage(QStringLiteral("已导出到 %1").arg(shownPath(path)));
    if (type != ExportType::Dxf)
        showInformation(m_window, exportDoneMessage(type, report));
    return true;
}

}  // namespace corvane
