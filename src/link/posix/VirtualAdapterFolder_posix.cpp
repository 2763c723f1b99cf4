// SPDX-License-Identifier: MIT
#include "VirtualAdapters.h"

#include <cstdlib>
#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

namespace zelmor {
namespace {

bool IsOwnUnsharedFolder(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::getuid() &&
           (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

} // namespace

std::string VirtualAdapterFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/')
        return std::string(runtime) + "/zelmormx/virtual-adapters";
    return "/tmp/zelmormx-" + std::to_string(::getuid()) + "/virtual-adapters";
}

bool IsPrivateFolder(const std::string& path) {
    std::filesystem::path folder = std::filesystem::path(path).lexically_normal();
    if (!folder.has_filename())
        folder = folder.parent_path(); // "a/b/" names the folder b
    return IsOwnUnsharedFolder(folder.string()) && IsOwnUnsharedFolder(folder.parent_path().string());
}

} // namespace zelmor
