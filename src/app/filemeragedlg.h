#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace corvane {

class FileDialogs;

/// Merges two point files into a third. Stays open after a merge so that several can
/// be made in a row; closed with its close box or Escape.
class CFileMerageDlg : public QDialog {
    Q_OBJECT

public:
    explicit CFileMerageDlg(FileDialogs& dialogs, QWidget* parent = nullptr);

    QLineEdit* firstEdit() const { return m_firstEdit; }
    QLineEdit* secondEdit() const { return m_secondEdit; }
    QPushButton* mergeButton() const { return m_mergeButton; }

    void OnBrowseFirst();
    void OnBrowseSecond();
    /// Asks for the output file, merges and writes it, and says how it went.
    void OnMerge();

private:
    void browse(QLineEdit* edit);

    FileDialogs& m_dialogs;
    QLineEdit* m_firstEdit = nullptr;
    QLineEdit* m_secondEdit = nullptr;
    QPushButton* m_mergeButton = nullptr;
};

}  // namespace corvane
