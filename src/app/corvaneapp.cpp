#include "corvaneapp.h"

#include <QCommandLineParser>
#include <QFontDatabase>
#include <QLocale>
#include <QTimer>
#include <QTranslator>

#include <exception>
#include <new>

#include "appicons.h"
#include "corvaneversion.h"
#include "mainframe.h"
#include "messagebox.h"
#include "settings.h"

namespace corvane {

CCorvaneApp::CCorvaneApp(int& argc, char** argv) : QApplication(argc, argv) {
    setIdentity();
    setWindowIcon(appIcon(QStringLiteral("corvane")));
    useInterfaceFont();
    // Lets the desktop match the window with the installed entry and its icon.
    setDesktopFileName(QLatin1String(kDesktopId));
    loadTranslations(*this);
}

CCorvaneApp::~CCorvaneApp() {
    m_frame.reset();
    if (m_settings)
        m_settings->sync();
}

void CCorvaneApp::setIdentity() {
    QCoreApplication::setOrganizationName(QStringLiteral("Quennell"));
    QCoreApplication::setApplicationName(QStringLiteral("Corvane"));
}

void CCorvaneApp::useInterfaceFont() {
#ifdef Q_OS_WIN
    // Windows' own Chinese interface face, where the system has it: Qt's default there
    // is a Western face that draws Chinese through fallback, in another size.
    const QString yahei = QStringLiteral("Microsoft YaHei UI");
    if (QFontDatabase::hasFamily(yahei)) {
        QFont face = font();
        face.setFamilies({yahei});
        setFont(face);
    }
#endif
}

bool CCorvaneApp::loadTranslations(QCoreApplication& app) {
    // Every text of the program is Chinese; Qt's own buttons and dialogs follow.
    // Compiled in, so that it is there where no Qt translations are installed.
    auto* qt = new QTranslator(&app);
    if (!qt->load(QStringLiteral(":/translations/qtbase_zh_CN.qm"))) {
        delete qt;
        return false;
    }
    return QCoreApplication::installTranslator(qt);
}

bool CCorvaneApp::notify(QObject* receiver, QEvent* event) {
    QString text;
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::bad_alloc&) {
        text = QStringLiteral("内存不足，操作未能完成。表格保持操作前的样子。");
    } catch (const std::exception& e) {
        text = QStringLiteral("操作因意外的错误而中止（%1）。表格保持操作前的样子。")
                   .arg(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        text = QStringLiteral("操作因意外的错误而中止。表格保持操作前的样子。");
    }
    // One message at a time: events delivered while it is shown may fail as well.
    static bool showing = false;
    if (!showing) {
        showing = true;
        QWidget* parent = activeWindow();
        if (parent == nullptr)
            parent = m_frame.get();
        showError(parent, text);
        showing = false;
    }
    return false;
}

bool CCorvaneApp::InitInstance() {
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("要导入的点文件"));
    parser.process(*this);

    m_settings = std::make_unique<CorvaneSettings>();
    m_frame = std::make_unique<CMainFrame>(*m_settings);
    m_frame->showMaximized();
    m_frame->startRecovery();

    const QStringList files = parser.positionalArguments();
    if (!files.isEmpty()) {
        const QString path = files.first();
        QTimer::singleShot(0, m_frame.get(), [this, path] { m_frame->openFile(path); });
    }
    return true;
}

}  // namespace corvane
