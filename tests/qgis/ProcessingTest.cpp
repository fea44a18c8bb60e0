// Quillet's Processing algorithms, run as a model or the batch dialog runs
// them: through QGIS's Processing registry, on layers of the project, the
// data read back with GDAL alone.

#include "QgisTestSupport.h"

#include "dialog/Messages.h"

#include <gtest/gtest.h>

#include <qgsapplication.h>
#include <qgsprocessingalgorithm.h>
#include <qgsprocessingcontext.h>
#include <qgsprocessingfeedback.h>
#include <qgsprocessingregistry.h>
#include <qgsproject.h>

namespace {

namespace msg = quillet::text;

const QString renameId = QStringLiteral("quillet:renamefield");
const QString deleteId = QStringLiteral("quillet:deletefields");

// Processing's log as a test reads it.
class Feedback final : public QgsProcessingFeedback {
public:
    void reportError(const QString& error, bool fatal) override
    {
        errors << error;
        QgsProcessingFeedback::reportError(error, fatal);
    }
    QStringList errors;
};

struct Outcome {
    bool ok = false;
    QStringList errors;
};

// Runs an algorithm as Processing does; `cancelAt` cancels once the
// progress reaches it.
Outcome run(const QString& id, const QVariantMap& parameters, double cancelAt = 101)
{
    const QgsProcessingAlgorithm* algorithm = QgsApplication::processingRegistry()->algorithmById(id);
    EXPECT_TRUE(algorithm) << id.toStdString();
    if (!algorithm) return {};
    QgsProcessingContext context;
    context.setProject(QgsProject::instance());
    Feedback feedback;
    QObject::connect(&feedback, &QgsFeedback::progressChanged, [&](double done) {
        if (done >= cancelAt) feedback.cancel();
    });
    Outcome result;
    algorithm->run(parameters, context, &feedback, &result.ok);
    result.errors = feedback.errors;
    return result;
}

struct FormatCase {
    const char* format;
    QString layer;
    const char* file;
    QString renamedFrom;
    QString renamedTo;
    QStringList deleted;
    QString required; // a field the data source keeps itself; empty when none
};

std::ostream& operator<<(std::ostream& out, const FormatCase& c) { return out << c.format; }

const FormatCase formatCases[] = {
    {"GeoPackage", "cities", "quillet_sample.gpkg", "city_label", "city_name", {"city_count", "city_measure"}, {}},
    {"Shapefile", "rivers", "rivers.shp", "name", "river", {"flow", "class"}, {}},
    {"FileGDB", "lakes", "quillet_sample.gdb", "lake_label", "lake_name", {"lake_count", "lake_measure"},
     "Shape_Length"},
};

class ProcessingInQgis : public testing::TestWithParam<FormatCase> {
protected:
    std::string path() const { return host.project.path(GetParam().file); }
    QString layerId() const { return host.project.layer(GetParam().layer).id(); }
    gistest::LayerContent onDisk() const { return gistest::readLayer(path(), GetParam().layer.toStdString()); }

    qgistest::QgisHost host;
    qgistest::GdalAsElsewhere gdal;
};

TEST_P(ProcessingInQgis, RenamesAndDeletesOnTheLayersOwnData)
{
    const FormatCase& c = GetParam();
    const auto before = onDisk();
    const Outcome renamed = run(renameId, {{"INPUT", layerId()}, {"FIELD", c.renamedFrom}, {"NEW_NAME", c.renamedTo}});
    EXPECT_TRUE(renamed.ok) << renamed.errors.join('\n').toStdString();
    const Outcome deleted = run(deleteId, {{"INPUT", layerId()}, {"FIELDS", c.deleted}});
    EXPECT_TRUE(deleted.ok) << deleted.errors.join('\n').toStdString();

    std::vector<std::string> gone;
    for (const QString& f : c.deleted) gone.push_back(f.toStdString());
    const auto expected = gistest::changed(before, gone, {{c.renamedFrom.toStdString(), c.renamedTo.toStdString()}});
    const auto after = onDisk();
    EXPECT_EQ(after.fields, expected.fields);
    EXPECT_EQ(after.rows, expected.rows);
    EXPECT_EQ(after.geometries, expected.geometries);
    // The project's layer shows the new field at once.
    EXPECT_GE(host.project.layer(c.layer).fields().indexFromName(c.renamedTo), 0);
}

// A cancel between the steps leaves the old field whole and takes the new
// one away again.
TEST_P(ProcessingInQgis, ACanceledRenameLeavesTheLayerAsItWas)
{
    const FormatCase& c = GetParam();
    const auto before = onDisk();
    for (const double cancelAt : {30.0, 60.0}) {
        SCOPED_TRACE(cancelAt);
        const Outcome canceled =
            run(renameId, {{"INPUT", layerId()}, {"FIELD", c.renamedFrom}, {"NEW_NAME", c.renamedTo}}, cancelAt);
        EXPECT_FALSE(canceled.ok);
        const auto after = onDisk();
        EXPECT_EQ(after.fields, before.fields);
        EXPECT_EQ(after.rows, before.rows);
    }
}

TEST_P(ProcessingInQgis, RefusesWithTheAddinsTextsAndChangesNothing)
{
    const FormatCase& c = GetParam();
    struct Refusal {
        const char* what;
        QString algorithm;
        QVariantMap parameters;
        QString text;
    };
    std::vector<Refusal> refusals = {
        {"a forbidden character", renameId, {{"FIELD", c.renamedFrom}, {"NEW_NAME", "a.b"}}, msg::badName},
        {"a name too long", renameId, {{"FIELD", c.renamedFrom}, {"NEW_NAME", "elevenchars"}}, msg::badName},
        {"a name the layer has", renameId, {{"FIELD", c.renamedFrom}, {"NEW_NAME", c.deleted[0].toUpper()}},
         msg::nameExists},
        {"no new name", renameId, {{"FIELD", c.renamedFrom}, {"NEW_NAME", " "}}, msg::enterNewName},
    };
    if (!c.required.isEmpty()) {
        refusals.push_back({"a required field", renameId, {{"FIELD", c.required}, {"NEW_NAME", "len"}},
                            msg::requiredNoRename(c.required)});
        refusals.push_back({"deleting a required field", deleteId, {{"FIELDS", QStringList{c.deleted[0], c.required}}},
                            msg::requiredNoDelete(c.required)});
    }
    const auto files = gistest::datasetFiles(path());
    for (Refusal& r : refusals) {
        SCOPED_TRACE(r.what);
        r.parameters.insert("INPUT", layerId());
        const Outcome refused = run(r.algorithm, r.parameters);
        EXPECT_FALSE(refused.ok);
        EXPECT_TRUE(refused.errors.contains(r.text)) << refused.errors.join('\n').toStdString();
        EXPECT_EQ(gistest::datasetFiles(path()), files);
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, ProcessingInQgis, testing::ValuesIn(formatCases),
                         [](const auto& info) { return std::string(info.param.format); });

TEST(ProcessingProvider, ComesAndGoesWithThePlugin)
{
    qgistest::QgisHost host;
    EXPECT_TRUE(QgsApplication::processingRegistry()->algorithmById(renameId));
    EXPECT_TRUE(QgsApplication::processingRegistry()->algorithmById(deleteId));
    host.plugin.unload();
    EXPECT_FALSE(QgsApplication::processingRegistry()->algorithmById(renameId));
    EXPECT_FALSE(QgsApplication::processingRegistry()->algorithmById(deleteId));
    host.plugin.initGui();
    EXPECT_TRUE(QgsApplication::processingRegistry()->algorithmById(renameId));
}

} // namespace
