#include "settings.h"

#include <QSettings>

#include <algorithm>
#include <cmath>

#include "cellnumber.h"

namespace corvane {
namespace {

struct IntEntry {
    const char16_t* key;
    int fallback;
};

struct TextEntry {
    const char16_t* key;
    const char16_t* fallback;
};

constexpr IntEntry kSplitRatio{u"Divide/Scale", CorvaneSettings::kDefaultSplitRatio};
constexpr TextEntry kProjectLimit{u"PointProject/Limit", u"2.0"};
constexpr IntEntry kExportFileFilter{u"Export/FileFilter",
                                     CorvaneSettings::kDefaultExportFileFilter};
constexpr TextEntry kCoordinateSystem{u"Geo/CoordinateSystem", u""};
// The export dialog's types: four point file types, then five map and GIS types.
constexpr int kExportFileTypes = 9;
constexpr IntEntry kApplicationLook{u"Workspace/ApplicationLook",
                                    CorvaneSettings::kDefaultApplicationLook};
constexpr IntEntry kRecoveryDelay{u"Recovery/Delay", CorvaneSettings::kDefaultRecoveryDelay};
constexpr const char16_t* kWindowGeometry = u"Workspace/WindowGeometry";
constexpr const char16_t* kWindowState = u"Workspace/WindowState";
constexpr const char16_t* kRecentFileList = u"Recent File List";

QString keyOf(const char16_t* key) {
    return QString::fromUtf16(key);
}

int readInt(const QSettings& store, const IntEntry& entry) {
    QVariant value = store.value(keyOf(entry.key));
    bool ok = false;
    int n = value.toInt(&ok);
    return ok ? n : entry.fallback;
}

void writeInt(QSettings& store, const IntEntry& entry, int value) {
    store.setValue(keyOf(entry.key), value);
}

QString readText(const QSettings& store, const TextEntry& entry) {
    QVariant value = store.value(keyOf(entry.key));
    if (!value.isValid() || !value.canConvert<QString>())
        return QString::fromUtf16(entry.fallback);
    return value.toString();
}

}  // namespace

CorvaneSettings::CorvaneSettings() : m_store(std::make_unique<QSettings>()) {}

CorvaneSettings::CorvaneSettings(std::unique_ptr<QSettings> store) : m_store(std::move(store)) {
    if (!m_store)
        m_store = std::make_unique<QSettings>();
}

CorvaneSettings::CorvaneSettings(const QString& iniFile)
    : m_store(std::make_unique<QSettings>(iniFile, QSettings::IniFormat)) {}

CorvaneSettings::~CorvaneSettings() = default;

int CorvaneSettings::splitRatio() const {
    // A hand-edited value outside 0..100 would lay the view out off its own edges.
    return std::clamp(readInt(*m_store, kSplitRatio), 0, 100);
}

void CorvaneSettings::setSplitRatio(int percent) {
    writeInt(*m_store, kSplitRatio, std::clamp(percent, 0, 100));
}

QString CorvaneSettings::projectLimitText() const {
    return readText(*m_store, kProjectLimit);
}

double CorvaneSettings::projectLimit() const {
    return readNumber(projectLimitText().toStdString());
}

void CorvaneSettings::setProjectLimit(double limit) {
    if (!std::isfinite(limit))
        return;
    m_store->setValue(keyOf(kProjectLimit.key), QString::fromStdString(formatFixed(limit, 3)));
}

int CorvaneSettings::exportFileFilter() const {
    int filter = readInt(*m_store, kExportFileFilter);
    return filter >= 1 && filter <= kExportFileTypes ? filter : kDefaultExportFileFilter;
}

void CorvaneSettings::setExportFileFilter(int filter) {
    if (filter >= 1 && filter <= kExportFileTypes)
        writeInt(*m_store, kExportFileFilter, filter);
}

QString CorvaneSettings::coordinateSystem() const {
    return readText(*m_store, kCoordinateSystem).trimmed();
}

void CorvaneSettings::setCoordinateSystem(const QString& text) {
    m_store->setValue(keyOf(kCoordinateSystem.key), text.trimmed());
}

int CorvaneSettings::applicationLook() const {
    return readInt(*m_store, kApplicationLook);
}

void CorvaneSettings::setApplicationLook(int look) {
    writeInt(*m_store, kApplicationLook, look);
}

int CorvaneSettings::recoveryDelay() const {
    return std::clamp(readInt(*m_store, kRecoveryDelay), 1, 3600);
}

void CorvaneSettings::setRecoveryDelay(int seconds) {
    writeInt(*m_store, kRecoveryDelay, std::clamp(seconds, 1, 3600));
}

QByteArray CorvaneSettings::windowGeometry() const {
    return m_store->value(keyOf(kWindowGeometry)).toByteArray();
}

void CorvaneSettings::setWindowGeometry(const QByteArray& geometry) {
    m_store->setValue(keyOf(kWindowGeometry), geometry);
}

QByteArray CorvaneSettings::windowState() const {
    return m_store->value(keyOf(kWindowState)).toByteArray();
}

void CorvaneSettings::setWindowState(const QByteArray& state) {
    m_store->setValue(keyOf(kWindowState), state);
}

QStringList CorvaneSettings::recentFiles() const {
    QStringList files;
    m_store->beginGroup(keyOf(kRecentFileList));
    for (int i = 1; i <= kRecentFileCount; ++i) {
        QString file = m_store->value(QStringLiteral("File%1").arg(i)).toString();
        if (!file.isEmpty())
            files.append(file);
    }
    m_store->endGroup();
    return files;
}

void CorvaneSettings::setRecentFiles(const QStringList& files) {
    m_store->beginGroup(keyOf(kRecentFileList));
    for (int i = 1; i <= kRecentFileCount; ++i) {
        QString key = QStringLiteral("File%1").arg(i);
        if (i <= files.size())
            m_store->setValue(key, files.at(i - 1));
        else
            m_store->remove(key);
    }
    m_store->endGroup();
}

void CorvaneSettings::sync() {
    m_store->sync();
}

}  // namespace corvane
