#include "TextureImage_win.h"

#include <vector>

#include "MenuMetrics.h"

void ApplyExifOrientation(Gdiplus::Bitmap& image)
{
    const UINT size = image.GetPropertyItemSize(kExifOrientationTag);
    if (size < sizeof(Gdiplus::PropertyItem))
        return;
    std::vector<unsigned char> buffer(size);
    auto* item = reinterpret_cast<Gdiplus::PropertyItem*>(buffer.data());
    if (image.GetPropertyItem(kExifOrientationTag, size, item) != Gdiplus::Ok)
        return;
    if (item->type != kExifOrientationType || item->length < sizeof(unsigned short) || !item->value)
        return;
    const int turn = ExifRotateFlipType(*static_cast<const unsigned short*>(item->value));
    if (turn != 0)
        image.RotateFlip(static_cast<Gdiplus::RotateFlipType>(turn));
}

std::unique_ptr<Gdiplus::Bitmap> LoadTextureImage(const std::wstring& path)
{
    if (path.empty())
        return nullptr;
    std::unique_ptr<Gdiplus::Bitmap> image(Gdiplus::Bitmap::FromFile(path.c_str()));
    if (!image || image->GetLastStatus() != Gdiplus::Ok || image->GetWidth() == 0 || image->GetHeight() == 0)
        return nullptr;
    ApplyExifOrientation(*image);
    if (image->GetWidth() == 0 || image->GetHeight() == 0)
        return nullptr;
    return image;
}
