#include "platform/files/UniqueFd.h"

#include <unistd.h>

void UniqueFd::Reset(int fd)
{
    if (m_fd >= 0) {
        if (m_closer != nullptr) {
            m_closer->Close(m_fd);
        } else {
            ::close(m_fd);
        }
    }
    m_fd = fd;
    m_closer = nullptr;
}
