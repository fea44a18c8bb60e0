#pragma once

#include "forms/Export.h"

#include <QDialog>
#include <QPointer>
#include <QString>

#include <functional>

namespace forms {

struct WindowStyle {
    QString caption;
    int clientWidth = 0;  // twips
    int clientHeight = 0; // twips
    bool titleBar = true; // close box with it; never minimise or maximise
};

// The windows' font: positions in twips were laid out for an 8 pt sans
// serif of Arial's widths. Liberation Sans has those metrics; the desktop's
// default (DejaVu Sans here) is a tenth wider and cuts the longest captions.
inline constexpr char windowFontFamily[] = "Liberation Sans";
inline constexpr double windowFontPoints = 8.25;

// The desktop the windows run in, as its users know it ("QGIS 3.40.6"):
// the host says it once at start. Until then, Qt's application name.
FORMS_EXPORT void setHostTitle(const QString& title);
FORMS_EXPORT QString hostTitle();

// A window object: it lives on while its window is loaded and unloaded.
// Loading creates the window and its controls and runs Form_Load;
// unloading destroys the controls, while the object's own fields stay.
class FORMS_EXPORT Form {
public:
    explicit Form(QString name);
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;
    virtual ~Form();

    const QString& name() const noexcept { return name_; }
    bool isLoaded() const noexcept { return window_ != nullptr; }
    QDialog* window() const noexcept { return window_; }

    void load();
    // Shows the window modally (loading it first if need be) and returns
    // once it has been unloaded or hidden; the window is unloaded then.
    void showModal();
    void unload();

protected:
    virtual WindowStyle style() const = 0;
    virtual void createControls(QDialog& window) = 0;
    virtual void Form_Load() {}

private:
    QString name_;
    QPointer<QDialog> window_;
    bool modal_ = false;
};

namespace testing {
// While set, a modal show hands the loaded, visible form to `handler`
// instead of waiting for a person. The handler returns true when it has
// dealt with the form (still loaded afterwards, it is closed as by its
// close box), or false to run the real modal loop.
using ModalHandler = std::function<bool(Form&)>;
FORMS_EXPORT void setModalHandler(ModalHandler handler);
} // namespace testing

} // namespace forms
