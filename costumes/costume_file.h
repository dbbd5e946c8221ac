#pragma once
// One file of a costume folder, opened the one safe way for the folder's scan and for wearing it alike.
#include <windows.h>

#include <optional>
#include <string>

#include "costumes/folder.h"
#include "platform/handles.h"

namespace costumes {

// The path a file or folder really has, links resolved; "" when it cannot be told.
std::wstring FinalPath(HANDLE handle);
std::wstring FinalPathOfFolder(const std::wstring& folder);

struct OpenedFile {
    platform::UniqueKernelHandle file;  // null when `problem` says why
    Problem problem = Problem::Gone;
};

// Opens `path` for reading, shared with readers only: a program still writing it keeps it for now. A link is not
// followed out of the folder whose final path is `folderPath`: a file that does not really lie there is refused.
// `listedAttributes`, from the folder's listing, spare asking the file whether it is a link.
OpenedFile OpenCostumeFile(const std::wstring& path, const std::wstring& folderPath,
                           std::optional<DWORD> listedAttributes = std::nullopt);

}  // namespace costumes
