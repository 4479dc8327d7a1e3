#include "test_mount.h"

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

test_mount::test_mount(const std::string& folder, const std::string& type,
                       const std::string& options)
    : folder_(folder) {
    if (mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST)
        error_ = "mkdir " + folder + ": " + std::strerror(errno);
    else if (mount(type.c_str(), folder.c_str(), type.c_str(), 0, options.c_str()) != 0)
        error_ = "mount " + type + " on " + folder + ": " + std::strerror(errno);
}

test_mount::~test_mount() {
    if (mounted()) umount2(folder_.c_str(), MNT_DETACH);
}

unsigned long long inode_number(const std::string& path) {
    struct stat status;
    return stat(path.c_str(), &status) == 0 ? status.st_ino : 0;
}

void set_modification_time(const std::string& path, long long seconds, long nanoseconds) {
    const timespec times[2] = {{0, UTIME_OMIT}, {static_cast<time_t>(seconds), nanoseconds}};
    utimensat(AT_FDCWD, path.c_str(), times, 0);
}
