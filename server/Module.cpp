#include "server/Module.h"

#include "server/clsExtCommand.h"
#include "server/clsExtToolBar.h"
#include "server/clsExtension.h"

namespace quillet {

runtime::ModuleLife moduleLife;

const runtime::ServerDescription& serverDescription()
{
    static const runtime::ServerClass classes[] = {
        {CLSID_clsExtCommand, "clsExtCommand", progIdCommand, &runtime::classFactoryFor<clsExtCommand, moduleLife>},
        {CLSID_clsExtension, "clsExtension", progIdExtension, &runtime::classFactoryFor<clsExtension, moduleLife>},
        {CLSID_clsExtToolBar, "clsExtToolBar", progIdToolBar, &runtime::classFactoryFor<clsExtToolBar, moduleLife>},
    };
    static const runtime::ServerDescription server{"Quillet", LIBID_Quillet, "1.0", "Apartment", classes};
    return server;
}

} // namespace quillet
