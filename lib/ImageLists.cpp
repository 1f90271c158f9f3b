#include "ImageLists.h"

#include "RenderedPictures.h"

#include <QBitmap>
#include <QColor>
#include <QImage>

// The pictures live in a static library, whose resources the linker drops unless they are
// registered by name. Q_INIT_RESOURCE declares a function in the enclosing scope, so it may not
// sit in a namespace.
static void registerResources()
{
    Q_INIT_RESOURCE(tinlark);
}

namespace {

constexpr int ImageCount = 25;
constexpr int HotImageCount = 24;
// The last picture of Images repeats the find-next binoculars.
constexpr int FindNextImage = 9;

// Registers the About window's pictures the first time one of them is asked for.
void ensureResources()
{
    static const bool registered = (registerResources(), true);
    (void)registered;
}

// Adds every size drawn of the picture (16 pixels, 32 for screens of double density);
// false when there is no such picture.
bool addPicture(QIcon &icon, const QString &name, QIcon::Mode mode)
{
    bool found = false;
    for (const RenderedPictures::Picture &picture : RenderedPictures::all()) {
        if (name != QLatin1String(picture.name))
            continue;
        const QImage pixels(reinterpret_cast<const uchar *>(picture.pixels), picture.size, picture.size,
                            picture.size * 4, QImage::Format_ARGB32_Premultiplied);
        icon.addPixmap(QPixmap::fromImage(pixels), mode);
        found = true;
    }
    return found;
}

QString imageName(int index)
{
    if (index == ImageCount - 1)
        index = FindNextImage;
    return QStringLiteral("normal/%1").arg(index, 2, 10, QLatin1Char('0'));
}

// Pictures that look the same in both lists are drawn once, in Images.
void addHotPicture(QIcon &icon, int index, QIcon::Mode mode)
{
    if (!addPicture(icon, QStringLiteral("hot/%1").arg(index, 2, 10, QLatin1Char('0')), mode))
        addPicture(icon, imageName(index), mode);
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

QIcon ImageLists::programIcon()
{
    QIcon icon;
    addPicture(icon, QStringLiteral("icon"), QIcon::Normal);
    return icon;
}

QIcon ImageLists::image(int index)
{
    QIcon icon;
    if (index >= 0 && index < ImageCount)
        addPicture(icon, imageName(index), QIcon::Normal);
    return icon;
}

QIcon ImageLists::hotImage(int index)
{
    QIcon icon;
    if (index >= 0 && index < HotImageCount)
        addHotPicture(icon, index, QIcon::Normal);
    return icon;
}

QIcon ImageLists::toolIcon(int index)
{
    if (index < 0 || index >= ImageCount)
        return {};
    QIcon icon;
    addPicture(icon, imageName(index), QIcon::Normal);
    // Without a hot picture the button keeps the normal one.
    if (index < HotImageCount)
        addHotPicture(icon, index, QIcon::Active);
    else
        addPicture(icon, imageName(index), QIcon::Active);
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
