#include "gishost/model/RequiredFields.h"

#include <cpl_minixml.h>
#include <ogrsf_frmts.h>

#include <memory>

namespace gishost {

namespace {

struct XmlDeleter {
    void operator()(CPLXMLNode* node) const { CPLDestroyXMLNode(node); }
};

void collectRequired(const CPLXMLNode* node, std::set<std::string>& names)
{
    for (; node; node = node->psNext) {
        if (node->eType != CXT_Element) continue;
        if (EQUAL(node->pszValue, "GPFieldInfoEx") && EQUAL(CPLGetXMLValue(node, "Required", "false"), "true"))
            names.insert(CPLGetXMLValue(node, "Name", ""));
        collectRequired(node->psChild, names);
    }
}

} // namespace

std::set<std::string> requiredFieldNames(OGRLayer& layer)
{
    std::set<std::string> names;
    char** definition = layer.GetMetadata("xml:definition");
    if (!definition || !definition[0]) return names;
    std::unique_ptr<CPLXMLNode, XmlDeleter> root(CPLParseXMLString(definition[0]));
    if (!root) return names;
    CPLStripXMLNamespace(root.get(), nullptr, TRUE);
    collectRequired(root.get(), names);
    return names;
}

} // namespace gishost
