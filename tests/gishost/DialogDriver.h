#pragma once

// Drives the real add-in dialog as a person would, through its own handlers,
// answering its message boxes.

#include "dialog/frmQuillet.h"
#include "Ui.h"

#include <QStringList>

#include <string>
#include <vector>

class QComboBox;
class QListWidget;

namespace gistest {

QStringList entries(const QComboBox& box);
QStringList entries(const QListWidget& list);
std::vector<std::string> messages(const testsupport::Ui& ui);

struct Rename {
    std::string from;
    std::string to;
};

struct Dialog {
    testsupport::Ui ui;
    quillet::frmQuillet form;

    Dialog() { form.load(); }
    ~Dialog() { form.unload(); }

    void chooseLayer(QComboBox* box, const std::string& layer);
    // Moves the fields to the deletion list and confirms the deletion.
    void deleteFields(const std::string& layer, const std::vector<std::string>& fields);
    void rename(const std::string& layer, const Rename& r);
};

} // namespace gistest
