#include "cli/Commands.h"

#include "cli/ProgressBar.h"
#include "cli/Texts.h"
#include "engine/core/FieldTypes.h"
#include "engine/core/Table.h"
#include "engine/postgres/PostgresSql.h"
#include "fieldrules/FieldRules.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <functional>
#include <iostream>

namespace cli {

using runtime::HResult;
namespace rules = fieldrules;

Outcome outcomeOf(HResult hr)
{
    if (runtime::succeeded(hr)) return Outcome::Done;
    if (engine::LockWait::lockStoodInTheWay()) return Outcome::Locked;
    if (hr == runtime::E_INVALIDARG || hr == runtime::E_ACCESSDENIED) return Outcome::Refused;
    return Outcome::DataError;
}

namespace {

Result done(std::string_view message) { return {Outcome::Done, std::string(message)}; }
Result refused(std::string_view message) { return {Outcome::Refused, std::string(message)}; }

// Where a line about a source goes: after `where`, done on standard
// output, anything else on standard error.
void report(ProgressBar& bar, const std::string& where, const Result& result)
{
    bar.clear();
    const std::string line = (where.empty() ? "" : where + ": ") + text::oneLine(result.message);
    if (result.outcome == Outcome::Done)
        std::cout << line << std::endl;
    else
        std::cerr << "quillet: " << line << std::endl;
}

// The source opened, or why not: its problem names it. `lockMet` says
// whether a lock kept a table from being read.
Result open(const std::string& source, std::shared_ptr<engine::Dataset>& dataset, bool& lockMet)
{
    const engine::LockWait wait;
    std::string problem;
    dataset = engine::Dataset::open(source, problem);
    lockMet = engine::LockWait::lockStoodInTheWay();
    if (dataset) return {};
    return {engine::LockWait::lockStoodInTheWay() ? Outcome::Locked : Outcome::DataError, problem};
}

// The tables a command works on: the one --layer names, else the only one;
// `all` lists every table where no layer is named.
Result chooseTables(const engine::Dataset& dataset, const Options& options, bool all, std::vector<std::string>& tables)
{
    const std::vector<std::string>& names = dataset.tableNames();
    if (options.layer) {
        if (std::find(names.begin(), names.end(), *options.layer) == names.end())
            return refused(text::noSuchLayer(*options.layer, names));
        tables = {*options.layer};
    } else if (names.empty()) {
        return refused(text::noVectorLayer());
    } else if (names.size() > 1 && !all) {
        return refused(text::chooseLayer(names));
    } else {
        tables = names;
    }
    return {};
}

// Why a table's fields could not be read.
Outcome unreadFields(bool lockMet) { return lockMet ? Outcome::Locked : Outcome::DataError; }

using TableWork = std::function<Result(const engine::Table&, const engine::Schema&)>;

// Runs `work` on the chosen table of each source, with a line for each.
Outcome eachTable(const std::vector<std::string>& sources, const Options& options, const TableWork& work)
{
    ProgressBar bar;
    Outcome worst = Outcome::Done;
    for (const std::string& source : sources) {
        std::shared_ptr<engine::Dataset> dataset;
        std::vector<std::string> tables;
        bool lockMet = false;
        Result result = open(source, dataset, lockMet);
        if (result.outcome != Outcome::Done) {
            report(bar, {}, result);
        } else if (result = chooseTables(*dataset, options, false, tables); result.outcome != Outcome::Done) {
            report(bar, dataset->shownPath(), result);
        } else {
            const engine::Table table(dataset, tables.front());
            std::shared_ptr<const engine::Schema> schema;
            result = runtime::failed(table.schema(schema)) ? Result{unreadFields(lockMet), std::string(text::fieldsNotRead)}
                                                           : work(table, *schema);
            report(bar, table.displayName(), result);
        }
        worst = worse(worst, result.outcome);
    }
    return worst;
}

// A field is named so already: an attribute, the object id or a geometry.
bool nameTaken(const engine::Schema& schema, std::string_view name)
{
    if (rules::sameFieldName(schema.fidColumn, name)) return true;
    for (const engine::GeometryColumn& g : schema.geometries)
        if (rules::sameFieldName(g.name, name)) return true;
    for (const engine::Field& f : schema.fields)
        if (rules::sameFieldName(f.name(), name)) return true;
    return false;
}

// The old field's definition under the new name: its named type, size,
// nullability, default and alias.
std::unique_ptr<OGRFieldDefn> likeField(const engine::Field& old, const std::string& name)
{
    const OGRFieldDefn& from = *old.definition;
    const engine::OgrFieldType type = engine::ogrTypeOf(from);
    auto field = std::make_unique<OGRFieldDefn>(name.c_str(), type.type);
    field->SetSubType(type.subType);
    field->SetWidth(from.GetWidth());
    field->SetPrecision(from.GetPrecision());
    field->SetNullable(from.IsNullable());
    field->SetDefault(from.GetDefault());
    field->SetAlternativeName(old.alias.c_str());
    return field;
}

// Takes the field a rename added away again after a later step failed.
Outcome removeAdded(const engine::Table& table, const std::string& newName)
{
    return outcomeOfCall([&] { return table.deleteField(newName); });
}

// The add-in's checks of the new name, in its order, then its three steps.
Result rename(const engine::Table& table, const engine::Schema& schema, std::string_view oldName,
              std::string_view newName)
{
    if (newName.empty()) return refused(rules::enterNewName);
    if (nameTaken(schema, newName)) return refused(rules::nameExists);
    if (!rules::isValidFieldName(newName)) return refused(rules::badName());
    const engine::Field* old = schema.find(std::string(oldName));
    if (!old) return refused(rules::currentFieldNotFound);
    if (old->required) return refused(rules::requiredNoRename(old->name()));

    const std::string from = old->name();
    const std::string to(newName);
    const auto field = likeField(*old, to);
    const std::string columnType = old->databaseType ? old->databaseType->name : std::string();
    if (Outcome added = outcomeOfCall([&] { return table.addField(*field, columnType); }); added != Outcome::Done)
        return {added, rules::addFieldFailed(from)};
    if (Outcome copied = outcomeOfCall([&] { return table.copyColumn(from, to); }); copied != Outcome::Done) {
        if (Outcome removal = removeAdded(table, to); removal != Outcome::Done)
            return {worse(copied, removal), rules::copyFailed(from) + "\r" + rules::addedFieldLeft(to)};
        return {copied, rules::copyFailed(from)};
    }
    if (Outcome deleted = outcomeOfCall([&] { return table.deleteField(from); }); deleted != Outcome::Done) {
        if (Outcome removal = removeAdded(table, to); removal != Outcome::Done)
            return {worse(deleted, removal), std::string(rules::duplicatedNotDeleted)};
        return {deleted, text::oldFieldKept(from)};
    }
    return done(rules::renamed);
}

// Every field named is there and may go before any goes; then each in turn,
// the first failure ending the pass.
Result remove(const engine::Table& table, const engine::Schema& schema, const std::vector<std::string>& names)
{
    std::vector<std::string> missing;
    std::vector<std::string> found;
    for (const std::string& name : names) {
        const engine::Field* field = schema.find(name);
        if (!field)
            missing.push_back(name);
        else if (field->required)
            return refused(rules::requiredNoDelete(field->name()));
        else
            found.push_back(field->name());
    }
    if (!missing.empty()) return refused(rules::notInLayer(rules::fieldLines(missing)));
    for (std::size_t i = 0; i < found.size(); ++i) {
        const Outcome deleted = outcomeOfCall([&] { return table.deleteField(found[i]); });
        if (deleted == Outcome::Done) continue;
        const std::vector<std::string> gone(found.begin(), found.begin() + static_cast<std::ptrdiff_t>(i));
        const std::vector<std::string> left(found.begin() + static_cast<std::ptrdiff_t>(i), found.end());
        const std::string kept = rules::notDeleted(rules::fieldLines(left));
        return {deleted, gone.empty() ? kept : rules::deletedSome(rules::fieldLines(gone)) + "\r" + kept};
    }
    return done(rules::deletedAll);
}

using Json = nlohmann::ordered_json;

Json fieldJson(const engine::Field& f)
{
    const OGRFieldDefn& d = *f.definition;
    return {{"name", f.name()},
            {"alias", f.alias},
            {"type", engine::typeName(d)},
            {"width", d.GetWidth()},
            {"precision", d.GetPrecision()},
            {"nullable", static_cast<bool>(d.IsNullable())},
            {"default", d.GetDefault() ? Json(d.GetDefault()) : Json(nullptr)},
            {"required", f.required}};
}

Json layerJson(const std::string& name, const engine::Schema& schema)
{
    Json geometries = Json::array();
    for (const engine::GeometryColumn& g : schema.geometries)
        geometries.push_back({{"name", g.name}, {"nullable", g.nullable}});
    Json fields = Json::array();
    for (const engine::Field& f : schema.fields) fields.push_back(fieldJson(f));
    return {{"name", name}, {"objectId", schema.fidColumn}, {"geometries", geometries}, {"fields", fields}};
}

// A layer's fields as a table with a heading, columns as wide as their widest cell.
void printLayer(const std::string& heading, const Json& layer)
{
    std::vector<std::vector<std::string>> rows{{"NAME", "TYPE", "WIDTH", "PRECISION", "NULLABLE", "REQUIRED", "DEFAULT", "ALIAS"}};
    for (const Json& f : layer["fields"])
        rows.push_back({f["name"], f["type"], std::to_string(f["width"].get<int>()), std::to_string(f["precision"].get<int>()),
                        f["nullable"] ? "yes" : "no", f["required"] ? "yes" : "no",
                        f["default"].is_null() ? "" : f["default"].get<std::string>(), f["alias"]});
    std::vector<std::size_t> widths(rows.front().size(), 0);
    for (const auto& row : rows)
        for (std::size_t i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], row[i].size());
    std::cout << heading << "\n";
    for (const auto& row : rows) {
        std::string line = " ";
        for (std::size_t i = 0; i < row.size(); ++i) line += " " + row[i] + std::string(widths[i] - row[i].size() + 1, ' ');
        std::cout << line.substr(0, line.find_last_not_of(' ') + 1) << "\n";
    }
}

} // namespace

Outcome renameField(const std::string& oldName, const std::string& newName, const std::vector<std::string>& sources,
                    const Options& options)
{
    return eachTable(sources, options, [&](const engine::Table& table, const engine::Schema& schema) {
        return rename(table, schema, rules::trimBlanks(oldName), rules::trimBlanks(newName));
    });
}

Outcome deleteFields(const std::vector<std::string>& fields, const std::vector<std::string>& sources,
                     const Options& options)
{
    return eachTable(sources, options, [&](const engine::Table& table, const engine::Schema& schema) {
        return remove(table, schema, fields);
    });
}

Outcome listFields(const std::vector<std::string>& sources, const Options& options)
{
    ProgressBar bar;
    Outcome worst = Outcome::Done;
    Json all = Json::array();
    for (const std::string& source : sources) {
        std::shared_ptr<engine::Dataset> dataset;
        std::vector<std::string> tables;
        bool lockMet = false;
        Result result = open(source, dataset, lockMet);
        if (result.outcome == Outcome::Done) result = chooseTables(*dataset, options, true, tables);
        Json entry = {{"source", dataset ? dataset->shownPath() : engine::pg::hidePasswords(source, source)}};
        Json layers = Json::array();
        for (const std::string& name : tables) {
            const engine::Table table(dataset, name);
            std::shared_ptr<const engine::Schema> schema;
            if (runtime::failed(table.schema(schema))) {
                result = {unreadFields(lockMet), std::string(text::fieldsNotRead)};
                break;
            }
            layers.push_back(layerJson(name, *schema));
            if (!options.json) printLayer(table.dataset().shownPath() + " (" + name + ")", layers.back());
        }
        if (result.outcome != Outcome::Done) {
            report(bar, dataset ? dataset->shownPath() : std::string(), result);
            entry["error"] = text::oneLine(result.message);
        } else {
            entry["layers"] = layers;
        }
        all.push_back(entry);
        worst = worse(worst, result.outcome);
    }
    if (options.json) std::cout << all.dump(2) << std::endl;
    return worst;
}

} // namespace cli
