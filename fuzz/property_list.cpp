// SPDX-License-Identifier: GPL-3.0-or-later
// Property lists, XML or binary, from hostile bytes. The reader takes a path,
// so each input is written to one in-memory file that is read back through
// /proc/self/fd as both an array and a dictionary.

#include "platform/plist/PropertyList.h"

#include <QString>

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

namespace {

int memoryFile()
{
    static const int descriptor = memfd_create("property-list", 0);
    if (descriptor < 0) {
        std::abort();
    }
    return descriptor;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    const int descriptor = memoryFile();
    if (::ftruncate(descriptor, 0) != 0 ||
        ::pwrite(descriptor, data, size, 0) != static_cast<ssize_t>(size)) {
        std::abort();
    }
    static const QString path = u"/proc/self/fd/"_qs + QString::number(descriptor);
    const auto array = calidra::PropertyList::arrayWithContentsOfFile(path);
    const auto dictionary = calidra::PropertyList::dictionaryWithContentsOfFile(path);
    if (array && dictionary) {
        std::abort();
    }
    return 0;
}
