#include "TApplication.h"

#include "EAbort.h"
#include "Exception.h"
#include "HintTracker.h"
#include "ImageLists.h"
#include "ModalResults.h"

#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QWidget>

TApplication::TApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    new HintTracker(this);
    // Every window shows the program's icon, and the desktop matches the windows to the
    // program's menu entry.
    setWindowIcon(ImageLists::programIcon());
    setDesktopFileName(QStringLiteral("io.github.tinlark.Tinlark"));
}

TApplication::~TApplication() = default;

TApplication *TApplication::instance()
{
    return qobject_cast<TApplication *>(QCoreApplication::instance());
}

bool TApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &exception) {
        showException(exception);
    } catch (...) {
        showException(Exception(QString()));
    }
    return false;
}

QString TApplication::withFullStop(const QString &message)
{
    if (!message.isEmpty() && message.back().unicode() > u'.')
        return message + QLatin1Char('.');
    return message;
}

void TApplication::showException(const std::exception &exception)
{
    if (dynamic_cast<const EAbort *>(&exception))
        return;
    const auto *own = dynamic_cast<const Exception *>(&exception);
    const QString message = withFullStop(own ? own->message() : QString::fromUtf8(exception.what()));
    if (m_exceptionDisplay)
        m_exceptionDisplay(message);
    else
        showMessageBox(message);
}

void TApplication::setExceptionDisplay(std::function<void(const QString &)> display)
{
    m_exceptionDisplay = std::move(display);
}

void TApplication::showMessageBox(const QString &message)
{
    QMessageBox box(QMessageBox::Critical, m_title, message, QMessageBox::Ok, activeWindow());
    box.setTextFormat(Qt::PlainText); // a message may quote a server, a file or a speech
    box.exec();
}

void TApplication::setHint(const QString &hint)
{
    if (hint == m_hint)
        return;
    m_hint = hint;
    emit hintChanged();
}

QString TApplication::executableFolder() const
{
    const QString folder = m_executableFolder.isEmpty() ? applicationDirPath() : m_executableFolder;
    return QDir::fromNativeSeparators(folder).endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

void TApplication::terminate()
{
    m_terminated = true;
    QList<QPointer<QWidget>> windows;
    for (QWidget *window : topLevelWidgets()) {
        if (!window->isVisible() || window->windowType() == Qt::Desktop)
            continue;
        if (window->isModal())
            windows.prepend(window);
        else
            windows.append(window);
    }
    // A window may go away while another closes. A modal dialog that refuses (a message box
    // without a close box) answers Cancel, as a dialog closed from outside does.
    for (const QPointer<QWidget> &window : std::as_const(windows)) {
        if (window && window->isVisible())
            window->close();
        if (auto *dialog = qobject_cast<QDialog *>(window.data()); dialog && dialog->isVisible())
            dialog->done(mrCancel);
    }
    QCoreApplication::exit(0);
}

QString TApplication::exeName() const
{
    return executableFolder() + QFileInfo(applicationFilePath()).fileName();
}
