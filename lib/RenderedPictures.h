#pragma once

#include <QtGlobal>
#include <span>

// The program's pictures as drawn from their SVGs while the program is built
// (tinlark-render-icons): premultiplied ARGB pixels, ready to show.
namespace RenderedPictures {

struct Picture
{
    const char *name; // "normal/05", "hot/13", "icon"
    int size;         // width and height in pixels
    const quint32 *pixels;
};

std::span<const Picture> all();

} // namespace RenderedPictures
