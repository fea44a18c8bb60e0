#include "GisTestSupport.h"

#include "forms/Controls.h"

#include <gtest/gtest.h>

#include <QLineEdit>

namespace gistest {

Host::Host(const std::vector<std::string>& paths)
    : loaded(gishost::loadDocument(paths)),
      application(runtime::make<gishost::Application>(loaded.document)),
      running(runtime::ComPtr<host::IHostApplication>(application.get()))
{
}

runtime::ComPtr<host::IFeatureClass> featureClassAt(const Host& host, int map, int layer)
{
    runtime::ComPtr<host::IMap> m;
    runtime::ComPtr<host::ILayer> l;
    runtime::ComPtr<host::IFeatureClass> featureClass;
    if (runtime::succeeded(host.loaded.document->get_Item(map, m.put())) &&
        runtime::succeeded(m->get_Layer(layer, l.put())))
        if (const auto featureLayer = l.asOrNull<host::IFeatureLayer>()) featureLayer->get_FeatureClass(featureClass.put());
    return featureClass;
}

std::vector<std::string> messages(const testsupport::Ui& ui)
{
    std::vector<std::string> out;
    for (const QString& text : ui.messageTexts()) out.push_back(text.toStdString());
    return out;
}

Dialog::Dialog() { form.load(); }

Dialog::~Dialog() { form.unload(); }

void Dialog::chooseLayer(QComboBox* box, const std::string& layer)
{
    const int index = box->findText(QString::fromStdString(layer));
    ASSERT_GE(index, 0) << layer;
    forms::selectDropDownEntry(box, index);
}

void Dialog::deleteFields(const std::string& layer, const std::vector<std::string>& fields)
{
    chooseLayer(form.cboTargetLayer, layer);
    deleteChosen(fields);
}

void Dialog::deleteChosen(const std::vector<std::string>& fields)
{
    for (const std::string& name : fields) {
        const auto found = form.lstAvailableFields->findItems(QString::fromStdString(name), Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << name;
        form.lstAvailableFields->setCurrentItem(found.front());
        form.cmdAdd_Click();
    }
    ui.answers.push_back(forms::Answer::Yes);
    form.cmdDelete_Click();
}

void Dialog::rename(const std::string& layer, const Rename& r)
{
    chooseLayer(form.cboTargetLayerRename, layer);
    renameChosen(r);
}

void Dialog::renameChosen(const Rename& r)
{
    const int index = form.cboCurrentFieldName->findText(QString::fromStdString(r.from));
    ASSERT_GE(index, 0) << r.from;
    forms::selectDropDownEntry(form.cboCurrentFieldName, index);
    form.txtNewFieldName->setText(QString::fromStdString(r.to));
    form.cmdConvert_Click();
}

} // namespace gistest
