#pragma once

#include <QDialog>

namespace corvane {

/// The about box: the application icon, name, version and build.
class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    static QString versionText();
};

}  // namespace corvane
