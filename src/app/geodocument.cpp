#include "geodocument.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "corvanedoc.h"
#include "filedialogs.h"
#include "geolayer.h"
#include "geolayerloader.h"
#include "longoperation.h"
#include "messagebox.h"
#include "pathtext.h"
#include "pointtable.h"
#include "settings.h"
#include "surveyfeatures.h"

namespace corvane {
namespace {

constexpr GeoFormat kExportOrder[] = {GeoFormat::Kml, GeoFormat::Kmz, GeoFormat::GeoJson,
                                      GeoFormat::Gpkg, GeoFormat::Shp};

}  // namespace

QString coordinateSystemLabel(const QString& text) {
    if (text.trimmed().isEmpty())
        return {};
    const GeoLayer* geo = geoLayer();
    if (geo == nullptr)
        return text;
    Result<Crs> crs = geo->crsFromUserText(text.toStdString());
    return crs ? QString::fromStdString(crs->label()) : text;
}

QStringList geoExportFilters() {
    // A build without the geographic layer offers none of its types.
    if (!kGeoLayerBuilt)
        return {};
    return {QStringLiteral("Google Earth KML 文件(*.kml)"),
            QStringLiteral("Google Earth KMZ 文件(*.kmz)"),
            QStringLiteral("GeoJSON 文件(*.geojson)"), QStringLiteral("GeoPackage 文件(*.gpkg)"),
            QStringLiteral("Shapefile 文件(*.shp)")};
}

QStringList geoImportFilters() {
    QStringList filters = geoExportFilters();
    if (!filters.isEmpty())
        filters << QStringLiteral("GPS 交换文件 GPX(*.gpx)");
    return filters;
}

QString geoExportExtension(int geoType) {
    if (geoType < 1 || geoType > static_cast<int>(std::size(kExportOrder)))
        return {};
    return QString::fromUtf8(extensionOf(kExportOrder[geoType - 1]));
}

bool isGeoPath(const QString& path) {
    return geoFormatForPath(localPath(path)).has_value();
}

QString CCorvaneDoc::chooseCoordinateSystem() {
    std::optional<QString> chosen = m_askCrs(m_window, m_settings.coordinateSystem());
    if (!chosen || chosen->trimmed().isEmpty())
        return {};
    m_settings.setCoordinateSystem(*chosen);
    emit coordinateSystemChanged(coordinateSystemLabel(*chosen));
    return *chosen;
}

void CCorvaneDoc::exportGeoChoice(const QString& chosenPath, int geoType) {
    const QString path = withExtension(chosenPath, geoExportExtension(geoType));
    if (path != chosenPath && QFileInfo::exists(path) &&
        !askYesNo(m_window, QStringLiteral("文件“%1”已存在，是否替换？").arg(shownPath(path))))
        return;
    const QString crs = chooseCoordinateSystem();
    if (!crs.isEmpty())
        exportGeoFile(path, crs);
}

bool CCorvaneDoc::importGeoFile(const QString& path, const QString& crsText) {
    const GeoLayer* geo = geoLayerOrSay(m_window);
    if (geo == nullptr)
        return false;
    Result<Crs> crs = geo->crsFromUserText(crsText.toStdString());
    if (!crs) {
        showError(m_window, QString::fromStdString(crs.error().message));
        return false;
    }
    Result<GeoImport> read =
        runLongOperation(m_window, QStringLiteral("正在导入 %1 ……").arg(shownPath(path)),
                         [&] { return geo->importGeo(localPath(path), crs.value()); });
    if (!read) {
        showError(m_window, QString::fromStdString(read.error().message));
        return false;
    }
    const QString summary = QString::fromStdString(geoImportSummary(read.value()));
    replaceTable(path, std::move(read->rows), TextLines());
    emit imported(path, summary);
    emit statusMessage(summary);
    return true;
}

bool CCorvaneDoc::exportGeoFile(const QString& path, const QString& crsText) {
    const GeoLayer* geo = geoLayerOrSay(m_window);
    if (geo == nullptr)
        return false;
    const std::optional<GeoFormat> format = geoFormatForPath(localPath(path));
    Result<Crs> crs = geo->crsFromUserText(crsText.toStdString());
    if (!format || !exportable(*format) || !crs) {
        showError(m_window, crs ? QStringLiteral("不能导出为“%1”。").arg(shownPath(path))
                                : QString::fromStdString(crs.error().message));
        return false;
    }
    std::vector<double> eastings;
    for (const SurveyPoint& p : gatherFeatures(m_table).points)
        eastings.push_back(p.east);
    if (std::optional<std::string> warning = geo->zoneWarning(crs.value(), eastings))
        if (!askYesNo(m_window, QString::fromStdString(*warning),
                      QStringLiteral("仍要按所选坐标系导出吗？")))
            return false;
    Result<GeoExportReport> written = runLongOperation(
        m_window, QStringLiteral("正在导出 %1 ……").arg(shownPath(path)),
        [&] { return geo->exportGeo(m_table, *format, crs.value(), localPath(path)); });
    if (!written) {
        QString details;
        if (written.error().kind == Error::Kind::Data)
            details = QStringLiteral("文件“%1”没有写入。").arg(shownPath(path));
        showError(m_window, QString::fromStdString(written.error().message), details);
        return false;
    }
    emit exported(path);
    emit statusMessage(QStringLiteral("已导出到 %1").arg(shownPath(path)));
    QString text = QStringLiteral("测量数据输出完毕！");
    const std::string notice = geoExportNotice(written.value());
    if (!notice.empty())
        text += QLatin1Char('\n') + QString::fromStdString(notice) + QStringLiteral("。");
    if (written->points > 100000 && (*format == GeoFormat::Kml || *format == GeoFormat::Kmz))
        text += QStringLiteral("\n点很多：地图程序显示这个文件会很慢。");
    showInformation(m_window, text);
    return true;
}

}  // namespace corvane
