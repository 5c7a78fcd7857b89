// The attached displays: how many there are, and the display devices listed the way the display
// layer's enumeration reports them: the default device first (no identity), then one device per
// display with its DisplayDeviceGuid, so the third device reported is the second display.
// The enumeration lists the count its caller gives (the screen's, Screen::DisplayCount). Main
// thread.
#pragma once

#include "platform/display/DDraw.h"

namespace plat {

constexpr uint32_t DDENUM_ATTACHEDSECONDARYDEVICES = 1;
// Called once per device: identity (null for the default device), description, driver name, the
// caller's context and the display's monitor handle; returns 1 to go on, 0 to stop.
using LPDDENUMCALLBACKEXA = int (*)(GUID* Guid, const char* Description, const char* DriverName, void* Context,
                                    void* Monitor);
// Lists the default device and, with DDENUM_ATTACHEDSECONDARYDEVICES, Displays displays (the
// caller's screen's DisplayCount); DD_OK, or DDERR_INVALIDPARAMS without a callback.
HResult DirectDrawEnumerateExA(LPDDENUMCALLBACKEXA Callback, void* Context, uint32_t Flags, int Displays);

}  // namespace plat
