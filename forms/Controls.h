#pragma once

#include "forms/Export.h"

#include <QString>

#include <functional>
#include <optional>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;
class QWidget;

namespace forms {

// Geometry of a control in twips, relative to its container.
struct Twips {
    int left, top, width, height;
};

struct LabelStyle {
    bool bold = false;
    bool autoSize = false; // sized to its text
    bool wordWrap = false;
    double pointSize = 0;  // 0: the window's font
};

// Each builder makes a named child control placed in twips. Texts are shown
// as given: no markup is interpreted.
FORMS_EXPORT QLabel* addLabel(QWidget* parent, const char* name, const QString& text, Twips at, LabelStyle style = {});
FORMS_EXPORT QPushButton* addButton(QWidget* parent, const char* name, const QString& caption, Twips at,
                                    const QString& tooltip = {});
FORMS_EXPORT QComboBox* addDropDown(QWidget* parent, const char* name, Twips at);
FORMS_EXPORT QListWidget* addListBox(QWidget* parent, const char* name, Twips at, const QString& tooltip = {});
FORMS_EXPORT QLineEdit* addTextBox(QWidget* parent, const char* name, Twips at);
FORMS_EXPORT QGroupBox* addFrame(QWidget* parent, const char* name, const QString& caption, Twips at);

struct TabDef {
    QString caption;
    QString key;
};
// A tab strip whose tabs carry a caption and a key; the frames that go with
// the tabs are the window's, laid over it.
FORMS_EXPORT QTabWidget* addTabStrip(QWidget* parent, const char* name, std::initializer_list<TabDef> tabs, Twips at);
// The key of the selected tab; none when it cannot be read.
FORMS_EXPORT std::optional<QString> selectedTabKey(const QTabWidget* tabs);

// Drop-down lists whose selection event is raised exactly once for a pick,
// by the user or from code, and never while the list is being filled.
FORMS_EXPORT void onDropDownClick(QComboBox* box, std::function<void()> handler);
FORMS_EXPORT void clearDropDown(QComboBox* box);
FORMS_EXPORT void addDropDownEntry(QComboBox* box, const QString& text);
FORMS_EXPORT void selectDropDownEntry(QComboBox* box, int index);

// Single-selection list boxes.
FORMS_EXPORT void clearListSelection(QListWidget* list);

// The key-press event of a text box: the handler sees each typed character
// (13 for Enter) before the box does; the key is not consumed.
FORMS_EXPORT void onKeyPress(QLineEdit* box, std::function<void(char16_t& keyAscii)> handler);

} // namespace forms
