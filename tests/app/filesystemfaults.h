#pragma once

#include <QString>
#include <QTemporaryDir>
#include <linux/capability.h>
#include <memory>
#include <sys/resource.h>

// Ways to make the file system fail that also work as root, where CI runs.

// Permission bits apply to this thread while the guard lives, even as root: the capabilities
// that override them leave the thread's effective set (they stay permitted and come back).
// Note that access(2), and so QFileInfo::isWritable(), still answers as root.
class ScopedPermissionChecks
{
public:
    ScopedPermissionChecks();
    ~ScopedPermissionChecks();
    ScopedPermissionChecks(const ScopedPermissionChecks&) = delete;
    ScopedPermissionChecks& operator=(const ScopedPermissionChecks&) = delete;

private:
    __user_cap_data_struct saved_[2] = {};
    bool changed_ = false;
};

// A folder that takes no new file for this thread while the guard lives, even as root: its
// write permission is taken away and the permission checks are on (ScopedPermissionChecks).
class ScopedReadOnlyFolder
{
public:
    explicit ScopedReadOnlyFolder(const QString& folder);
    ~ScopedReadOnlyFolder();
    ScopedReadOnlyFolder(const ScopedReadOnlyFolder&) = delete;
    ScopedReadOnlyFolder& operator=(const ScopedReadOnlyFolder&) = delete;

private:
    QString folder_;
    ScopedPermissionChecks checks_;
};

// Files this process writes cannot grow past `bytes` while the guard lives: a write beyond
// fails as on a full disk (EFBIG instead of ENOSPC), in whatever buffer flush it happens.
class ScopedFileSizeLimit
{
public:
    explicit ScopedFileSizeLimit(rlim_t bytes);
    ~ScopedFileSizeLimit();
    ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
    ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;

private:
    rlimit saved_ = {};
    void (*savedHandler_)(int) = nullptr;
};

// A small tmpfs mounted on a temporary folder, when this process may mount (root in most
// containers); isMounted() says whether it could.
class SmallTmpfs
{
public:
    explicit SmallTmpfs(int kilobytes);
    ~SmallTmpfs();
    bool isMounted() const { return mounted_; }
    QString path() const { return dir_.path(); }
    // Fills the file system to its last byte.
    void fill();

private:
    QTemporaryDir dir_;
    bool mounted_ = false;
};
