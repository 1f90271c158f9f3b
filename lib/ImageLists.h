#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

// The program's pictures, compiled into the executable.
//
// The main window has two image lists of 16 by 16 pictures, the same subject at the same index
// in both: Images (what the actions show) and HotImages (what a tool button shows under the
// mouse, and what the main menu shows). The record buttons are black in Images and coloured in
// HotImages. The About window has a photograph and a strip with the maker's name.
//
// An index outside a list gives a null icon, as an empty slot would. The pictures are drawn at
// 16 pixels and at 32 for screens of double density.
class ImageLists
{
public:
    ImageLists() = delete;

    static int imageCount();
    static int hotImageCount();

    static QIcon image(int index);
    static QIcon hotImage(int index);
    // One icon for a tool button: the picture from Images, and the one from HotImages while the
    // mouse is over the button (QIcon::Active). Without a hot picture it keeps the normal one.
    static QIcon toolIcon(int index);

    // The program's own icon, the one its desktop entry names: every window shows it.
    static QIcon programIcon();

    // The landscape behind the About window's texts, 300 by 225.
    static QPixmap aboutPhotograph();
    // The maker's name running upwards, 29 by 200, its white ground transparent so that the
    // window's own colour shows through.
    static QPixmap aboutStrip();
};
