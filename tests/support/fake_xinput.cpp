// A stand-in for xinput9_1_0.dll, put beside the game under wine: one pad,
// whose state the test writes to the file that DRIFTMOOR_FAKE_PAD names, as
//   connected buttons leftX leftY rightX rightY leftTrigger rightTrigger pulse pulseButtons
// A new pulse number adds its buttons to one read of the state only. Plugging
// in and unplugging post WM_DEVICECHANGE, as Windows does.
#include <windows.h>
#include <xinput.h>

#include <cstdio>
#include <cstdlib>

namespace {

struct Pad {
    int connected = 0;
    XINPUT_GAMEPAD state{};
    int pulse = 0;
    int pulseButtons = 0;
};

Pad read()
{
    Pad pad;
    const char* file = std::getenv("DRIFTMOOR_FAKE_PAD");
    FILE* in = file ? std::fopen(file, "r") : nullptr;
    if (!in) return pad;
    int v[10] = {};
    if (std::fscanf(in, "%d %d %d %d %d %d %d %d %d %d", &v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &v[6], &v[7],
                    &v[8], &v[9]) == 10) {
        pad.connected = v[0];
        pad.state = {static_cast<WORD>(v[1]), static_cast<BYTE>(v[6]), static_cast<BYTE>(v[7]),
                     static_cast<SHORT>(v[2]), static_cast<SHORT>(v[3]), static_cast<SHORT>(v[4]),
                     static_cast<SHORT>(v[5])};
        pad.pulse = v[8];
        pad.pulseButtons = v[9];
    }
    std::fclose(in);
    return pad;
}

DWORD WINAPI watchPlugging(void*)
{
    for (int connected = read().connected;; Sleep(20)) {
        if (read().connected == connected) continue;
        connected = !connected;
        if (HWND window = FindWindowW(L"minigamepadclass", nullptr)) PostMessageW(window, WM_DEVICECHANGE, 7, 0);
    }
}

} // namespace

extern "C" {

__declspec(dllexport) DWORD WINAPI XInputGetState(DWORD index, XINPUT_STATE* state)
{
    static int lastPulse = 0;
    static DWORD packet = 0;
    Pad pad = read();
    if (index != 0 || !pad.connected) return ERROR_DEVICE_NOT_CONNECTED;
    state->dwPacketNumber = ++packet;
    state->Gamepad = pad.state;
    if (pad.pulse != lastPulse) state->Gamepad.wButtons |= static_cast<WORD>(pad.pulseButtons);
    lastPulse = pad.pulse;
    return ERROR_SUCCESS;
}

__declspec(dllexport) DWORD WINAPI XInputGetCapabilities(DWORD index, DWORD, XINPUT_CAPABILITIES* capabilities)
{
    if (index != 0 || !read().connected) return ERROR_DEVICE_NOT_CONNECTED;
    *capabilities = {};
    capabilities->Type = XINPUT_DEVTYPE_GAMEPAD;
    capabilities->SubType = XINPUT_DEVSUBTYPE_GAMEPAD;
    return ERROR_SUCCESS;
}

__declspec(dllexport) DWORD WINAPI XInputSetState(DWORD, XINPUT_VIBRATION*) { return ERROR_SUCCESS; }

// Pinned, so that its watching thread outlives a FreeLibrary.
BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, void*)
{
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    HMODULE pinned;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_PIN | GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                       reinterpret_cast<LPCWSTR>(self), &pinned);
    CloseHandle(CreateThread(nullptr, 0, watchPlugging, nullptr, 0, nullptr));
    return TRUE;
}

}
