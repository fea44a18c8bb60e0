#include "dialog/frmQuillet.h"

#include "dialog/HostCalls.h"
#include "dialog/Messages.h"
#include "forms/Controls.h"
#include "forms/MessageBox.h"
#include "resources/Resources.h"
#include "runtime/Creation.h"
#include "windows/frmAbout.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>

namespace quillet {

using namespace host;
using forms::LabelStyle;

namespace {
const QString tabDeleteKey = QStringLiteral("tabDelete");
const QString viewRequiredCaption = QStringLiteral("&View Required Field(s)");
const QString viewRequiredTooltip = QStringLiteral("Uneditable field(s)");
constexpr LabelStyle sizedToText{.autoSize = true};
} // namespace

frmQuillet::frmQuillet() : forms::Form(QStringLiteral("frmQuillet")) {}

forms::WindowStyle frmQuillet::style() const { return {text::title, 5265, 4770}; }

void frmQuillet::createControls(QDialog& w)
{
    w.setWindowIcon(windowIcon());
    TabStrip1 = forms::addTabStrip(&w, "TabStrip1",
                                   {{QStringLiteral("Delete field(s)"), tabDeleteKey},
                                    {QStringLiteral("Rename field(s)"), QStringLiteral("tabRename")}},
                                   {120, 120, 5055, 4095});
    cmdClose = forms::addButton(&w, "cmdClose", QStringLiteral("&Close"), {4080, 4320, 1095, 375});
    cmdAbout = forms::addButton(&w, "cmdAbout", QStringLiteral("A&bout..."), {2760, 4320, 1095, 375});

    frameDeleteFields = forms::addFrame(&w, "frameDeleteFields", {}, {240, 480, 4815, 3615});
    QWidget* del = frameDeleteFields;
    Label1 = forms::addLabel(del, "Label1", QStringLiteral("Select target layer:"), {120, 240, 1320, 195}, sizedToText);
    cboTargetLayer = forms::addDropDown(del, "cboTargetLayer", {120, 480, 2655, 315});
    cmdViewRequiredFields = forms::addButton(del, "cmdViewRequiredFields", viewRequiredCaption,
                                             {2880, 480, 1815, 375}, viewRequiredTooltip);
    Label2 = forms::addLabel(del, "Label2", QStringLiteral("Available field(s):"), {120, 960, 1185, 195}, sizedToText);
    Label3 = forms::addLabel(del, "Label3", QStringLiteral("Field(s) to be deleted:"), {2760, 960, 1515, 195},
                             sizedToText);
    lstAvailableFields = forms::addListBox(del, "lstAvailableFields", {120, 1200, 1935, 1815});
    cmdAddall = forms::addButton(del, "cmdAddall", QStringLiteral(">>"), {2160, 1200, 495, 375},
                                 QStringLiteral("Add all available field(s) to deletion list"));
    cmdAdd = forms::addButton(del, "cmdAdd", QStringLiteral(">"), {2160, 1680, 495, 375},
                              QStringLiteral("Add selected field to deletion list"));
    cmdRemove = forms::addButton(del, "cmdRemove", QStringLiteral("<"), {2160, 2160, 495, 375},
                                 QStringLiteral("Remove selected field from deletion list"));
    cmdRemoveAll = forms::addButton(del, "cmdRemoveAll", QStringLiteral("<<"), {2160, 2640, 495, 375},
                                    QStringLiteral("Remove all field(s) from deletion list"));
    lstSelectedFields = forms::addListBox(del, "lstSelectedFields", {2760, 1200, 1935, 1815});
    cmdDelete = forms::addButton(del, "cmdDelete", QStringLiteral("Delete Selected Field(s)"), {2760, 3120, 1935, 375});

    frameRenameFields = forms::addFrame(&w, "frameRenameFields", {}, {240, 480, 4815, 3615});
    QWidget* ren = frameRenameFields;
    Label6 = forms::addLabel(ren, "Label6", QStringLiteral("Select target layer:"), {120, 240, 1320, 195}, sizedToText);
    cboTargetLayerRename = forms::addDropDown(ren, "cboTargetLayerRename", {120, 480, 2655, 315});
    cmdViewRequiredFieldsRename = forms::addButton(ren, "cmdViewRequiredFieldsRename", viewRequiredCaption,
                                                   {2880, 480, 1815, 375}, viewRequiredTooltip);
    Label5 = forms::addLabel(ren, "Label5", QStringLiteral("Current field(s):"), {120, 960, 1050, 195}, sizedToText);
    Label4 = forms::addLabel(ren, "Label4", QStringLiteral("New field:"), {3000, 960, 705, 195}, sizedToText);
    cboCurrentFieldName = forms::addDropDown(ren, "cboCurrentFieldName", {120, 1200, 1695, 315});
    cmdConvert = forms::addButton(ren, "cmdConvert", QStringLiteral("Convert"), {1920, 1200, 975, 375});
    txtNewFieldName = forms::addTextBox(ren, "txtNewFieldName", {3000, 1200, 1695, 315});
    Label7 = forms::addLabel(ren, "Label7",
                             QStringLiteral("Tip: After you type in desired new field name, you could either press "
                                            "<Enter> key or click \"Convert\" button to proceed."),
                             {120, 1680, 4575, 1815}, LabelStyle{.wordWrap = true});
    frameRenameFields->hide();

    QWidget* order[] = {TabStrip1, cmdClose, cmdAbout, cboTargetLayer, lstAvailableFields, lstSelectedFields,
                        cmdAddall, cmdAdd, cmdRemove, cmdRemoveAll, cmdDelete, cboTargetLayerRename,
                        cboCurrentFieldName, txtNewFieldName, cmdConvert, cmdViewRequiredFields,
                        cmdViewRequiredFieldsRename};
    for (std::size_t i = 1; i < std::size(order); ++i) QWidget::setTabOrder(order[i - 1], order[i]);

    QObject::connect(TabStrip1, &QTabWidget::currentChanged, &w, [this] { TabStrip1_Click(); });
    QObject::connect(cmdClose, &QPushButton::clicked, &w, [this] { cmdClose_Click(); });
    QObject::connect(cmdAbout, &QPushButton::clicked, &w, [this] { cmdAbout_Click(); });
    forms::onDropDownClick(cboTargetLayer, [this] { cboTargetLayer_Click(); });
    forms::onDropDownClick(cboTargetLayerRename, [this] { cboTargetLayerRename_Click(); });
    QObject::connect(cmdAddall, &QPushButton::clicked, &w, [this] { cmdAddall_Click(); });
    QObject::connect(cmdAdd, &QPushButton::clicked, &w, [this] { cmdAdd_Click(); });
    QObject::connect(cmdRemove, &QPushButton::clicked, &w, [this] { cmdRemove_Click(); });
    QObject::connect(cmdRemoveAll, &QPushButton::clicked, &w, [this] { cmdRemoveAll_Click(); });
    QObject::connect(cmdDelete, &QPushButton::clicked, &w, [this] { cmdDelete_Click(); });
    QObject::connect(cmdConvert, &QPushButton::clicked, &w, [this] { cmdConvert_Click(); });
    forms::onKeyPress(txtNewFieldName, [this](char16_t& key) { txtNewFieldName_KeyPress(key); });
    QObject::connect(cmdViewRequiredFields, &QPushButton::clicked, &w, [this] { cmdViewRequiredFields_Click(); });
    QObject::connect(cmdViewRequiredFieldsRename, &QPushButton::clicked, &w,
                     [this] { cmdViewRequiredFieldsRename_Click(); });
}

void frmQuillet::Form_Load()
{
    runtime::createInstance(CLSID_RunningApplicationTable, m_pAppRot);

    std::int32_t n = 0;
    read(m_pAppRot, &IRunningApplicationTable::get_Count, n);
    for (std::int32_t i = 0; i < n; ++i) {
        ComPtr<IHostApplication> item;
        const HResult hr = m_pAppRot ? m_pAppRot->get_Item(i, item.put()) : runtime::E_POINTER;
        // An item that cannot be read enters the branch, as any failing test does.
        if (runtime::failed(hr) || item.asOrNull<IMapApplication>()) {
            if (const auto again = fetch(m_pAppRot, &IRunningApplicationTable::get_Item, i)) m_pApp = again;
            ComPtr<runtime::IUnknown> document;
            if (m_pApp && runtime::succeeded(m_pApp->get_Document(document.put()))) {
                if (!document)
                    m_pDoc.reset();
                else
                    document.queryInterface(m_pDoc);
            }
        }
    }

    LoadDeleteLayerList();
    LoadRenameLayerList();
}

void frmQuillet::TabStrip1_Click()
{
    const std::optional<QString> key = forms::selectedTabKey(TabStrip1);
    const bool deleteTab = !key || *key == tabDeleteKey;
    frameDeleteFields->setVisible(deleteTab);
    frameRenameFields->setVisible(!deleteTab);
}

void frmQuillet::cmdClose_Click()
{
    if (forms::msgBox(window(), text::quitQuestion, forms::MsgKind::Question, text::title) == forms::Answer::Yes)
        unload();
}

void frmQuillet::cmdAbout_Click()
{
    frmAbout& about = frmAbout::instance();
    about.load();
    about.showModal();
}

} // namespace quillet
