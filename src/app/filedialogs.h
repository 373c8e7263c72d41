#pragma once

#include <QFileDialog>
#include <QString>
#include <QStringList>

#include <optional>

namespace corvane {

/// A file chosen in a file dialog and the 1-based index of the file type selected.
struct FileChoice {
    QString path;
    int filter = 1;
};

/// The file dialogs of the commands, replaceable so that tests can answer them.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    /// An existing file to read.
    virtual std::optional<FileChoice> openFile(QWidget* parent, const QStringList& filters,
                                               int initialFilter);
    /// A file to write; the dialog asks before it replaces the file chosen.
    virtual std::optional<FileChoice> saveFile(QWidget* parent, const QStringList& filters,
                                               int initialFilter);
};

/// Size and columns of every file dialog the program opens: the size, type and date
/// columns wide enough to read whole.
void prepareFileDialog(QFileDialog& dialog);

/// The folder the file dialogs open in: that of the file last chosen in one of them or
/// last imported, as the system's own dialogs remember it; at first the working folder.
QString dialogFolder();
void setDialogFolder(const QString& folder);

/// Runs a prepared file dialog; `filter` of the answer is the 1-based type chosen.
std::optional<FileChoice> askFile(QWidget* parent, QFileDialog::AcceptMode mode,
                                  const QString& title, const QStringList& filters,
                                  int initialFilter);

/// The dialogs the application shows.
FileDialogs& systemFileDialogs();

/// `path` with `extension` appended unless it ends in exactly that text (letter case
/// included), as every export and the merge name their files.
QString withExtension(const QString& path, const QString& extension);

}  // namespace corvane
