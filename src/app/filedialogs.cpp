#include "filedialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QTreeView>

namespace corvane {
namespace {

QString& lastFolder() {
    static QString folder;
    return folder;
}

}  // namespace

QString dialogFolder() {
    return lastFolder().isEmpty() ? QDir::currentPath() : lastFolder();
}

void setDialogFolder(const QString& folder) {
    lastFolder() = folder;
}

void prepareFileDialog(QFileDialog& dialog) {
    dialog.resize(820, 520);  // room for whole dates and long names
    // Qt's own dialog gives the name all the room and cuts size, type and date short.
    auto* details = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    if (!details)
        return;
    QHeaderView* header = details->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int c = 1; c < header->count(); ++c)
        header->setSectionResizeMode(c, QHeaderView::ResizeToContents);
}

std::optional<FileChoice> askFile(QWidget* parent, QFileDialog::AcceptMode mode,
                                  const QString& title, const QStringList& filters,
                                  int initialFilter) {
    QFileDialog dialog(parent, title, dialogFolder());
    prepareFileDialog(dialog);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    dialog.setNameFilters(filters);
    if (initialFilter >= 1 && initialFilter <= filters.size())
        dialog.selectNameFilter(filters.at(initialFilter - 1));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const QString chosen = dialog.selectedFiles().first();
    setDialogFolder(QFileInfo(chosen).absolutePath());
    int index = static_cast<int>(filters.indexOf(dialog.selectedNameFilter()));
    return FileChoice{chosen, index < 0 ? 1 : index + 1};
}

std::optional<FileChoice> FileDialogs::openFile(QWidget* parent, const QStringList& filters,
                                                int initialFilter) {
    return askFile(parent, QFileDialog::AcceptOpen, QString(), filters, initialFilter);
}

std::optional<FileChoice> FileDialogs::saveFile(QWidget* parent, const QStringList& filters,
                                                int initialFilter) {
    return askFile(parent, QFileDialog::AcceptSave, QString(), filters, initialFilter);
}

FileDialogs& systemFileDialogs() {
    static FileDialogs dialogs;
    return dialogs;
}

QString withExtension(const QString& path, const QString& extension) {
    return path.endsWith(extension, Qt::CaseSensitive) ? path : path + extension;
}

}  // namespace corvane
