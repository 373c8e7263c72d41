#pragma once

#include <QObject>
#include <QString>

#include <functional>

#include "crschooser.h"
#include "exportformat.h"
#include "pointfilereader.h"

class QWidget;

namespace corvane {

class CorvaneSettings;
class FileDialogs;
class PointTable;

/// The import and export commands: the file dialogs, the questions before data are
/// replaced or a file is overwritten, the reading and writing and what is said after.
class CCorvaneDoc : public QObject {
    Q_OBJECT

public:
    CCorvaneDoc(PointTable& table, CorvaneSettings& settings, QWidget* window);

    /// The dialogs to ask with; tests give their own.
    void setFileDialogs(FileDialogs& dialogs) { m_dialogs = &dialogs; }
    FileDialogs& fileDialogs() const { return *m_dialogs; }

    static QStringList importFilters();
    static QStringList exportFilters();
    /// "测量数据输出完毕！", followed for a ".org" file by a line for each kind of row or
    /// record the file leaves out.
    static QString exportDoneMessage(ExportType type, const OrgReport& report);

    /// Called before the question about unsaved changes, to store a cell still being
    /// edited so that the question sees it.
    void setOpenEditCommitter(std::function<void()> commit) {
        m_commitOpenEdit = std::move(commit);
    }

    /// Stores the open cell edit, then: true when the table holds no changes that were
    /// not exported, or the user agrees to give them up.
    bool confirmDiscard();

    /// Command 57601: asks, shows the open dialog and imports the file chosen.
    void OnFileImport();
    /// Command 57603: shows the save dialog and writes the table in the type chosen.
    void OnFileExport();

    /// Imports `path` after the question about unsaved changes; the extension picks the
    /// format. False when the user declined or the file could not be read.
    bool openFile(const QString& path);
    /// Imports without asking. On failure the table is as it was and the error is shown.
    bool importFile(const QString& path, PointFileFormat format);
    /// Writes the rows shown to `path` exactly as named, then says how it went.
    bool exportFile(const QString& path, ExportType type);

    /// How the coordinate system is asked for before a map or GIS file is read or
    /// written; tests give their own.
    void setCrsQuestion(CrsQuestion ask) { m_askCrs = std::move(ask); }
    /// Asks for the coordinate system (starting at the last one) and keeps the answer
    /// in the settings. Empty when the user cancelled.
    QString chooseCoordinateSystem();
    /// Imports a map or GIS file (KML, KMZ, GeoJSON, GeoPackage, Shapefile, GPX) with
    /// X and Y in the system `crs`. On failure the table is as it was.
    bool importGeoFile(const QString& path, const QString& crs);
    /// Writes the rows shown as a map or GIS file, the type by the extension of `path`.
    bool exportGeoFile(const QString& path, const QString& crs);

signals:
    void imported(const QString& path, const QString& summary);
    void exported(const QString& path);
    /// An export stopped at a row that the user has to put right.
    void problemAtRow(int row);
    void statusMessage(const QString& text);
    /// The coordinate system was chosen: its code and name for the status bar.
    void coordinateSystemChanged(const QString& label);

private:
    /// Puts the rows read from `path` in place of the table, off the interface thread
    /// when they are many; the table counts as saved.
    void replaceTable(const QString& path, std::vector<Row> rows, TextLines otherLines);

    /// Before a ".org" export: checks the table and asks whether to go on when the
    /// check finds errors. True to go on.
    bool confirmCheckedForOrg();
    /// After the export dialog chose a map or GIS type (1-based among them).
    void exportGeoChoice(const QString& chosenPath, int geoType);
    PointTable& m_table;
    CorvaneSettings& m_settings;
    QWidget* m_window;
    FileDialogs* m_dialogs;
    std::function<void()> m_commitOpenEdit;
    CrsQuestion m_askCrs = askCrs;
};

}  // namespace corvane
