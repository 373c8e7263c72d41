#include "filedialogs.h"

#include <QFileDialog>

namespace corvane {
namespace {

std::optional<FileChoice> run(QWidget* parent, QFileDialog::AcceptMode mode,
                              const QStringList& filters, int initialFilter) {
    QFileDialog dialog(parent);
    dialog.resize(820, 520);  // room for whole dates and long names
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    dialog.setNameFilters(filters);
    if (initialFilter >= 1 && initialFilter <= filters.size())
        dialog.selectNameFilter(filters.at(initialFilter - 1));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    int index = static_cast<int>(filters.indexOf(dialog.selectedNameFilter()));
    return FileChoice{dialog.selectedFiles().first(), index < 0 ? 1 : index + 1};
}

}  // namespace

std::optional<FileChoice> FileDialogs::openFile(QWidget* parent, const QStringList& filters,
                                                int initialFilter) {
    return run(parent, QFileDialog::AcceptOpen, filters, initialFilter);
}

std::optional<FileChoice> FileDialogs::saveFile(QWidget* parent, const QStringList& filters,
                                                int initialFilter) {
    return run(parent, QFileDialog::AcceptSave, filters, initialFilter);
}

FileDialogs& systemFileDialogs() {
    static FileDialogs dialogs;
    return dialogs;
}

QString withExtension(const QString& path, const QString& extension) {
    return path.endsWith(extension, Qt::CaseSensitive) ? path : path + extension;
}

}  // namespace corvane
