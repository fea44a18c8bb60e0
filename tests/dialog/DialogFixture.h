#pragma once

#include "Ui.h"

#include "dialog/frmQuillet.h"
#include "memhost/Host.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QListWidget>
#include <QStringList>

#include <gtest/gtest.h>

// A dialog over a memory host. Every test ends by checking that the dialog
// left no host object alive beyond what its form-level fields hold.
class DialogTest : public ::testing::Test {
protected:
    void TearDown() override;

    static memhost::FieldProperties props(const char16_t* name, std::int32_t type = host::fieldTypeString,
                                   bool required = false);
    // Adds string fields named `names`, each row holding "<name><row>".
    static void addFields(memhost::Layer& layer, std::initializer_list<const char16_t*> names);
    static QStringList items(const QComboBox* box);
    static QStringList items(const QListWidget* list);
    // Selects `name` in a list box as a click does.
    static void select(QListWidget* list, const QString& name);
    // Picks an entry of a drop-down as the user does.
    static void pick(QComboBox* box, int index);
    // The field names of a layer, in order.
    static QStringList fieldNames(const memhost::Layer& layer);

    memhost::Host host;
    testsupport::Ui ui;
    quillet::frmQuillet form;
    memhost::Application& app = host.addApplication();
};
