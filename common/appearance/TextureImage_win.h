#pragma once
// The texture image as both the launcher and the customizer see it: loaded with GDI+ and
// turned upright as its EXIF orientation says.

#include <windows.h>
// GDI+ needs these COM types and min/max.
#include <objbase.h>
#include <ole2.h>
#include <algorithm>
using std::max;
using std::min;
#include <gdiplus.h>

#include <memory>
#include <string>

// Turns the image as its EXIF orientation says (16-bit value of tag 0x0112).
void ApplyExifOrientation(Gdiplus::Bitmap& image);

// The image of a file, upright; null when the file cannot be read as an image or is empty.
std::unique_ptr<Gdiplus::Bitmap> LoadTextureImage(const std::wstring& path);
