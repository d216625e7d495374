#include "logo/Picture.h"

Picture Picture::Indexed(int width, int height, int bitsPerPixel, std::vector<Rgb> colours) {
    Picture picture;
    if (width < 1 || height < 1) return picture;
    picture.width_ = width;
    picture.height_ = height;
    picture.bitsPerPixel_ = bitsPerPixel;
    picture.colours_ = std::move(colours);
    picture.indices_.assign(size_t(width) * size_t(height), 0);
    return picture;
}

Picture Picture::Direct(int width, int height) {
    Picture picture;
    if (width < 1 || height < 1) return picture;
    picture.width_ = width;
    picture.height_ = height;
    picture.pixels_.assign(size_t(width) * size_t(height), Rgb{});
    return picture;
}

Rgb Picture::ColourAt(int x, int y) const {
    if (!IsIndexed()) return pixels_[Offset(x, y)];
    const size_t index = indices_[Offset(x, y)];
    return index < colours_.size() ? colours_[index] : Rgb{};
}
