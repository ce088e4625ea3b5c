#pragma once

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace gainbook::test {

// Makes this process obey file permissions even when it runs as root (as in
// containers and CI): the capabilities that override them leave it for good
// (access() looks at the permitted set, writes at the effective one).
// Programs it starts get them back. True when read-only files and folders
// now refuse writes.
inline bool obeyFilePermissions() {
    if (::geteuid() != 0)
        return true;
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (::syscall(SYS_capget, &header, data) != 0)
        return false;
    const __u32 overrides = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);
    data[0].effective &= ~overrides;
    data[0].permitted &= ~overrides;
    data[0].inheritable &= ~overrides;
    return ::syscall(SYS_capset, &header, data) == 0;
}

} // namespace gainbook::test
