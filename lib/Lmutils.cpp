#include "Lmutils.h"

#include "EAbort.h"
#include "ImageList.h"
#include "LocaleInfo.h"
#include "TApplication.h"
#include "UnitCounter.h"

#include <QCloseEvent>
#include <QImage>
#include <QImageReader>
#include <QMessageBox>
#include <QWidget>

QString ShortDateFormatEx;

// Outside any namespace, as Q_INIT_RESOURCE requires.
static void initLmutilsResources()
{
    Q_INIT_RESOURCE(Lmutils);
}

namespace {

const QString IndicatorResource = QStringLiteral(":/bitmaps/DBGARROW");
// The locale answers what fits a buffer of this many characters, its final zero included.
constexpr int ShortDateBufferSize = 15;

UnitCounter starts;
std::unique_ptr<ImageList> IndicatorImages;
WindowProc PrevAppWndProc;
const LocaleInfo *localeInfoOverride = nullptr;

// The procedure start-up installs on the hidden window: it answers the terminate request
// and passes every other message on unchanged.
qint32 AppWndProc(HiddenWindow *window, quint32 message, quint32 wParam, qint32 lParam)
{
    if (message == TerminateRequest) {
        if (TApplication *application = TApplication::instance())
            application->terminate();
        return 0;
    }
    return PrevAppWndProc ? PrevAppWndProc(window, message, wParam, lParam)
                          : HiddenWindow::defWindowProc(window, message, wParam, lParam);
}

// Refuses every close event of the window it watches.
class CloseRefuser : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Close)
            return QObject::eventFilter(watched, event);
        event->ignore();
        return true;
    }
};

QString queryShortDateFormatEx()
{
    const LocaleInfo systemLocale;
    const LocaleInfo &locale = localeInfoOverride ? *localeInfoOverride : systemLocale;
    return widenShortDateFormat(locale.shortDateFormat(), locale.centurySetting());
}

} // namespace

QString widenShortDateFormat(const QString &shortDateFormat, const QString &centurySetting)
{
    QString format = shortDateFormat.size() < ShortDateBufferSize ? shortDateFormat : QString();
    if (!centurySetting.startsWith(QLatin1Char('1'))) {
        const qsizetype at = format.indexOf(QLatin1String("yy"));
        if (at >= 0)
            format.replace(at, 2, QStringLiteral("yyyy"));
    }
    return format;
}

std::unique_ptr<ImageList> loadIndicatorImages(const QString &resourcePath)
{
    initLmutilsResources();
    try {
        // Read as the bitmap it is: a picture is otherwise offered to every image plug-in
        // first, each one loaded for it, which made up a good part of the program's start-up.
        QImageReader reader(resourcePath, "BMP");
        reader.setAutoDetectImageFormat(false);
        const QImage bitmap = reader.read();
        if (bitmap.isNull())
            return nullptr;
        auto images = std::make_unique<ImageList>(bitmap.width(), bitmap.height());
        images->addMasked(bitmap, Qt::white);
        return images;
    } catch (const std::exception &) {
        // The picture only decorates a grid; the program does well without it.
        return nullptr;
    }
}

const ImageList *indicatorImages()
{
    return IndicatorImages.get();
}

void setLocaleInfo(const LocaleInfo *localeInfo)
{
    localeInfoOverride = localeInfo;
}

WindowProc SubClassApplication(WindowProc windowProc)
{
    return TApplication::instance()->hiddenWindow()->setWindowProc(std::move(windowProc));
}

void DeSubClassApplication(WindowProc windowProc)
{
    TApplication::instance()->hiddenWindow()->setWindowProc(std::move(windowProc));
}

void LmutilsStartup()
{
    if (!starts.enter())
        return;
    IndicatorImages = loadIndicatorImages(IndicatorResource);
    ShortDateFormatEx = queryShortDateFormatEx();
    if (TApplication::instance())
        PrevAppWndProc = SubClassApplication(AppWndProc);
}

void LmutilsExit()
{
    if (!starts.leave())
        return;
    if (TApplication::instance() && PrevAppWndProc)
        DeSubClassApplication(std::move(PrevAppWndProc));
    PrevAppWndProc = nullptr;
    IndicatorImages.reset();
    ShortDateFormatEx.clear();
}

void KillProgram(const QString &message)
{
    TApplication *application = TApplication::instance();
    if (!message.isEmpty()) {
        QMessageBox box(QMessageBox::Critical, application->title(), message, QMessageBox::Ok);
        box.setTextFormat(Qt::PlainText);
        box.exec();
    }
    application->hiddenWindow()->postMessage(TerminateRequest, 0, 0);
    throw EAbort();
}

void DisableCloseButton(QWidget *window)
{
    window->setWindowFlags((window->windowFlags() | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
                           & ~Qt::WindowCloseButtonHint);
    window->installEventFilter(new CloseRefuser(window));
}
