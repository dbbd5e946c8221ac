// The wardrobe: the costumes listed in their submenus, the folder's after the built-in ones, the one worn checked,
// and what a command names.
#include "sitter/wardrobe.h"

#include <gtest/gtest.h>

#include "platform/handles.h"
#include "platform/text.h"
#include "tests/support/settings.h"

namespace {

using testing_support::Checked;

// Each item as its caption and what its command names: a built-in index, a file name, "open N" or "-" for nothing.
std::vector<std::string> Items(const Wardrobe& wardrobe, HMENU menu) {
    std::vector<std::string> items;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t caption[64] = {};
        GetMenuStringW(menu, static_cast<UINT>(i), caption, 64, MF_BYPOSITION);
        const UINT id = GetMenuItemID(menu, i);
        const auto choice = wardrobe.ChoiceOf(id);
        const auto open = Wardrobe::FolderToOpen(id);
        items.push_back(platform::Narrow(caption) + " = " + (choice ? std::to_string(choice->index) + choice->fileName
                                                             : open ? "open " + std::to_string(LayerNumber(*open)) : "-"));
    }
    return items;
}

TEST(Wardrobe, ListsTheCostumesChecksTheOneWornAndKnowsWhatACommandNames) {
    const platform::UniqueMenu one(CreatePopupMenu()), two(CreatePopupMenu());
    Wardrobe wardrobe({one.get(), two.get()});
    wardrobe.Stock(Layer::One, {"Normal", "Catgirl", "Persocon"});
    wardrobe.Stock(Layer::Two, {"White", "Jacket & Booties"});
    wardrobe.StockFolder(Layer::One, {{"cape 2", "cape 2.png", 1}, {"Tom & Jerry", "Tom & Jerry.gif", 2}});
    EXPECT_EQ(Items(wardrobe, one.get()), (std::vector<std::string>{"Normal = 1", "Catgirl = 2", "Persocon = 3", " = -",
        "cape 2 = 0cape 2.png", "Tom && Jerry = 0Tom & Jerry.gif", "Open Costumes Folder = open 1"}));
    EXPECT_EQ(Items(wardrobe, two.get()), (std::vector<std::string>{"White = 1", "Jacket & Booties = 2", " = -", "Open Costumes Folder = open 2"}));
    EXPECT_EQ(std::pair(Checked(one.get()), wardrobe.Worn(Layer::One)), std::pair(std::vector<int>{}, 0)) << "nothing worn yet";

    // What is worn (a built-in index, or a file), then the index and file worn, what is checked on its layer and
    // whether it mews; an index of -1 lists layer 1's folder anew, with one costume.
    const struct { Layer layer; int index; std::string file; int worn; std::vector<int> checked; bool catgirl; } steps[] = {
        {Layer::One, 2, "", 2, {2}, true}, {Layer::One, 3, "", 3, {3}, false}, {Layer::One, 0, "", 1, {}, false},  // named none
        {Layer::One, 2, "", 2, {2}, true}, {Layer::One, 0, "Tom & Jerry.gif", 2, {6}, false},
        {Layer::One, -1, "Tom & Jerry.gif", 2, {5}, false}, {Layer::One, 0, "cape 2.png", 2, {}, false},
        {Layer::One, 1, "", 1, {1}, false}, {Layer::Two, 2, "", 2, {2}, false}};
    for (const auto& s : steps) {
        if (s.index < 0) wardrobe.StockFolder(Layer::One, {{"Tom & Jerry", "Tom & Jerry.gif", 2}});
        else if (s.file.empty()) wardrobe.Wear(s.layer, s.index);
        else wardrobe.WearFile(s.layer, s.file);
        EXPECT_EQ(std::tuple(wardrobe.Worn(s.layer), wardrobe.WornFile(s.layer), Checked(s.layer == Layer::One ? one.get() : two.get()),
                             wardrobe.WearsCatgirl()), std::tuple(s.worn, s.file, s.checked, s.catgirl)) << &s - steps;
    }
    EXPECT_EQ(Checked(one.get()), std::vector<int>{1}) << "layer 2 leaves layer 1's mark alone";
    EXPECT_EQ(Items(wardrobe, one.get())[5], "Open Costumes Folder = open 1") << "the costume gone from the folder is gone from the menu";

    // Commands below 1 or past a list name nothing.
    EXPECT_EQ(std::pair(wardrobe.ChoiceOf(Wardrobe::Command(Layer::One, 0)).has_value(), wardrobe.ChoiceOf(Wardrobe::Command(Layer::Two, 3)).has_value()),
              std::pair(false, false));
    EXPECT_FALSE(wardrobe.ChoiceOf(GetMenuItemID(one.get(), 4) + 1)) << "the second costume, gone from the folder";
}

}  // namespace
