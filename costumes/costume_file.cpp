#include "costumes/costume_file.h"

namespace costumes {

std::wstring FinalPath(HANDLE handle) {
    std::wstring path(MAX_PATH, L'\0');
    DWORD length = GetFinalPathNameByHandleW(handle, path.data(), static_cast<DWORD>(path.size()), FILE_NAME_NORMALIZED);
    if (length >= path.size()) {  // too short: the length asked for counts the terminating null
        path.resize(length);
        length = GetFinalPathNameByHandleW(handle, path.data(), static_cast<DWORD>(path.size()), FILE_NAME_NORMALIZED);
    }
    if (length == 0 || length >= path.size()) return {};
    path.resize(length);
    return path;
}

std::wstring FinalPathOfFolder(const std::wstring& folder) {
    const platform::UniqueKernelHandle handle(
        [&] {
            const HANDLE h = CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                         nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
            return h == INVALID_HANDLE_VALUE ? nullptr : h;
        }());
    return handle ? FinalPath(handle.get()) : std::wstring{};
}

OpenedFile OpenCostumeFile(const std::wstring& path, const std::wstring& folderPath, std::optional<DWORD> listedAttributes) {
    OpenedFile opened;
    const HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        opened.problem = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ? Problem::Locked
                         : error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? Problem::Gone
                                                                                          : Problem::Unreadable;
        return opened;
    }
    platform::UniqueKernelHandle file(h);
    // Opened as itself, a link shows as a reparse point. One the system shows as a plain file (a Unix link under
    // Wine) still has its real path elsewhere.
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (listedAttributes) tag.FileAttributes = *listedAttributes;
    else if (!GetFileInformationByHandleEx(h, FileAttributeTagInfo, &tag, sizeof tag)) tag.FileAttributes = FILE_ATTRIBUTE_REPARSE_POINT;
    const bool isLink = (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    const std::wstring finalPath = FinalPath(h);
    const size_t slash = finalPath.rfind(L'\\');
    const bool inFolder = slash != std::wstring::npos && !folderPath.empty() &&
                          CompareStringOrdinal(finalPath.data(), static_cast<int>(slash), folderPath.data(),
                                               static_cast<int>(folderPath.size()), TRUE) == CSTR_EQUAL;
    if (isLink || !inFolder) {
        opened.problem = Problem::Link;
        return opened;
    }
    opened.file = std::move(file);
    return opened;
}

}  // namespace costumes
