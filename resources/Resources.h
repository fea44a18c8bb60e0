#pragma once

#include <QIcon>
#include <QImage>

namespace quillet {

// The claw hammer of the toolbar button: 16 x 16, magenta background.
QImage buttonBitmap();
// The splash picture: 300 x 237, 24-bit.
QImage splashPicture();
// The window icon of every dialog, at 16 x 16 and 32 x 32.
QIcon windowIcon();

} // namespace quillet
