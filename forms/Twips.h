#pragma once

#include "forms/Export.h"

#include <QRect>

class QWidget;

namespace forms {

// Positions come in twips (1/1440 inch): 15 twips per pixel at 96 dpi,
// scaled with the screen's logical dpi.
FORMS_EXPORT int twipsToPixels(int twips);
FORMS_EXPORT QRect twipsRect(int left, int top, int width, int height);
FORMS_EXPORT void place(QWidget* widget, int left, int top, int width, int height);

} // namespace forms
