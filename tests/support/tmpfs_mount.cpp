#include "tmpfs_mount.h"

#include <sys/mount.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

tmpfs_mount::tmpfs_mount(const std::string& folder) : folder_(folder) {
    if (mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST)
        error_ = "mkdir " + folder + ": " + std::strerror(errno);
    else if (mount("none", folder.c_str(), "tmpfs", 0, "size=1m") != 0)
        error_ = "mount " + folder + ": " + std::strerror(errno);
}

tmpfs_mount::~tmpfs_mount() {
    if (mounted()) umount2(folder_.c_str(), MNT_DETACH);
}

unsigned long long inode_number(const std::string& path) {
    struct stat status;
    return stat(path.c_str(), &status) == 0 ? status.st_ino : 0;
}
