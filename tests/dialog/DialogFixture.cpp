#include "DialogFixture.h"

#include <QCoreApplication>

void DialogTest::TearDown()
{
    form.unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const long held = (form.m_pApp ? 1 : 0) + (form.m_pDoc ? 1 : 0) + (form.m_pAppRot ? 1 : 0);
    EXPECT_EQ(memhost::Host::liveObjects(), held) << "host objects left alive by the dialog";
    form.m_pApp.reset();
    form.m_pDoc.reset();
    form.m_pAppRot.reset();
}

void DialogTest::addFields(memhost::Layer& layer, std::initializer_list<const char16_t*> names)
{
    auto& fc = *layer.featureClass;
    for (const char16_t* name : names) {
        std::vector<runtime::Variant> values;
        for (std::size_t row = 0; row < fc.rowCount; ++row)
            values.emplace_back(std::u16string(name) + static_cast<char16_t>(u'0' + row));
        fc.addField(props(name), std::move(values));
    }
}

memhost::FieldProperties DialogTest::props(const char16_t* name, std::int32_t type, bool required)
{
    memhost::FieldProperties s;
    s.name = name;
    s.type = type;
    s.required = required;
    return s;
}

QStringList DialogTest::items(const QComboBox* box) { return testsupport::entries(*box); }

QStringList DialogTest::items(const QListWidget* list) { return testsupport::entries(*list); }

void DialogTest::select(QListWidget* list, const QString& name)
{
    const auto found = list->findItems(name, Qt::MatchExactly);
    ASSERT_FALSE(found.isEmpty()) << name.toStdString();
    list->setCurrentItem(found.front());
}

void DialogTest::pick(QComboBox* box, int index)
{
    box->setCurrentIndex(index);
    emit box->activated(index);
}

QStringList DialogTest::fieldNames(const memhost::Layer& layer)
{
    QStringList out;
    for (const auto& name : layer.featureClass->fieldNames()) out << QString::fromStdU16String(name);
    return out;
}
