// A stand-in for /dev/input, preloaded into the game: the folder named by
// DRIFTMOOR_FAKE_INPUT takes its place, each FIFO in it named eventN is an
// Xbox 360 pad, and the test writes that pad's input_event records into it.
// Making a FIFO plugs a pad in and removing it unplugs it, through real inotify.
#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <linux/input.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/stat.h>

#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

template <typename Function>
Function real(const char* name)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

std::string redirected(const char* path)
{
    const char* folder = std::getenv("DRIFTMOOR_FAKE_INPUT");
    const std::string devices = "/dev/input";
    if (!folder || std::strncmp(path, devices.c_str(), devices.size()) != 0) return path;
    return folder + std::string(path + devices.size());
}

void setBits(void* bits, int size, std::initializer_list<int> numbers)
{
    std::memset(bits, 0, size);
    for (int n : numbers) {
        if (n / 8 < size) static_cast<unsigned char*>(bits)[n / 8] |= 1 << (n % 8);
    }
}

// The ioctls minigamepad asks of a pad, answered as the xpad driver does.
int answer(unsigned long request, void* out)
{
    int size = _IOC_SIZE(request);
    int number = _IOC_NR(request);
    if (number == 0x20) {
        setBits(out, size, {EV_SYN, EV_KEY, EV_ABS});
    } else if (number == 0x20 + EV_KEY) {
        setBits(out, size, {BTN_A, BTN_B, BTN_X, BTN_Y, BTN_TL, BTN_TR, BTN_SELECT, BTN_START, BTN_MODE, BTN_THUMBL,
                            BTN_THUMBR});
    } else if (number == 0x20 + EV_ABS) {
        setBits(out, size, {ABS_X, ABS_Y, ABS_Z, ABS_RX, ABS_RY, ABS_RZ, ABS_HAT0X, ABS_HAT0Y});
    } else if (number == _IOC_NR(EVIOCGID)) {
        *static_cast<input_id*>(out) = {BUS_USB, 0x045e, 0x028e, 0x0114};
    } else if (number == _IOC_NR(EVIOCGNAME(0))) {
        std::strncpy(static_cast<char*>(out), "Microsoft X-Box 360 pad", size);
    } else if (number >= 0x40 && number < 0x40 + ABS_CNT) {
        int axis = number - 0x40;
        bool trigger = axis == ABS_Z || axis == ABS_RZ;
        bool hat = axis == ABS_HAT0X || axis == ABS_HAT0Y;
        int lowest = trigger ? 0 : hat ? -1 : -32768;
        int highest = trigger ? 255 : hat ? 1 : 32767;
        *static_cast<input_absinfo*>(out) = {0, lowest, highest, 0, 0, 0};
    } else {
        return -1;
    }
    return size;
}

int openRedirected(const char* name, const char* path, int flags, va_list rest)
{
    mode_t mode = (flags & (O_CREAT | O_TMPFILE)) ? va_arg(rest, mode_t) : 0;
    return real<int (*)(const char*, int, ...)>(name)(redirected(path).c_str(), flags, mode);
}

}

extern "C" {

DIR* opendir(const char* path) { return real<DIR* (*)(const char*)>("opendir")(redirected(path).c_str()); }

int inotify_add_watch(int fd, const char* path, uint32_t mask)
{
    return real<int (*)(int, const char*, uint32_t)>("inotify_add_watch")(fd, redirected(path).c_str(), mask);
}

int open(const char* path, int flags, ...)
{
    va_list rest;
    va_start(rest, flags);
    int fd = openRedirected("open", path, flags, rest);
    va_end(rest);
    return fd;
}

int open64(const char* path, int flags, ...)
{
    va_list rest;
    va_start(rest, flags);
    int fd = openRedirected("open64", path, flags, rest);
    va_end(rest);
    return fd;
}

int ioctl(int fd, unsigned long request, ...)
{
    va_list rest;
    va_start(rest, request);
    void* argument = va_arg(rest, void*);
    va_end(rest);
    struct stat status;
    bool pad = _IOC_TYPE(request) == 'E' && fstat(fd, &status) == 0 && S_ISFIFO(status.st_mode);
    if (pad) return answer(request, argument);
    return real<int (*)(int, unsigned long, ...)>("ioctl")(fd, request, argument);
}

}
