#include "forms/Controls.h"

#include "forms/Twips.h"

#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>

namespace forms {

namespace {

template <class W>
W* make(QWidget* parent, const char* name, Twips at)
{
    auto* w = new W(parent);
    w->setObjectName(QString::fromLatin1(name));
    place(w, at.left, at.top, at.width, at.height);
    return w;
}

class KeyPressFilter : public QObject {
public:
    KeyPressFilter(QObject* parent, std::function<void(char16_t&)> handler)
        : QObject(parent), handler_(std::move(handler))
    {
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        char16_t code = 0;
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            code = 13;
        else if (!key->text().isEmpty())
            code = key->text().at(0).unicode();
        if (code != 0) handler_(code);
        return false;
    }

private:
    std::function<void(char16_t&)> handler_;
};

} // namespace

QLabel* addLabel(QWidget* parent, const char* name, const QString& text, Twips at, LabelStyle style)
{
    auto* label = make<QLabel>(parent, name, at);
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    label->setWordWrap(style.wordWrap);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont font = label->font();
    if (style.bold) font.setBold(true);
    if (style.pointSize > 0) font.setPointSizeF(style.pointSize);
    label->setFont(font);
    if (style.autoSize) label->resize(label->sizeHint());
    return label;
}

QPushButton* addButton(QWidget* parent, const char* name, const QString& caption, Twips at, const QString& tooltip)
{
    auto* button = make<QPushButton>(parent, name, at);
    button->setText(caption);
    button->setAutoDefault(false);
    button->setDefault(false);
    if (!tooltip.isEmpty()) button->setToolTip(tooltip);
    return button;
}

QComboBox* addDropDown(QWidget* parent, const char* name, Twips at)
{
    auto* box = make<QComboBox>(parent, name, at);
    box->setEditable(false);
    return box;
}

QListWidget* addListBox(QWidget* parent, const char* name, Twips at, const QString& tooltip)
{
    auto* list = make<QListWidget>(parent, name, at);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSortingEnabled(false);
    if (!tooltip.isEmpty()) list->setToolTip(tooltip);
    return list;
}

QLineEdit* addTextBox(QWidget* parent, const char* name, Twips at)
{
    auto* box = make<QLineEdit>(parent, name, at);
    box->setMaxLength(32767);
    return box;
}

QGroupBox* addFrame(QWidget* parent, const char* name, const QString& caption, Twips at)
{
    auto* frame = make<QGroupBox>(parent, name, at);
    frame->setTitle(caption);
    return frame;
}

QTabWidget* addTabStrip(QWidget* parent, const char* name, std::initializer_list<TabDef> tabs, Twips at)
{
    auto* strip = make<QTabWidget>(parent, name, at);
    for (const TabDef& tab : tabs) {
        const int index = strip->addTab(new QWidget, tab.caption);
        strip->tabBar()->setTabData(index, tab.key);
    }
    return strip;
}

std::optional<QString> selectedTabKey(const QTabWidget* tabs)
{
    const QVariant key = tabs->tabBar()->tabData(tabs->currentIndex());
    if (!key.isValid()) return std::nullopt;
    return key.toString();
}

void onDropDownClick(QComboBox* box, std::function<void()> handler)
{
    // Qt 5 also has activated(QString): name the int one.
    QObject::connect(box, QOverload<int>::of(&QComboBox::activated), box, [handler = std::move(handler)](int) { handler(); });
}

void clearDropDown(QComboBox* box)
{
    const QSignalBlocker block(box);
    box->clear();
}

void addDropDownEntry(QComboBox* box, const QString& text)
{
    const QSignalBlocker block(box);
    box->addItem(text);
}

void selectDropDownEntry(QComboBox* box, int index)
{
    {
        const QSignalBlocker block(box);
        box->setCurrentIndex(index);
    }
    // The same route as a user's pick, so the handler runs exactly once.
    emit box->activated(index);
}

void clearListSelection(QListWidget* list)
{
    list->clearSelection();
    list->setCurrentItem(nullptr);
}

void onKeyPress(QLineEdit* box, std::function<void(char16_t&)> handler)
{
    box->installEventFilter(new KeyPressFilter(box, std::move(handler)));
}

} // namespace forms
