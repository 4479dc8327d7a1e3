// A small tmpfs mounted on a new folder for one test, and taken down with it:
// the first file on each new mount gets the same inode number, so two of them
// give two different files that share it. Mounting needs root.
#pragma once

#include <string>

class tmpfs_mount {
  public:
    explicit tmpfs_mount(const std::string& folder);
    ~tmpfs_mount();
    tmpfs_mount(const tmpfs_mount&) = delete;
    tmpfs_mount& operator=(const tmpfs_mount&) = delete;

    bool mounted() const { return error_.empty(); }
    const std::string& error() const { return error_; }  // why it is not mounted

  private:
    std::string folder_;
    std::string error_;
};

unsigned long long inode_number(const std::string& path);
