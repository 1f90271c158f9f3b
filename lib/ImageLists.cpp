#include "ImageLists.h"

#include <QBitmap>
#include <QColor>

// The pictures live in a static library, whose resources the linker drops unless they are
// registered by name. Q_INIT_RESOURCE declares a function in the enclosing scope, so it may not
// sit in a namespace.
static void registerResources()
{
    Q_INIT_RESOURCE(tinlark);
    Q_INIT_RESOURCE(tinlark_icons);
}

namespace {

constexpr int ImageCount = 25;
constexpr int HotImageCount = 24;

// Registers the pictures the first time any of them is asked for.
void ensureResources()
{
    static const bool registered = (registerResources(), true);
    (void)registered;
}

QString listPath(const char *list, int index, int count)
{
    if (index < 0 || index >= count)
        return {};
    return QStringLiteral(":/images/%1/%2.png").arg(QLatin1String(list)).arg(index, 2, 10, QLatin1Char('0'));
}

// The picture at 16 pixels and its twin at 32, drawn for screens of double density.
void addPicture(QIcon &icon, const QString &path, QIcon::Mode mode)
{
    icon.addFile(path, QSize(), mode);
    icon.addFile(QString(path).replace(QLatin1String(".png"), QLatin1String("@2x.png")), QSize(), mode);
}

QIcon iconAt(const QString &path)
{
    QIcon icon;
    if (!path.isEmpty())
        addPicture(icon, path, QIcon::Normal);
    return icon;
}

} // namespace

int ImageLists::imageCount()
{
    return ImageCount;
}

int ImageLists::hotImageCount()
{
    return HotImageCount;
}

QString ImageLists::imagePath(int index)
{
    ensureResources();
    return listPath("normal", index, ImageCount);
}

QString ImageLists::hotImagePath(int index)
{
    ensureResources();
    return listPath("hot", index, HotImageCount);
}

QIcon ImageLists::programIcon()
{
    ensureResources();
    QIcon icon;
    for (const int size : {16, 32, 64, 128})
        icon.addFile(QStringLiteral(":/icon/%1.png").arg(size));
    return icon;
}

QIcon ImageLists::image(int index)
{
    return iconAt(imagePath(index));
}

QIcon ImageLists::hotImage(int index)
{
    return iconAt(hotImagePath(index));
}

QIcon ImageLists::toolIcon(int index)
{
    const QString normal = imagePath(index);
    if (normal.isEmpty())
        return {};
    QIcon icon;
    addPicture(icon, normal, QIcon::Normal);
    const QString hot = hotImagePath(index);
    addPicture(icon, hot.isEmpty() ? normal : hot, QIcon::Active);
    return icon;
}

QPixmap ImageLists::aboutPhotograph()
{
    ensureResources();
    return QPixmap(QStringLiteral(":/about/landscape.jpg"));
}

QPixmap ImageLists::aboutStrip()
{
    ensureResources();
    QPixmap strip(QStringLiteral(":/about/strip.png"));
    if (!strip.isNull())
        strip.setMask(strip.createMaskFromColor(Qt::white, Qt::MaskInColor));
    return strip;
}
