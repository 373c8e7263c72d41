#pragma once

#include <QApplication>

#include <memory>

namespace corvane {

class CMainFrame;
class CorvaneSettings;

/// The application: its identity for the settings store, the Chinese texts of Qt's
/// own dialogs, the settings, the main window and the last stop for exceptions.
class CCorvaneApp : public QApplication {
    Q_OBJECT

public:
    CCorvaneApp(int& argc, char** argv);
    ~CCorvaneApp() override;

    /// Organisation "Quennell", application "Corvane".
    static void setIdentity();

    /// Creates the main window, shows it maximised and imports a file named on the
    /// command line. False ends the program.
    bool InitInstance();

    CMainFrame* mainFrame() const { return m_frame.get(); }

    /// Delivers events; an exception that a command let through ends in an error
    /// message instead of ending the program. The point table has taken back the
    /// edits of the command that failed.
    bool notify(QObject* receiver, QEvent* event) override;

    /// Installs Qt's own Chinese texts (buttons, file dialogs), compiled into the
    /// program, into `app`; false when they cannot be read.
    static bool loadTranslations(QCoreApplication& app);

    /// On Windows, "Microsoft YaHei UI" as the interface font where the system has it.
    void useInterfaceFont();

private:
    std::unique_ptr<CorvaneSettings> m_settings;
    std::unique_ptr<CMainFrame> m_frame;
};

}  // namespace corvane
