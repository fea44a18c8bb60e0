// The four buttons that move names between the available list and the
// deletion list.

#include "dialog/frmQuillet.h"
#include "forms/Controls.h"

#include <QListWidget>

namespace quillet {

void frmQuillet::moveOne(QListWidget* source, QListWidget* target)
{
    const int index = source->currentRow();
    if (index == -1) return;
    if (!source->item(index)->isSelected()) return;
    target->addItem(source->item(index)->text());
    delete source->takeItem(index);
    // Taking the row out would select its neighbour; the source keeps no selection.
    forms::clearListSelection(source);
}

void frmQuillet::moveAll(QListWidget* source, QListWidget* target)
{
    if (source->count() == 0) return;
    for (int i = 0; i < source->count(); ++i) target->addItem(source->item(i)->text());
    source->clear();
}

void frmQuillet::cmdAdd_Click() { moveOne(lstAvailableFields, lstSelectedFields); }
void frmQuillet::cmdRemove_Click() { moveOne(lstSelectedFields, lstAvailableFields); }
void frmQuillet::cmdAddall_Click() { moveAll(lstAvailableFields, lstSelectedFields); }
void frmQuillet::cmdRemoveAll_Click() { moveAll(lstSelectedFields, lstAvailableFields); }

} // namespace quillet
