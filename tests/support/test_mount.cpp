#include "test_mount.h"

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>

namespace {

// Without the privilege to mount, a user and mount namespace of the test's
// own gives it (as `unshare -rm` does) on kernels that let users mount there:
// the test process enters one once, with its user as root inside, and the
// programs it starts inherit it.
bool entered_own_namespace() {
    static const bool entered = [] {
        const std::string uid = std::to_string(geteuid()), gid = std::to_string(getegid());
        if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) return false;
        std::ofstream("/proc/self/setgroups") << "deny";
        std::ofstream("/proc/self/uid_map") << "0 " << uid << " 1";
        std::ofstream("/proc/self/gid_map") << "0 " << gid << " 1";
        return true;
    }();
    return entered;
}

bool mounted_on(const std::string& folder, const std::string& type, const std::string& options) {
    return mount(type.c_str(), folder.c_str(), type.c_str(), 0, options.c_str()) == 0;
}

}  // namespace

test_mount::test_mount(const std::string& folder, const std::string& type,
                       const std::string& options)
    : folder_(folder) {
    if (mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST)
        error_ = "mkdir " + folder + ": " + std::strerror(errno);
    else if (!mounted_on(folder, type, options) &&
             (errno != EPERM || !entered_own_namespace() || !mounted_on(folder, type, options)))
        error_ = "mount " + type + " on " + folder + ": " + std::strerror(errno) +
                 " (as root, or in a user namespace where the kernel allows it)";
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
