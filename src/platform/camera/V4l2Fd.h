#pragma once
// Device-node opening and ioctl with EINTR retry for the V4L2 layer.
#include "platform/files/UniqueFd.h"

// Opens a device node read-write and non-blocking; the result is invalid on
// failure with errno set.
UniqueFd OpenDeviceNode(const char* path);
// ioctl that retries on EINTR; returns 0 or the errno value.
int V4l2Ioctl(int fd, unsigned long request, void* argument);
