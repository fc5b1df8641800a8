// Turning X keysyms into the toolkit's key codes and key classes.
#pragma once

namespace zell::gui {

enum SKeyClass { kKeyCharacter = 0, kKeyModifier = 3, kKeyControl = 4, kKeyFunction = 5 };

// Key codes of the control and modifier keys; other keys keep their keysym (or ASCII code for
// the keypad's characters).
enum SKeyCode {
    kKeyReturn = 0,
    kKeyEscape,
    kKeyTab,
    kKeyBackSpace,
    kKeyDelete,
    kKeyInsert,
    kKeyUp,
    kKeyDown,
    kKeyLeft,
    kKeyRight,
    kKeyPageUp,
    kKeyPageDown,
    kKeyHome,
    kKeyEnd,
    kKeyCapsLock,
    kKeyPrint,
    kKeyPause,
    kKeyShift,
    kKeyCtrl,
    kKeyAlt
};

struct SKey {
    int code;
    int keyClass;
};

SKey TranslateKeysym(unsigned long keysym);

} // namespace zell::gui
