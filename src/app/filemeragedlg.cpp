#include "filemeragedlg.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "filedialogs.h"
#include "filemerge.h"
#include "longoperation.h"
#include "mergereport.h"
#include "messagebox.h"
#include "pathtext.h"

namespace corvane {
namespace {

QStringList pointFileFilter() {
    return {QStringLiteral("电力线测量数据文件(*.ept)")};
}

QGroupBox* fileGroup(const QString& title, QLineEdit*& edit, QPushButton*& browse,
                     QWidget* parent) {
    auto* group = new QGroupBox(title, parent);
    edit = new QLineEdit(group);
    edit->setMinimumWidth(420);
    browse = new QPushButton(QStringLiteral("..."), group);
    browse->setAutoDefault(false);
    browse->setFixedWidth(36);
    auto* row = new QHBoxLayout(group);
    row->addWidget(edit, 1);
    row->addWidget(browse);
    return group;
}

}  // namespace

CFileMerageDlg::CFileMerageDlg(FileDialogs& dialogs, QWidget* parent)
    : QDialog(parent), m_dialogs(dialogs) {
    setWindowTitle(QStringLiteral("文件合并"));

    QPushButton* browseFirst = nullptr;
    QPushButton* browseSecond = nullptr;
    QGroupBox* first =
        fileGroup(QStringLiteral("待合并的第一个文件"), m_firstEdit, browseFirst, this);
    QGroupBox* second =
        fileGroup(QStringLiteral("待合并的第二个文件"), m_secondEdit, browseSecond, this);
    m_mergeButton = new QPushButton(QStringLiteral("合并(&M)"), this);
    m_mergeButton->setDefault(true);

    connect(browseFirst, &QPushButton::clicked, this, &CFileMerageDlg::OnBrowseFirst);
    connect(browseSecond, &QPushButton::clicked, this, &CFileMerageDlg::OnBrowseSecond);
    connect(m_mergeButton, &QPushButton::clicked, this, &CFileMerageDlg::OnMerge);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_mergeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(first);
    layout->addWidget(second);
    layout->addLayout(buttons);
}

void CFileMerageDlg::OnBrowseFirst() {
    browse(m_firstEdit);
}

void CFileMerageDlg::OnBrowseSecond() {
    browse(m_secondEdit);
}

void CFileMerageDlg::browse(QLineEdit* edit) {
    // Only the edit browsed for changes; a path typed into the other one stays.
    if (std::optional<FileChoice> choice = m_dialogs.openFile(this, pointFileFilter(), 1))
        edit->setText(QDir::toNativeSeparators(choice->path));
}

void CFileMerageDlg::OnMerge() {
    const QString first = m_firstEdit->text().trimmed();
    const QString second = m_secondEdit->text().trimmed();
    // Named before the save dialog, so the user knows which edit to fill.
    if (first.isEmpty() || second.isEmpty()) {
        showError(this, first.isEmpty() ? QStringLiteral("没有给出第一个数据文件，请先选择它。")
                                        : QStringLiteral("没有给出第二个数据文件，请先选择它。"));
        return;
    }
    std::optional<FileChoice> choice = m_dialogs.saveFile(this, pointFileFilter(), 1);
    if (!choice)
        return;
    const QString output = withExtension(choice->path, QStringLiteral(".ept"));
    // The dialog asked about the name as typed; the extension makes it another file.
    if (output != choice->path && QFileInfo::exists(output) &&
        !askYesNo(
            this,
            QStringLiteral("文件“%1”已存在，是否替换？").arg(QDir::toNativeSeparators(output))))
        return;

    Result<MergeResult> merged = runLongOperation(this, QStringLiteral("正在合并文件……"), [&] {
        return mergeFiles(localPath(first), localPath(second), localPath(output));
    });
    if (!merged) {
        showError(this, QString::fromStdString(merged.error().message));
        return;
    }
    // The first file wins; the list says what lost, conflicts first.
    QString details;
    const std::vector<MergeReportEntry> report = mergeReport(merged.value());
    for (size_t i = 0; i < report.size() && i < 2000; ++i)
        details += QString::fromStdString(report[i].text) + QLatin1Char('\n');
    if (report.size() > 2000)
        details += QStringLiteral("……共 %1 行被舍去\n").arg(static_cast<qsizetype>(report.size()));
    showInformation(this, QStringLiteral("两个数据文件合并成果！"),
                    QString::fromStdString(mergeCounts(merged.value())) +
                        (details.isEmpty() ? QString() : QLatin1Char('\n') + details));
}

}  // namespace corvane
