#include "forms/Pictures.h"

#include <mutex>

namespace forms {

namespace {
struct Table {
    std::mutex mutex;
    std::map<PictureHandle, QImage> pictures;
    PictureHandle next = 1;
};
Table& table()
{
    static Table t;
    return t;
}
} // namespace

PictureHandle registerPicture(const QImage& image)
{
    auto& t = table();
    std::lock_guard lock(t.mutex);
    const PictureHandle h = t.next++;
    t.pictures.emplace(h, image);
    return h;
}

void releasePicture(PictureHandle handle)
{
    auto& t = table();
    std::lock_guard lock(t.mutex);
    t.pictures.erase(handle);
}

QImage pictureFromHandle(PictureHandle handle)
{
    auto& t = table();
    std::lock_guard lock(t.mutex);
    const auto it = t.pictures.find(handle);
    return it == t.pictures.end() ? QImage() : it->second;
}

ImageList::~ImageList()
{
    for (const auto& [key, handle] : images_) releasePicture(handle);
}

void ImageList::add(const QString& key, const QImage& image)
{
    if (auto it = images_.find(key); it != images_.end()) releasePicture(it->second);
    images_[key] = registerPicture(image);
}

PictureHandle ImageList::handle(const QString& key) const
{
    const auto it = images_.find(key);
    return it == images_.end() ? 0 : it->second;
}

} // namespace forms
