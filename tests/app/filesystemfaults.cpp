#include "filesystemfaults.h"

#include <QFile>
#include <csignal>
#include <sys/mount.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace
{

bool capabilities(__user_cap_data_struct data[2], bool set)
{
    __user_cap_header_struct header = {_LINUX_CAPABILITY_VERSION_3, 0};
    return ::syscall(set ? SYS_capset : SYS_capget, &header, data) == 0;
}

} // namespace

ScopedPermissionChecks::ScopedPermissionChecks()
{
    if (!capabilities(saved_, false))
        return;
    __user_cap_data_struct reduced[2] = {saved_[0], saved_[1]};
    for (int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER})
        reduced[CAP_TO_INDEX(cap)].effective &= ~CAP_TO_MASK(cap);
    changed_ = capabilities(reduced, true);
}

ScopedPermissionChecks::~ScopedPermissionChecks()
{
    if (changed_)
        capabilities(saved_, true);
}

ScopedReadOnlyFolder::ScopedReadOnlyFolder(const QString& folder) : folder_(folder)
{
    QFile::setPermissions(folder_, QFile::ReadOwner | QFile::ExeOwner);
}

ScopedReadOnlyFolder::~ScopedReadOnlyFolder()
{
    QFile::setPermissions(folder_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

ScopedFileSizeLimit::ScopedFileSizeLimit(rlim_t bytes)
{
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    // Past the limit the kernel also sends SIGXFSZ, which would end the test.
    savedHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

ScopedFileSizeLimit::~ScopedFileSizeLimit()
{
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, savedHandler_);
}

SmallTmpfs::SmallTmpfs(int kilobytes)
{
    const QByteArray options = "size=" + QByteArray::number(kilobytes) + "k";
    mounted_ = dir_.isValid() && ::mount("tmpfs", QFile::encodeName(dir_.path()).constData(),
                                         "tmpfs", 0, options.constData()) == 0;
}

SmallTmpfs::~SmallTmpfs()
{
    if (mounted_)
        ::umount2(QFile::encodeName(dir_.path()).constData(), MNT_DETACH);
}

void SmallTmpfs::fill()
{
    QFile filler(dir_.filePath(QStringLiteral("filler")));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return;
    const QByteArray block(1024, 'x');
    while (filler.write(block) == block.size()) {
    }
    while (filler.write("x", 1) == 1) {
    }
}
