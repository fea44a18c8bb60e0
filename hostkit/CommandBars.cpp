#include "hostkit/CommandBars.h"

#include "hostkit/ToolBarItem.h"
#include "forms/Pictures.h"
#include "runtime/Creation.h"

#include <QAction>
#include <QBitmap>
#include <QPixmap>
#include <QToolBar>

namespace hostkit {

namespace {

QString text(const std::u16string& s) { return QString::fromStdU16String(s); }

template <class T>
std::u16string readText(T& object, HResult (T::*getter)(std::u16string*) noexcept)
{
    std::u16string value;
    (object.*getter)(&value);
    return value;
}

// Bitmaps come with a magenta background that the host shows as transparent.
QIcon iconOf(host::ICommand& command)
{
    std::int32_t handle = 0;
    if (runtime::failed(command.get_Bitmap(&handle))) return {};
    const QImage image = forms::pictureFromHandle(handle);
    if (image.isNull()) return {};
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setMask(pixmap.createMaskFromColor(QColor(255, 0, 255)));
    return QIcon(pixmap);
}

} // namespace

CommandBars::CommandBars(Placement placement, ComPtr<runtime::IUnknown> hook)
    : placement_(std::move(placement)), hook_(std::move(hook))
{
    for (const Guid& clsid : runtime::Store::current().classesInCategory(host::CATID_ToolBars)) addToolBar(clsid);
    addLooseCommands();
    refreshButtons();
}

CommandBars::~CommandBars()
{
    // The buttons go first, so no click can reach a released command.
    for (const QPointer<QToolBar>& bar : toolBars_) delete bar.data();
    buttons_.clear();
}

void CommandBars::addToolBar(const Guid& clsid)
{
    ComPtr<host::IToolBarDef> definition;
    std::int32_t count = 0;
    if (runtime::failed(runtime::createInstance(clsid, definition)) ||
        runtime::failed(definition->get_ItemCount(&count))) {
        problems_.push_back("The toolbar " + clsid.toString() + " could not be created.");
        return;
    }
    QToolBar* bar = newToolBar(text(readText(*definition, &host::IToolBarDef::get_Caption)));
    bar->setObjectName(text(readText(*definition, &host::IToolBarDef::get_Name)));
    for (std::int32_t i = 0; i < count; ++i) {
        const auto item = runtime::make<ToolBarItem>();
        std::u16string progId;
        if (runtime::failed(definition->GetItemInfo(i, item.get())) || runtime::failed(item->get_CommandId(&progId)) ||
            progId.empty())
            continue;
        Guid command;
        if (runtime::failed(runtime::clsidFromProgId(text(progId).toStdString(), &command))) {
            problems_.push_back("The command " + text(progId).toStdString() + " is not registered.");
            continue;
        }
        addCommand(*bar, command, text(progId));
    }
}

QToolBar* CommandBars::newToolBar(const QString& caption)
{
    QToolBar* bar = placement_.newToolBar(caption);
    toolBars_.push_back(bar);
    return bar;
}

void CommandBars::addLooseCommands()
{
    QToolBar* bar = nullptr;
    for (const Guid& clsid : runtime::Store::current().classesInCategory(host::CATID_Commands)) {
        if (placed_.count(clsid)) continue;
        if (!bar) bar = newToolBar(QStringLiteral("Commands"));
        addCommand(*bar, clsid, QString::fromStdString(clsid.toString()));
    }
}

void CommandBars::addCommand(QToolBar& bar, const Guid& clsid, const QString& name)
{
    ComPtr<host::ICommand> command;
    if (runtime::failed(runtime::createInstance(clsid, command))) {
        problems_.push_back("The command " + name.toStdString() + " could not be created.");
        return;
    }
    placed_.insert(clsid);
    // A command whose OnCreate fails still gets its button: it may work when clicked.
    if (runtime::failed(command->OnCreate(hook_.get())))
        problems_.push_back("The command " + name.toStdString() + " reported a failure when it was created.");
    QAction* action = bar.addAction(name);
    const std::size_t index = buttons_.size();
    QObject::connect(action, &QAction::triggered, &bar, [this, index] { click(index); });
    buttons_.push_back({command, action, bar.windowTitle()});
}

void CommandBars::refreshButtons()
{
    for (const Button& b : buttons_) {
        if (!b.action) continue;
        b.action->setText(text(readText(*b.command, &host::ICommand::get_Caption)));
        b.action->setToolTip(text(readText(*b.command, &host::ICommand::get_Tooltip)));
        b.action->setIcon(iconOf(*b.command));
        bool enabled = false;
        b.action->setEnabled(runtime::succeeded(b.command->get_Enabled(&enabled)) && enabled);
    }
}

void CommandBars::click(std::size_t index)
{
    const ComPtr<host::ICommand> command = buttons_.at(index).command;
    if (placement_.beforeClick) placement_.beforeClick();
    const HResult clicked = command->OnClick();
    refreshButtons();
    if (placement_.afterClick) placement_.afterClick(clicked);
}

} // namespace hostkit
