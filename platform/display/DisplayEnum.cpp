// The device enumeration: the default device, then one per display.
#include "platform/display/DisplayEnum.h"

#include <cstdint>
#include <string>

namespace plat {

HResult DirectDrawEnumerateExA(LPDDENUMCALLBACKEXA Callback, void* Context, uint32_t Flags, int Displays)
{
    if (Callback == nullptr)
        return DDERR_INVALIDPARAMS;
    if (Callback(nullptr, "Primary Display Driver", "display", Context, nullptr) == 0)
        return DD_OK;
    if ((Flags & DDENUM_ATTACHEDSECONDARYDEVICES) == 0)
        return DD_OK;
    for (int i = 0; i < Displays; ++i) {
        GUID guid = DisplayDeviceGuid(i);
        const std::string name = "Display " + std::to_string(i + 1);
        void* monitor = reinterpret_cast<void*>(static_cast<intptr_t>(i + 1));
        if (Callback(&guid, name.c_str(), name.c_str(), Context, monitor) == 0)
            break;
    }
    return DD_OK;
}

}  // namespace plat
