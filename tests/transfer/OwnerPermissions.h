// While alive, file permissions bind the calling thread even when the tests run as root: the
// thread's effective capabilities that override them are lowered (and raised again at the end).
// Without this a read-only or unreadable file would not be read-only or unreadable for root.
#pragma once

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

class OwnerPermissions {
public:
    OwnerPermissions() {
        syscall(SYS_capget, &header_, saved_);
        __user_cap_data_struct lowered[2] = {saved_[0], saved_[1]};
        lowered[0].effective &=
            ~(1u << CAP_DAC_OVERRIDE | 1u << CAP_DAC_READ_SEARCH | 1u << CAP_FOWNER);
        syscall(SYS_capset, &header_, lowered);
    }
    ~OwnerPermissions() { syscall(SYS_capset, &header_, saved_); }
    OwnerPermissions(const OwnerPermissions &) = delete;
    OwnerPermissions &operator=(const OwnerPermissions &) = delete;

private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2] = {};
};
