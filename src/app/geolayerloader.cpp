#include "geolayerloader.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>

#include "geoformat.h"
#include "geolayer.h"
#include "messagebox.h"

namespace corvane {
namespace {

struct LoadedLayer {
    const GeoLayer* layer = nullptr;
    QString problem;
    QString details;
};

QString modulePath() {
    const QString programDir = QCoreApplication::applicationDirPath();
#ifdef Q_OS_WIN
    return programDir + QStringLiteral("/corvane-geo.dll");
#else
    return QDir::cleanPath(programDir + QStringLiteral("/../") +
                           QStringLiteral(CORVANE_MODULE_DIR "/corvane-geo.so"));
#endif
}

LoadedLayer loadLayer() {
    if (!kGeoLayerBuilt)
        return {nullptr, QString::fromUtf8(kGeoLayerMissing.data(), kGeoLayerMissing.size()), {}};
    const QString path = modulePath();
    const auto failed = [&](const QString& why) {
        return LoadedLayer{nullptr,
                           QStringLiteral("无法加载坐标系和地图文件模块“%1”，请重新安装本程序。")
                               .arg(QDir::toNativeSeparators(path)),
                           why};
    };
    // Never unloaded: the layer's objects live until the program ends.
    QLibrary library(path);
    if (!library.load())
        return failed(library.errorString());
    const auto entry = reinterpret_cast<GeoLayerEntry>(library.resolve(kGeoLayerEntry));
    if (entry == nullptr)
        return failed(QStringLiteral("模块没有入口"));
    const GeoLayer* layer = entry(kGeoLayerVersion);
    if (layer == nullptr)
        return failed(QStringLiteral("模块的版本与程序不符"));
    return {layer, {}, {}};
}

}  // namespace

const GeoLayer* geoLayer(QString* problem, QString* details) {
    static const LoadedLayer loaded = loadLayer();
    if (problem != nullptr)
        *problem = loaded.problem;
    if (details != nullptr)
        *details = loaded.details;
    return loaded.layer;
}

const GeoLayer* geoLayerOrSay(QWidget* parent) {
    QString problem;
    QString details;
    const GeoLayer* layer = geoLayer(&problem, &details);
    if (layer == nullptr)
        showError(parent, problem, details);
    return layer;
}

}  // namespace corvane
