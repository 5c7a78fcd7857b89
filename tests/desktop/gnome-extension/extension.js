/* Test sessions only: lets the shell's Eval answer the tests (window places, the top bar), which
 * GNOME Shell 43 allows only in its unsafe mode. The shell announces that mode with a banner that
 * never times out in a session without input and covers a full-screen window's top; it skips the
 * banner while Looking Glass is open, so the switch is made while the shell believes it is. */
const Main = imports.ui.main;

function init() {}

function enable() {
    const lookingGlass = Main.lookingGlass;
    Main.lookingGlass = { isOpen: true };
    try {
        global.context.unsafe_mode = true;
    } finally {
        Main.lookingGlass = lookingGlass;
    }
}

function disable() {
    global.context.unsafe_mode = false;
}
