#include "crschooser.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include <cmath>

#include "geolayer.h"
#include "geolayerloader.h"

namespace corvane {
namespace {

const QString kOther = QStringLiteral("其他（EPSG 代码、WKT 或 PROJ 字符串）");

}  // namespace

CrsChooser::CrsChooser(const QString& current, QWidget* parent)
    : QDialog(parent),
      m_list(new QComboBox(this)),
      m_other(new QPlainTextEdit(this)),
      m_problem(new QLabel(this)) {
    setWindowTitle(QStringLiteral("坐标系"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("表中北坐标X、东坐标Y所在的坐标系："), this));
    int selected = -1;
    const GeoLayer* geo = geoLayer();
    static const std::vector<UsualCrs> kNone;
    for (const UsualCrs& usual : geo != nullptr ? geo->usualCrsList() : kNone) {
        const QString code = QString::fromStdString(usual.code);
        m_list->addItem(QString::fromStdString(usual.group) + QStringLiteral("  ") + code +
                            QStringLiteral("  ") + QString::fromStdString(usual.name),
                        code);
        if (code.compare(current.trimmed(), Qt::CaseInsensitive) == 0)
            selected = m_list->count() - 1;
    }
    m_list->addItem(kOther, QString());
    m_list->setMaxVisibleItems(24);
    layout->addWidget(m_list);
    m_other->setPlaceholderText(QStringLiteral("例如 EPSG:4547，或 WKT、PROJ 字符串"));
    m_other->setTabChangesFocus(true);
    layout->addWidget(m_other);
    m_problem->setObjectName(QStringLiteral("CrsProblem"));
    m_problem->setWordWrap(true);
    m_problem->setStyleSheet(QStringLiteral("color: #c00000"));
    layout->addWidget(m_problem);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &CrsChooser::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CrsChooser::reject);
    if (selected >= 0) {
        m_list->setCurrentIndex(selected);
    } else if (!current.trimmed().isEmpty()) {
        m_list->setCurrentIndex(m_list->count() - 1);
        m_other->setPlainText(current.trimmed());
    }
    connect(m_list, &QComboBox::currentIndexChanged, this, &CrsChooser::showChoice);
    showChoice();
    resize(640, 260);
}

void CrsChooser::showChoice() {
    m_other->setEnabled(m_list->currentData().toString().isEmpty());
    m_problem->clear();
}

QString CrsChooser::chosenText() const {
    const QString code = m_list->currentData().toString();
    return code.isEmpty() ? m_other->toPlainText().trimmed() : code;
}

void CrsChooser::accept() {
    QString problem;
    const GeoLayer* geo = geoLayer(&problem);
    if (geo == nullptr) {
        m_problem->setText(problem);
        return;
    }
    Result<Crs> crs = geo->crsFromUserText(chosenText().toStdString());
    if (!crs) {
        m_problem->setText(QString::fromStdString(crs.error().message));
        return;
    }
    QDialog::accept();
}

std::optional<QString> askCrs(QWidget* parent, const QString& current) {
    if (geoLayerOrSay(parent) == nullptr)
        return std::nullopt;
    CrsChooser chooser(current, parent);
    if (chooser.exec() != QDialog::Accepted)
        return std::nullopt;
    return chooser.chosenText();
}

QString degreesMinutesSeconds(double degrees, bool latitude) {
    const QChar hemisphere = latitude ? (degrees < 0 ? QLatin1Char('S') : QLatin1Char('N'))
                                      : (degrees < 0 ? QLatin1Char('W') : QLatin1Char('E'));
    // Rounded to a hundredth of a second first, so 59.995" never shows as 60.00".
    const long long hundredths = std::llround(std::fabs(degrees) * 360000.0);
    const long long d = hundredths / 360000;
    const long long m = hundredths / 6000 % 60;
    const double s = static_cast<double>(hundredths % 6000) / 100.0;
    return QStringLiteral("%1°%2′%3″%4")
        .arg(d)
        .arg(m, 2, 10, QLatin1Char('0'))
        .arg(s, 5, 'f', 2, QLatin1Char('0'))
        .arg(hemisphere);
}

}  // namespace corvane
