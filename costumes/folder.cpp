#include "costumes/folder.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

#include "costumes/costume_file.h"
#include "costumes/header.h"
#include "platform/text.h"

namespace costumes {
namespace {

// %APPDATA% as the user's environment has it, which costs nothing to read; the known folder (10 ms under Wine)
// only when the environment lacks it.
std::wstring AppData() {
    std::wstring result(MAX_PATH, L'\0');
    const DWORD length = GetEnvironmentVariableW(L"APPDATA", result.data(), MAX_PATH);
    if (length > 0 && length < MAX_PATH) return result.substr(0, length);
    PWSTR path = nullptr;
    result.clear();
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_DEFAULT, nullptr, &path))) result = path;
    CoTaskMemFree(path);  // owed even when the call fails
    return result;
}

// The last part of a path: a file's or a folder's own name.
std::wstring_view LeafOf(std::wstring_view path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring_view::npos ? path : path.substr(slash + 1);
}

enum class Kind { Other, Wearable, OtherPicture };

// By the extension alone: the folder also holds the artists' README.txt, and a picture of a format we do not
// wear is worth telling about. The artists' template.png is a guide to draw on, not a costume.
Kind KindOf(const wchar_t* fileName) {
    const wchar_t* extension = PathFindExtensionW(fileName);
    auto is = [extension](const wchar_t* e) { return CompareStringOrdinal(extension, -1, e, -1, TRUE) == CSTR_EQUAL; };
    if (CompareStringOrdinal(fileName, -1, TemplateFileName, -1, TRUE) == CSTR_EQUAL) return Kind::Other;
    for (const wchar_t* e : {L".png", L".bmp", L".gif"})
        if (is(e)) return Kind::Wearable;
    for (const wchar_t* e : {L".jpg", L".jpeg", L".jfif", L".webp", L".tif", L".tiff", L".ico", L".avif", L".heic"})
        if (is(e)) return Kind::OtherPicture;
    return Kind::Other;
}

struct Listed {
    std::wstring name;  // for the sort
    Costume costume;
};

// One entry of the folder: a costume, a refusal, or nothing when it is none of our business.
void Examine(const WIN32_FIND_DATAW& found, const std::wstring& folder, const std::wstring& folderPath,
             std::vector<Listed>& usable, std::vector<Refusal>& refusals) {
    const bool directory = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const bool link = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    const Kind kind = KindOf(found.cFileName);
    if (kind == Kind::Other || (directory && !link)) return;
    const std::string fileName = platform::Narrow(found.cFileName);
    auto refuse = [&](Problem problem, int64_t width = 0, int64_t height = 0) {
        refusals.push_back({fileName, problem, width, height});
    };
    if (kind == Kind::OtherPicture) return refuse(Problem::NotAnImage);
    if (link) return refuse(Problem::Link);
    const uint64_t bytes = uint64_t{found.nFileSizeHigh} << 32 | found.nFileSizeLow;
    if (bytes == 0) return refuse(Problem::Empty);
    if (bytes > MostBytes) return refuse(Problem::TooLarge);

    const OpenedFile opened = OpenCostumeFile(folder + L'\\' + found.cFileName, folderPath, found.dwFileAttributes);
    if (!opened.file) {
        if (opened.problem != Problem::Gone) refuse(opened.problem);  // one removed meanwhile is simply not there
        return;
    }
    std::array<uint8_t, HeaderBytes> start{};
    DWORD read = 0;
    if (!ReadFile(opened.file.get(), start.data(), static_cast<DWORD>(start.size()), &read, nullptr))
        return refuse(Problem::Unreadable);
    const ImageHeader header = ReadImageHeader(std::span(start.data(), read));
    if (header.format == ImageFormat::None) return refuse(Problem::NotAnImage);
    const int detail = DetailOf(header.width, header.height);
    if (detail == 0) return refuse(Problem::WrongSize, header.width, header.height);
    std::wstring name(found.cFileName, static_cast<size_t>(PathFindExtensionW(found.cFileName) - found.cFileName));
    if (name.empty()) name = found.cFileName;  // ".png" has no other name
    Costume costume{platform::Narrow(name), fileName, detail};
    usable.push_back({std::move(name), std::move(costume)});
}

}  // namespace

std::wstring CostumeFolder(int layer) {
    const std::wstring appData = AppData();
    if (appData.empty()) return {};
    return appData + L"\\Pellory\\Costumes\\Costume " + std::to_wstring(layer);
}

void MakeCostumeFolder(int layer) {
    const std::wstring folder = CostumeFolder(layer);
    if (folder.empty()) return;
    // Each level in turn; one that exists already is fine, and any other failure shows in the scan.
    for (size_t at = folder.find(L"\\Pellory"); at != std::wstring::npos; at = folder.find(L'\\', at + 1))
        CreateDirectoryW(folder.substr(0, at).c_str(), nullptr);
    CreateDirectoryW(folder.c_str(), nullptr);
}

FolderContents ScanFolder(const std::wstring& folder) {
    FolderContents contents;
    auto folderProblem = [&](Problem problem) {
        contents.refusals.push_back({platform::Narrow(LeafOf(folder)), problem});
        return contents;
    };
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? contents : folderProblem(Problem::FolderUnreadable);
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return folderProblem(Problem::FolderIsFile);

    WIN32_FIND_DATAW found;
    const HANDLE first = FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr,
                                          FIND_FIRST_EX_LARGE_FETCH);
    const platform::UniqueFind find(first == INVALID_HANDLE_VALUE ? nullptr : first);
    const std::wstring folderPath = find ? FinalPathOfFolder(folder) : std::wstring{};
    if (folderPath.empty()) return folderProblem(Problem::FolderUnreadable);
    std::vector<Listed> usable;
    do {
        Examine(found, folder, folderPath, usable, contents.refusals);
    } while (FindNextFileW(find.get(), &found));

    // As Explorer sorts them ("2" before "10"); the same name twice (cape.png, cape.gif) by the whole file name.
    std::sort(usable.begin(), usable.end(), [](const Listed& a, const Listed& b) {
        const int order = StrCmpLogicalW(a.name.c_str(), b.name.c_str());
        return order != 0 ? order < 0 : a.costume.fileName < b.costume.fileName;
    });
    contents.leftOut = usable.size() > MostListed ? usable.size() - MostListed : 0;
    usable.resize(usable.size() - contents.leftOut);
    for (Listed& listed : usable) contents.costumes.push_back(std::move(listed.costume));
    return contents;
}

std::string Complaint(const Refusal& refusal) {
    const std::string wear = "I can't wear \"" + refusal.fileName + "\": ";
    const std::string look = "I can't look into my \"" + refusal.fileName + "\" folder: ";
    switch (refusal.problem) {
        case Problem::WrongSize:
            return wear + "it is " + std::to_string(refusal.width) + " x " + std::to_string(refusal.height) +
                   ", and I need 77 x 126.";
        case Problem::NotAnImage: return wear + "it is not a PNG, BMP or GIF picture.";
        case Problem::TooLarge: return wear + "it is larger than 8 MB.";
        case Problem::Locked: return wear + "another program has it open. I'll try again when my folder changes.";
        case Problem::Empty: return wear + "it is empty.";
        case Problem::Unreadable: return wear + "I can't read it.";
        case Problem::Link: return wear + "it is a link, and I only wear what really lies in my folder.";
        case Problem::Damaged: return wear + "it is damaged.";
        case Problem::PartFrame: return wear + "its first frame does not fill the picture.";
        case Problem::Gone: return wear + "it is not in my folder any more.";
        case Problem::FolderUnreadable: return look + "I can't read it.";
        case Problem::FolderIsFile: return look + "it is a file, not a folder.";
    }
    return wear + "I don't know why.";
}

std::string LeftOutNote(const std::wstring& folder, const FolderContents& contents) {
    if (contents.leftOut == 0) return {};
    return "I can only list " + std::to_string(MostListed) + " costumes from my \"" + platform::Narrow(LeafOf(folder)) +
           "\" folder: " + std::to_string(contents.leftOut) + (contents.leftOut == 1 ? " more is" : " more are") + " left out.";
}

std::vector<std::string> ComplaintsToSay(const FolderContents& contents, std::set<std::string>& said) {
    std::set<std::string> now;
    std::vector<std::string> toSay;
    for (const Refusal& refusal : contents.refusals) {
        std::string complaint = Complaint(refusal);
        if (!said.contains(complaint)) toSay.push_back(complaint);
        now.insert(std::move(complaint));
    }
    said = std::move(now);
    return toSay;
}

std::string MenuText(std::string_view name) {
    std::string text;
    for (const char c : name) {
        if (c == '&') text += '&';
        text += c;
    }
    return text;
}

platform::UniqueChangeNotification WatchFolder(const std::wstring& folder) {
    const HANDLE watch = FindFirstChangeNotificationW(
        folder.c_str(), FALSE, FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE);
    return platform::UniqueChangeNotification(watch == INVALID_HANDLE_VALUE ? nullptr : watch);
}

platform::UniqueChangeNotification WatchCostumeFolders() {
    const std::wstring folder = CostumeFolder(1);
    const HANDLE watch = FindFirstChangeNotificationW(folder.substr(0, folder.rfind(L'\\')).c_str(), FALSE,
                                                      FILE_NOTIFY_CHANGE_DIR_NAME | FILE_NOTIFY_CHANGE_FILE_NAME);
    return platform::UniqueChangeNotification(watch == INVALID_HANDLE_VALUE ? nullptr : watch);
}

}  // namespace costumes
