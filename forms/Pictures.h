#pragma once

#include "forms/Export.h"

#include <QImage>
#include <QString>

#include <cstdint>
#include <map>

namespace forms {

// Pictures cross interfaces as 32-bit handles; the toolkit layer turns a
// handle back into the image while its owner keeps it.
using PictureHandle = std::int32_t;

FORMS_EXPORT PictureHandle registerPicture(const QImage& image);
FORMS_EXPORT void releasePicture(PictureHandle handle);
// A null image for a handle that is unknown or released.
FORMS_EXPORT QImage pictureFromHandle(PictureHandle handle);

// Images of one size looked up by key; owns their handles.
class FORMS_EXPORT ImageList {
public:
    ImageList() = default;
    ImageList(const ImageList&) = delete;
    ImageList& operator=(const ImageList&) = delete;
    ~ImageList();

    void add(const QString& key, const QImage& image);
    // 0 when no image has that key.
    PictureHandle handle(const QString& key) const;

private:
    std::map<QString, PictureHandle> images_;
};

} // namespace forms
