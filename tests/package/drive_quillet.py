# Run by QGIS itself (qgis --code): presses the Quillet button, renames a
# field of the first layer through the dialog as a user would, and writes
# what happened to $QUILLET_RESULT. With $QUILLET_WAIT_FOR set, QGIS stays
# open until that file appears, so the package can be purged under it.
import os

from qgis.PyQt.QtCore import QTimer
from qgis.PyQt.QtWidgets import QAction, QApplication, QComboBox, QLineEdit, QMessageBox, QPushButton, QTabWidget, QWidget
from qgis.core import QgsProject, QgsVectorLayer
from qgis.utils import iface

result_path = os.environ["QUILLET_RESULT"]
wait_for = os.environ.get("QUILLET_WAIT_FOR", "")
layer_path, layer_name, old_name, new_name = os.environ["QUILLET_RENAME"].split(";")
messages = []
steps = []


def write(status):
    with open(result_path + ".part", "w") as out:
        out.write(status + "\n" + "\n".join(messages) + "\n")
    os.rename(result_path + ".part", result_path)


def quit_when_told():
    if not wait_for or os.path.exists(wait_for):
        # Nothing of the project is worth saving: QGIS quits without asking.
        QgsProject.instance().setDirty(False)
        QTimer.singleShot(0, iface.actionExit().trigger)
    else:
        QTimer.singleShot(200, quit_when_told)


def finish(status):
    write(status)
    quit_when_told()


def visible(cls, name=None):
    for w in QApplication.topLevelWidgets():
        if w.isVisible() and isinstance(w, cls) and (name is None or w.objectName() == name):
            return w
    return None


def answer_message_boxes():
    box = visible(QMessageBox)
    if box is not None:
        messages.append(box.text().replace("\r", " / "))
        for answer in (QMessageBox.Ok, QMessageBox.Yes, QMessageBox.Discard):
            if box.button(answer):
                box.button(answer).click()
                break
    QTimer.singleShot(100, answer_message_boxes)


def child(dialog, cls, name):
    return dialog.findChild(cls, name)


def rename_in(dialog):
    child(dialog, QTabWidget, "TabStrip1").setCurrentIndex(1)
    layers = child(dialog, QComboBox, "cboTargetLayerRename")
    layers.setCurrentIndex(layers.findText(iface.activeLayer().name()))
    fields = child(dialog, QComboBox, "cboCurrentFieldName")
    index = fields.findText(old_name)
    if index < 0:
        finish("fail: field %s not listed (%s)" % (old_name, [fields.itemText(i) for i in range(fields.count())]))
        return
    fields.setCurrentIndex(index)
    child(dialog, QLineEdit, "txtNewFieldName").setText(new_name)
    # Runs inside the button's handler; the message boxes are answered by the poller.
    child(dialog, QPushButton, "cmdConvert").click()
    child(dialog, QPushButton, "cmdClose").click()
    finish("renamed")


def wait_for_dialog(tries=0):
    dialog = visible(QWidget, "frmQuillet")
    if dialog is not None:
        QTimer.singleShot(0, lambda: rename_in(dialog))
    elif tries > 600:
        finish("fail: the Quillet dialog did not open")
    else:
        QTimer.singleShot(100, lambda: wait_for_dialog(tries + 1))


def press_button():
    buttons = [a for a in iface.mainWindow().findChildren(QAction) if a.text() == "Quillet" and a.toolTip() == "Click to launch Quillet"]
    if not buttons:
        finish("fail: no Quillet button")
        return
    # A layer made directly: QGIS asks nothing, as its Add Layer dialog would.
    layer = QgsVectorLayer(layer_path + "|layername=" + layer_name, layer_name, "ogr")
    QgsProject.instance().addMapLayer(layer)
    iface.setActiveLayer(layer)
    answer_message_boxes()
    wait_for_dialog()
    buttons[0].trigger()


if os.environ.get("QUILLET_EXPECT_NO_PLUGIN"):
    present = any(a.text() == "Quillet" for a in iface.mainWindow().findChildren(QAction))
    finish("plugin present" if present else "no plugin")
else:
    QTimer.singleShot(1000, press_button)
