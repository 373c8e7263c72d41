#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

class QSettings;

namespace corvane {

/// The per-user settings, each declared once with its section, value name, type and
/// default, over one QSettings store (the user's, or a file of its own in tests).
/// A missing or unreadable value reads as its default.
class CorvaneSettings {
public:
    /// The user's store: organisation "Quennell", application "Corvane".
    CorvaneSettings();
    /// A store of the caller's, for instance an ini file in a test.
    explicit CorvaneSettings(std::unique_ptr<QSettings> store);
    /// An ini file of its own.
    explicit CorvaneSettings(const QString& iniFile);
    ~CorvaneSettings();
    CorvaneSettings(const CorvaneSettings&) = delete;
    CorvaneSettings& operator=(const CorvaneSettings&) = delete;

    static constexpr int kDefaultSplitRatio = 30;
    static constexpr int kDefaultExportFileFilter = 1;
    static constexpr int kDefaultApplicationLook = 214;

    /// "Divide"/"Scale": the table's share of the view's height in percent, 0 to 100.
    int splitRatio() const;
    void setSplitRatio(int percent);

    /// "PointProject"/"Limit": the projection's distance limit in metres, kept as text
    /// ("2.0" by default, written with three decimals) and read leniently.
    double projectLimit() const;
    QString projectLimitText() const;
    void setProjectLimit(double limit);

    /// "Export"/"FileFilter": the file type of the last confirmed export, 1 to 4.
    int exportFileFilter() const;
    void setExportFileFilter(int filter);

    /// The coordinate system of X and Y last chosen, as typed ("EPSG:4547", a WKT);
    /// empty when none was.
    QString coordinateSystem() const;
    void setCoordinateSystem(const QString& text);

    /// "Workspace"/"ApplicationLook": the look id, 210 to 218 for the listed looks.
    int applicationLook() const;
    void setApplicationLook(int look);

    /// "Recovery"/"Delay": seconds after the last change before the recovery copy is
    /// written, 1 to 3600.
    static constexpr int kDefaultRecoveryDelay = 10;
    int recoveryDelay() const;
    void setRecoveryDelay(int seconds);

    /// Window placement and bar layout, kept beside the look.
    QByteArray windowGeometry() const;
    void setWindowGeometry(const QByteArray& geometry);
    QByteArray windowState() const;
    void setWindowState(const QByteArray& state);

    /// The recent-file list, newest first, at most kRecentFileCount entries.
    static constexpr int kRecentFileCount = 4;
    QStringList recentFiles() const;
    void setRecentFiles(const QStringList& files);

    QSettings& store() const { return *m_store; }
    void sync();

private:
    std::unique_ptr<QSettings> m_store;
};

}  // namespace corvane
