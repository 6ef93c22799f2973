// Replies of what-is-my-IP services come from the internet: any bytes must give an address or an error, read only
// within the reply.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "network/PublicIPAddress.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > slib::kPublicIPReplySize)
        size = slib::kPublicIPReplySize;
    // An exact-size copy, so that AddressSanitizer catches any read past the reply.
    std::unique_ptr<char[]> reply(new char[size ? size : 1]);
    if (size)
        std::memcpy(reply.get(), data, size);
    for (const slib::cPublicIPService &service : slib::PublicIPServices())
    {
        char address[slib::kPublicIPOutputSize];
        slib::ExtractPublicIP(reply.get(), size, service, address);
    }
    return 0;
}
