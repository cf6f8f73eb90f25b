// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "base/DescriptorDevice.h"

#include <cerrno>
#include <unistd.h>

namespace brimlark
{

DescriptorDevice::DescriptorDevice(int descriptor) : m_descriptor(descriptor)
{
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

// All of the data or a failure: a short write goes on from where it stopped.
qint64 DescriptorDevice::writeData(const char *data, qint64 size)
{
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::write(m_descriptor, data + done, size_t(size - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            m_error = n < 0 ? errno : EIO;
            return -1;
        }
        done += n;
    }
    return done;
}

} // namespace brimlark
