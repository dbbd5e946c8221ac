#pragma once
// The costume folders, one a layer, and what is in them: the costumes the character can wear, listed as the
// menus show them, and each file it refuses with the reason, in the character's own words.
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/handles.h"

namespace costumes {

inline constexpr uint64_t MostBytes = 8 * 1024 * 1024;
inline constexpr size_t MostListed = 100;
// The bare character as a guide for artists, which the installer puts in each folder: never listed.
inline constexpr const wchar_t* TemplateFileName = L"template.png";

// %APPDATA%\Pellory\Costumes\Costume N for layer N (1 or 2), named like the layer's menu.
std::wstring CostumeFolder(int layer);
// Creates the layer's folder and the ones above it when missing; a failure shows when the folder is scanned.
void MakeCostumeFolder(int layer);

struct Costume {
    std::string name;      // the file name without its extension, as the menu shows it (see MenuText)
    std::string fileName;  // in the folder; UTF-8
    int detail = 1;        // pixels per pixel of the built-in art, 1 to 4
};

enum class Problem {
    WrongSize,         // with its size
    NotAnImage,
    TooLarge,          // over MostBytes
    Locked,            // another program holds it; tried again at the folder's next change
    Empty,
    Unreadable,
    Link,              // a link or junction, or a file whose real path lies outside the folder; never followed
    Damaged,           // its header is fine, but the picture cannot be decoded
    PartFrame,         // a GIF whose first frame does not fill its picture
    Gone,              // no longer in the folder
    FolderUnreadable,  // the folder's own problems: fileName is the folder's name
    FolderIsFile,
};

struct Refusal {
    std::string fileName;
    Problem problem;
    int64_t width = 0, height = 0;  // WrongSize
};

struct FolderContents {
    std::vector<Costume> costumes;  // at most MostListed, in Explorer's order of their names
    size_t leftOut = 0;             // usable costumes past MostListed
    std::vector<Refusal> refusals;  // in the folder's order
};

// Reads the folder and the first bytes of each PNG, BMP and GIF in it; nothing is decoded. Files with other
// extensions are left alone (README.txt, desktop.ini), and so is TemplateFileName; pictures of other formats are
// refused.
// A missing folder holds nothing.
FolderContents ScanFolder(const std::wstring& folder);

// The refusal as the character says it: "I can't wear "cape.png": it is 80 x 120, and I need 77 x 126."
std::string Complaint(const Refusal& refusal);
// What the character says when a folder holds more than it lists, or "" when it does not.
std::string LeftOutNote(const std::wstring& folder, const FolderContents& contents);
// The complaints about `contents` not yet said: each is said once, again only when its file was fine in between
// or its reason changed. `said` keeps the folder's complaints from one scan to the next.
std::vector<std::string> ComplaintsToSay(const FolderContents& contents, std::set<std::string>& said);

// A costume's name as menu text: a & shows as itself rather than underlining the next letter.
std::string MenuText(std::string_view name);

// A watch on a folder, signalled when a file in it is added, renamed, written or removed, and otherwise silent;
// null when the folder cannot be watched. Re-arm it with FindNextChangeNotification before scanning the folder,
// so that no change during the scan is missed.
platform::UniqueChangeNotification WatchFolder(const std::wstring& folder);
// A watch on the folder that holds the layers' folders, signalled when one of them is added, renamed or removed, or
// a file takes its place: a folder's own watch may not outlive it.
platform::UniqueChangeNotification WatchCostumeFolders();

}  // namespace costumes
