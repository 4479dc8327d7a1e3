// A file system mounted on a new folder for one test, and taken down with it:
// by default a small tmpfs, whose first file on each new mount gets the same
// inode number, so two of them give two different files that share it; or
// any other type with its options (an overlay). Mounting needs root, or a
// kernel that lets a user mount in a user namespace of its own.
#pragma once

#include <string>

class test_mount {
  public:
    explicit test_mount(const std::string& folder, const std::string& type = "tmpfs",
                        const std::string& options = "size=1m");
    ~test_mount();
    test_mount(const test_mount&) = delete;
    test_mount& operator=(const test_mount&) = delete;

    bool mounted() const { return error_.empty(); }
    const std::string& error() const { return error_; }  // why it is not mounted

  private:
    std::string folder_;
    std::string error_;
};

unsigned long long inode_number(const std::string& path);

// Sets the file's modification time to `seconds` and `nanoseconds` past 1970.
void set_modification_time(const std::string& path, long long seconds, long nanoseconds);
