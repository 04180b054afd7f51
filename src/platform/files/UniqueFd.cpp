#include "platform/files/UniqueFd.h"

#include <unistd.h>

void UniqueFd::Reset(int fd)
{
    if (m_fd >= 0) {
        ::close(m_fd);
    }
    m_fd = fd;
}
