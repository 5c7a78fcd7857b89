/* Input for a KWin without input devices (its virtual backend), through KWin's fake-input
 * protocol (org_kde_kwin_fake_input, version 4 for keys). The fake device is what gives the seat a
 * keyboard and a pointer, so one of these runs for a whole test, started before the program under
 * test, and takes one request a line on standard input, answering "ok" once KWin has it:
 *   key CODE (an evdev code: 1 is Escape) | motion DX DY | quit
 * KWin offers the protocol to every client only when it runs with
 * KWIN_WAYLAND_NO_PERMISSION_CHECKS=1 (test sessions). Build:
 *   cc kwin_fake_input.c fake-input-protocol.c -lwayland-client */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>
#include <wayland-client.h>

#include "fake-input-client-protocol.h"

static struct org_kde_kwin_fake_input *fake;

static void global(void *data, struct wl_registry *registry, uint32_t name, const char *interface, uint32_t version)
{
    (void)data;
    if (strcmp(interface, org_kde_kwin_fake_input_interface.name) == 0 && version >= 4)
        fake = wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, 4);
}

static void global_remove(void *data, struct wl_registry *registry, uint32_t name)
{
    (void)data, (void)registry, (void)name;
}

static const struct wl_registry_listener registry_listener = {global, global_remove};

static int request(const char *line)
{
    unsigned code;
    double dx, dy;
    if (sscanf(line, "key %u", &code) == 1) {
        org_kde_kwin_fake_input_keyboard_key(fake, code, 1);
        org_kde_kwin_fake_input_keyboard_key(fake, code, 0);
    } else if (sscanf(line, "motion %lf %lf", &dx, &dy) == 2) {
        org_kde_kwin_fake_input_pointer_motion(fake, wl_fixed_from_double(dx), wl_fixed_from_double(dy));
    } else {
        return -1;
    }
    return 0;
}

int main(void)
{
    struct wl_display *display = wl_display_connect(NULL);
    if (!display) {
        fprintf(stderr, "kwin_fake_input: no Wayland display\n");
        return 1;
    }
    struct wl_registry *registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registry_listener, NULL);
    wl_display_roundtrip(display);
    if (!fake) {
        fprintf(stderr, "kwin_fake_input: KWin offers no fake input (permission checks on?)\n");
        return 2;
    }
    org_kde_kwin_fake_input_authenticate(fake, "solvane tests", "input for the desktop tests");
    /* A first event makes the devices; clients bind them before the test's first request. */
    org_kde_kwin_fake_input_pointer_motion(fake, 0, 0);
    wl_display_roundtrip(display);
    usleep(500 * 1000);
    setvbuf(stdout, NULL, _IOLBF, 0);
    printf("ready\n");
    char line[128];
    while (fgets(line, sizeof line, stdin) && strncmp(line, "quit", 4) != 0) {
        const int refused = request(line);
        if (wl_display_roundtrip(display) < 0)
            return 3;
        printf(refused ? "unknown request\n" : "ok\n");
    }
    wl_display_disconnect(display);
    return 0;
}
