#pragma once

#include "dialog/Outcome.h"
#include "forms/Form.h"
#include "host/ObjectModel.h"
#include "runtime/ComPtr.h"

#include <QPointer>
#include <QStringList>

#include <map>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;

namespace quillet {

using runtime::ComPtr;

// The main dialog: deletes fields on one tab, renames a field on the other.
// Every handler and routine goes on past a failing host call, statement by
// statement; see HostCalls.h. The routines that work on the layers show no
// message: they return what they did, and the handlers word it.
class frmQuillet : public forms::Form {
public:
    frmQuillet();

    // Form-level fields: they outlive unloading.
    ComPtr<host::IHostApplication> m_pApp;
    ComPtr<host::IMapDocument> m_pDoc;
    // Made anew by every load and held until the next; only Form_Load reads it.
    ComPtr<host::IRunningApplicationTable> m_pAppRot;

    // Controls: they exist while the window is loaded.
    QPointer<QTabWidget> TabStrip1;
    QPointer<QPushButton> cmdClose;
    QPointer<QPushButton> cmdAbout;
    QPointer<QGroupBox> frameDeleteFields;
    QPointer<QLabel> Label1;
    QPointer<QComboBox> cboTargetLayer;
    QPointer<QPushButton> cmdViewRequiredFields;
    QPointer<QLabel> Label2;
    QPointer<QLabel> Label3;
    QPointer<QListWidget> lstAvailableFields;
    QPointer<QPushButton> cmdAddall;
    QPointer<QPushButton> cmdAdd;
    QPointer<QPushButton> cmdRemove;
    QPointer<QPushButton> cmdRemoveAll;
    QPointer<QListWidget> lstSelectedFields;
    QPointer<QPushButton> cmdDelete;
    QPointer<QGroupBox> frameRenameFields;
    QPointer<QLabel> Label6;
    QPointer<QComboBox> cboTargetLayerRename;
    QPointer<QPushButton> cmdViewRequiredFieldsRename;
    QPointer<QLabel> Label5;
    QPointer<QLabel> Label4;
    QPointer<QComboBox> cboCurrentFieldName;
    QPointer<QPushButton> cmdConvert;
    QPointer<QLineEdit> txtNewFieldName;
    QPointer<QLabel> Label7;

    // Event handlers.
    void Form_Load() override;
    void TabStrip1_Click();
    void cmdClose_Click();
    void cmdAbout_Click();
    void cboTargetLayer_Click();
    void cboTargetLayerRename_Click();
    void cmdAddall_Click();
    void cmdAdd_Click();
    void cmdRemove_Click();
    void cmdRemoveAll_Click();
    void cmdDelete_Click();
    void cmdConvert_Click();
    void txtNewFieldName_KeyPress(char16_t& KeyAscii);
    void cmdViewRequiredFields_Click();
    void cmdViewRequiredFieldsRename_Click();

    // The window's own routines.
    void LoadDeleteLayerList();
    void LoadRenameLayerList();
    ComPtr<host::IFeatureLayer> FindLayer(const QString& layerName);
    Outcome LoadCurrentFieldList(const QString& layerName);
    void LoadAvailableFieldList(const QString& layerName);
    [[nodiscard]] Outcome DeleteField(const QString& layerName, const QString& fieldName);
    bool FieldNameExists(const QString& layerName, const QString& newName);
    bool IsValidFieldName(const QString& name);
    [[nodiscard]] Outcome DuplicateField(const QString& layerName, const QString& oldName, const QString& newName);
    void LoadRequiredFieldList(const QString& layerName);

protected:
    forms::WindowStyle style() const override;
    void createControls(QDialog& window) override;

private:
    // The part of a deletion pass's report that names a field.
    enum class Section { Deleted, StillInLayer, NotInLayer, LayerNotFound, FieldsUnreadable };
    static Section sectionOf(const Outcome& deletion);
    // A field whose required flag is set, or cannot be read, is refused and
    // named as the host names it.
    static std::optional<Outcome> refuseRequired(const ComPtr<host::IFieldDefinition>& pField);
    void reportRequired(const Outcome& deletion);
    void reportDeletions(const QString& layerName, const std::map<Section, QStringList>& sections);
    void reportRename(const Outcome& duplication, const QString& oldName, const QString& newName);
    void reportListing(const Outcome& listing);
    void fillLayerList(QComboBox* box, const ComPtr<host::IMapDocument>& pMapDoc);
    void moveOne(QListWidget* source, QListWidget* target);
    void moveAll(QListWidget* source, QListWidget* target);
    void viewRequiredFields(QComboBox* layerBox);
    void reloadFieldLists();
};

} // namespace quillet
