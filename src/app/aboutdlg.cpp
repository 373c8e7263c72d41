#include "aboutdlg.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "appicons.h"
#include "corvaneversion.h"

namespace corvane {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("关于 Corvane"));

    auto* icon = new QLabel(this);
    icon->setPixmap(appIcon(QStringLiteral("corvane")).pixmap(48, 48));
    icon->setAlignment(Qt::AlignTop);
    auto* text = new QLabel(versionText(), this);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* ok = new QPushButton(QStringLiteral("确定(&O)"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addSpacing(12);
    top->addWidget(text, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->addLayout(top);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    setMinimumWidth(360);
}

QString CAboutDlg::versionText() {
    return QStringLiteral("Corvane, %1 版  Build %2")
        .arg(QLatin1String(kVersion), QLatin1String(kReleaseDate));
}

}  // namespace corvane
