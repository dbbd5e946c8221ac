#pragma once
// A menu array: numbered items under one submenu, each with caption, enabled, visible, checked and Tag.
// The real menu is kept in step with the items after every change; hidden items are left out of it.
#include <windows.h>

#include <map>
#include <optional>
#include <string>

#include "platform/handles.h"

namespace platform {

class MenuArray {
public:
    struct Item {
        std::string caption;
        bool enabled = true;
        bool visible = true;
        bool checked = false;
        std::string tag;
    };

    // Item 0 exists from the start; item i has the command id firstCommandId + i.
    MenuArray(std::string name, UINT firstCommandId);

    // Adds item `index`; raises 360 when it exists already.
    void Load(int index);
    bool Exists(int index) const { return items_.contains(index); }
    int UBound() const { return items_.rbegin()->first; }

    // Accessors raise 340 for an index that has no item.
    const Item& operator[](int index) const;
    const std::string& Caption(int index) const { return (*this)[index].caption; }
    const std::string& Tag(int index) const { return (*this)[index].tag; }
    bool Checked(int index) const { return (*this)[index].checked; }
    bool Enabled(int index) const { return (*this)[index].enabled; }
    bool Visible(int index) const { return (*this)[index].visible; }
    void SetCaption(int index, const std::string& caption);
    void SetTag(int index, const std::string& tag);
    void SetChecked(int index, bool checked);
    void SetEnabled(int index, bool enabled);
    void SetVisible(int index, bool visible);

    HMENU Handle() const { return menu_.get(); }
    UINT CommandId(int index) const { return firstCommandId_ + static_cast<UINT>(index); }
    // The item a menu command id belongs to, if any.
    std::optional<int> IndexOfCommand(UINT commandId) const;

    // Takes the submenu out of the owner's hands, for a parent menu that is about to destroy its children.
    void Detach(HMENU parent) const;

private:
    Item& At(int index);
    void Rebuild();

    std::string name_;
    UINT firstCommandId_;
    std::map<int, Item> items_;
    UniqueMenu menu_;
};

}  // namespace platform
