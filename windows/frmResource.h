#pragma once

#include "forms/Pictures.h"

namespace quillet {

// Holds the button bitmap. It is never shown, so it needs no window of its
// own: one shared instance, loaded on first use and kept while the module is.
class frmResource {
public:
    static frmResource& instance();
    // How many times any instance was loaded.
    static int loadCount();

    const forms::ImageList& ImageList1() const { return m_ImageList1; }

private:
    frmResource();
    forms::ImageList m_ImageList1;
};

} // namespace quillet
