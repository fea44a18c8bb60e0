#include "gdalhost/TableFields.h"

#include "engine/core/Progress.h"
#include "gdalhost/FieldSchema.h"
#include "gdalhost/FieldTypes.h"

#include <QCoreApplication>
#include <QThread>

#include <ogr_feature.h>

namespace gdalhost {

using runtime::HResult;

namespace {

// While a change waits on a database, what needs painting is painted; user
// input waits, so that nothing starts another change meanwhile.
class PaintWhileWaiting {
public:
    PaintWhileWaiting() : listener_(paint) {}

private:
    static void paint()
    {
        const QCoreApplication* app = QCoreApplication::instance();
        if (!app || QThread::currentThread() != app->thread()) return;
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers |
                                        QEventLoop::X11ExcludeTimers);
    }

    engine::WaitListener listener_;
};

} // namespace

HResult TableFields::fields(hostkit::FieldList& out)
{
    std::shared_ptr<const engine::Schema> schema;
    const HResult hr = table_.schema(schema);
    if (runtime::failed(hr)) return hr;
    if (schema != convertedFrom_) {
        converted_ = std::make_shared<const std::vector<hostkit::FieldInfo>>(fieldInfos(*schema));
        convertedFrom_ = schema;
    }
    out = converted_;
    return runtime::S_OK;
}

HResult TableFields::addField(const hostkit::FieldInfo& info) const
{
    std::unique_ptr<OGRFieldDefn> ogrField;
    const HResult hr = ogrFieldFor(info, ogrField);
    if (runtime::failed(hr)) return hr;
    const PaintWhileWaiting painting;
    return table_.addField(*ogrField, databaseTypeName(info.type).value_or(std::string()));
}

HResult TableFields::deleteField(const std::string& name) const
{
    const PaintWhileWaiting painting;
    return table_.deleteField(name);
}

HResult TableFields::copyColumn(const std::string& from, const std::string& to) const
{
    const PaintWhileWaiting painting;
    return table_.copyColumn(from, to);
}

} // namespace gdalhost
