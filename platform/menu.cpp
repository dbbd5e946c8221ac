#include "platform/menu.h"

#include <utility>

#include "platform/error.h"

namespace platform {

MenuArray::MenuArray(std::string name, UINT firstCommandId)
    : name_(std::move(name)), firstCommandId_(firstCommandId), menu_(CreatePopupMenu()) {
    if (!menu_) throw Error(err::CreateFailed, ExeName(), "Cannot create menu '" + name_ + "'");
    items_[0] = Item{};
    Rebuild();
}

void MenuArray::Load(int index) {
    if (index < 0 || items_.contains(index)) {
        throw Error(err::AlreadyLoaded, ExeName(), "Object already loaded");
    }
    items_[index] = Item{};
    Rebuild();
}

const MenuArray::Item& MenuArray::operator[](int index) const {
    auto it = items_.find(index);
    if (it == items_.end()) {
        throw Error(err::NoSuchElement, ExeName(),
                    "Control array element '" + std::to_string(index) + "' doesn't exist");
    }
    return it->second;
}

MenuArray::Item& MenuArray::At(int index) { return const_cast<Item&>(std::as_const(*this)[index]); }

void MenuArray::SetCaption(int index, const std::string& caption) {
    At(index).caption = caption;
    Rebuild();
}

void MenuArray::SetTag(int index, const std::string& tag) { At(index).tag = tag; }

void MenuArray::SetChecked(int index, bool checked) {
    At(index).checked = checked;
    Rebuild();
}

void MenuArray::SetEnabled(int index, bool enabled) {
    At(index).enabled = enabled;
    Rebuild();
}

void MenuArray::SetVisible(int index, bool visible) {
    At(index).visible = visible;
    Rebuild();
}

std::optional<int> MenuArray::IndexOfCommand(UINT commandId) const {
    if (commandId < firstCommandId_) return std::nullopt;
    int index = static_cast<int>(commandId - firstCommandId_);
    if (!items_.contains(index)) return std::nullopt;
    return index;
}

void MenuArray::Detach(HMENU parent) const {
    int count = GetMenuItemCount(parent);
    for (int i = count - 1; i >= 0; --i) {
        if (GetSubMenu(parent, i) == menu_.get()) RemoveMenu(parent, static_cast<UINT>(i), MF_BYPOSITION);
    }
}

void MenuArray::Rebuild() {
    HMENU menu = menu_.get();
    while (GetMenuItemCount(menu) > 0) RemoveMenu(menu, 0, MF_BYPOSITION);
    for (const auto& [index, item] : items_) {
        if (!item.visible) continue;
        UINT flags = MF_STRING | (item.enabled ? MF_ENABLED : MF_GRAYED) | (item.checked ? MF_CHECKED : MF_UNCHECKED);
        AppendMenuA(menu, flags, CommandId(index), item.caption.c_str());
    }
}

}  // namespace platform
