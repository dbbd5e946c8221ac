// The wardrobe: the costumes listed in their submenus, the one worn checked, and what a command names.
#include "sitter/wardrobe.h"

#include <gtest/gtest.h>

#include "platform/handles.h"
#include "tests/support/settings.h"

namespace {

using testing_support::Checked;

TEST(Wardrobe, ListsTheCostumesChecksTheOneWornAndKnowsWhatACommandNames) {
    const platform::UniqueMenu one(CreatePopupMenu()), two(CreatePopupMenu());
    Wardrobe wardrobe({one.get(), two.get()});
    wardrobe.Stock(Layer::One, {"Normal", "Catgirl", "Persocon"});
    wardrobe.Stock(Layer::Two, {"White", "Jacket & Booties"});
    wchar_t caption[32] = {};
    GetMenuStringW(two.get(), 1, caption, 32, MF_BYPOSITION);
    EXPECT_EQ(std::tuple(GetMenuItemCount(one.get()), GetMenuItemCount(two.get()), std::wstring(caption)),
              std::tuple(3, 2, std::wstring(L"Jacket & Booties")));
    EXPECT_EQ(std::pair(Checked(one.get()), wardrobe.Worn(Layer::One)), std::pair(std::vector<int>{}, 0)) << "nothing worn yet";

    // Index worn, then what is checked on layer 1 and whether it mews.
    const struct { Layer layer; int index, worn; std::vector<int> checked; bool catgirl; } steps[] = {
        {Layer::One, 2, 2, {2}, true}, {Layer::One, 3, 3, {3}, false}, {Layer::One, 0, 1, {}, false},  // named none
        {Layer::One, 2, 2, {2}, true}, {Layer::Two, 2, 2, {2}, true}};
    for (const auto& s : steps) {
        wardrobe.Wear(s.layer, s.index);
        EXPECT_EQ(std::tuple(wardrobe.Worn(s.layer), Checked(s.layer == Layer::One ? one.get() : two.get()), wardrobe.WearsCatgirl()),
                  std::tuple(s.worn, s.checked, s.catgirl)) << static_cast<int>(s.layer) << " " << s.index;
    }
    EXPECT_EQ(Checked(one.get()), std::vector<int>{2}) << "layer 2 leaves layer 1's mark alone";

    // Commands name a costume of a layer; past the list or below 1 they name none.
    for (Layer layer : BothLayers)
        for (int index = 0; index <= 4; ++index) {
            const auto choice = wardrobe.ChoiceOf(Wardrobe::Command(layer, index));
            const bool exists = index >= 1 && static_cast<size_t>(index) <= wardrobe.Names(layer).size();
            EXPECT_EQ(choice.has_value(), exists) << index;
            if (choice) {
                EXPECT_EQ(std::pair(choice->layer, choice->index), std::pair(layer, index));
            }
        }
}

}  // namespace
