#include "sitter/costume_folders.h"

#include <shellapi.h>

#include <utility>

#include "platform/error.h"
#include "platform/host.h"
#include "sitter/settings.h"

namespace {

std::wstring FolderOf(Layer layer) { return costumes::CostumeFolder(LayerNumber(layer)); }

// Several things at once are said in one balloon, as many as it has room for.
std::string Together(const std::vector<std::string>& said) {
    constexpr size_t room = 2;
    std::string text;
    for (size_t i = 0; i < said.size() && i < room; ++i) text += (i > 0 ? "\r\n" : "") + said[i];
    if (said.size() > room) text += "\r\nAnd " + std::to_string(said.size() - room) + " more like that.";
    return text;
}

}  // namespace

void DressInBuiltIn(CharacterPictures& pictures, Layer layer, int index) {
    const size_t slot = static_cast<size_t>(layer);
    pictures.costume[slot].CreateFromPicture(platform::LoadBitmapResource(CostumeBitmap(layer, index)).get());
    pictures.detail[slot] = 1;
}

costumes::CostumePicture LoadFolderCostume(Layer layer, const std::string& fileName) {
    return costumes::LoadCostume(FolderOf(layer), fileName);
}

void Dress(CharacterPictures& pictures, Layer layer, const costumes::CostumePicture& costume) {
    if (!costume.picture) return;
    cDIBSection& worn = pictures.costume[static_cast<size_t>(layer)];
    if (!worn.Create(costume.picture->Width(), costume.picture->Height())) return;
    worn.LoadPictureBlt(costume.picture->hDC());
    pictures.detail[static_cast<size_t>(layer)] = costume.detail;
}

CostumeFolders::CostumeFolders(platform::Window& owner, std::function<void()> onSettled)
    : waited_{{nullptr, [this] { OnChanged(Layer::One); }}, {nullptr, [this] { OnChanged(Layer::Two); }},
              {nullptr, [this] { WatchAnew(), ScanLater(); }}},
      onSettled_(std::move(onSettled)), settle_(owner, SettleMs, false, [this] {
          settle_.SetEnabled(false);
          onSettled_();
      }) {}

void CostumeFolders::Watch() {
    for (Layer layer : BothLayers) costumes::MakeCostumeFolder(LayerNumber(layer));
    WatchAnew();
}

// When a layer's folder is added, renamed, removed or replaced by a file, every watch is made anew, so that none is
// left on a folder that went, and both folders are read again. A folder the user removed stays removed for now.
void CostumeFolders::WatchAnew() {
    for (Layer layer : BothLayers) WatchAnew(layer), changed_[static_cast<size_t>(layer)] = true;
    watches_[2] = costumes::WatchCostumeFolders();
    waited_[2].handle = watches_[2].get();
}

void CostumeFolders::WatchAnew(Layer layer) {
    const size_t slot = static_cast<size_t>(layer);
    watches_[slot] = costumes::WatchFolder(FolderOf(layer));
    waited_[slot].handle = watches_[slot].get();  // the loop leaves out a folder it cannot watch
}

// Re-armed at once, so that no change during the scan is missed. A watch that cannot be re-armed (its folder went)
// is made anew, or left out until the folder comes back. The scan waits until the folder has been still for a while:
// each change starts the wait again.
void CostumeFolders::OnChanged(Layer layer) {
    changed_[static_cast<size_t>(layer)] = true;
    if (!FindNextChangeNotification(watches_[static_cast<size_t>(layer)].get())) WatchAnew(layer);
    ScanLater();
}

CostumeFolders::Outcome CostumeFolders::Scan(Wardrobe& wardrobe, CharacterPictures& pictures) {
    Outcome outcome;
    std::vector<std::string> toSay;
    for (Layer layer : BothLayers) {
        const size_t slot = static_cast<size_t>(layer);
        if (!std::exchange(changed_[slot], false)) continue;
        const std::wstring folder = FolderOf(layer);
        costumes::FolderContents contents = costumes::ScanFolder(folder);
        for (std::string& complaint : costumes::ComplaintsToSay(contents, said_[slot])) toSay.push_back(std::move(complaint));
        std::string note = costumes::LeftOutNote(folder, contents);
        if (!note.empty() && note != leftOutSaid_[slot]) toSay.push_back(note);
        leftOutSaid_[slot] = std::move(note);
        wardrobe.StockFolder(layer, std::move(contents.costumes));

        const std::string worn = wardrobe.WornFile(layer);
        if (worn.empty()) continue;
        try {
            const costumes::CostumePicture costume = LoadFolderCostume(layer, worn);
            if (costume.picture) {
                Dress(pictures, layer, costume);
                outcome.redraw = true;
            } else if (costume.refusal.problem == costumes::Problem::Gone) {
                DressInBuiltIn(pictures, layer, wardrobe.Worn(layer));
                wardrobe.Wear(layer, wardrobe.Worn(layer));
                outcome.redraw = true;
                settings::Erase(CostumeFileSetting(layer));
            }
        } catch (const platform::Error&) {
            // Worn as it was. A stored name that names no file is cleared at the next start.
        }
    }
    outcome.toSay = Together(toSay);
    return outcome;
}

void CostumeFolders::Open(Layer layer) {
    costumes::MakeCostumeFolder(LayerNumber(layer));
    ShellExecuteW(nullptr, L"open", FolderOf(layer).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
