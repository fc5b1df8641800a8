#include "SKeys.h"

#include <X11/keysym.h>

namespace zell::gui {

namespace {

struct Mapping {
    unsigned long keysym;
    int code;
    int keyClass;
};

const Mapping kKeys[] = {
    {XK_Return, kKeyReturn, kKeyControl},
    {XK_KP_Enter, kKeyReturn, kKeyControl},
    {XK_Escape, kKeyEscape, kKeyControl},
    {XK_Tab, kKeyTab, kKeyControl},
    {XK_KP_Tab, kKeyTab, kKeyControl},
    {XK_BackSpace, kKeyBackSpace, kKeyControl},
    {XK_Delete, kKeyDelete, kKeyControl},
    {XK_KP_Delete, kKeyDelete, kKeyControl},
    {XK_Insert, kKeyInsert, kKeyControl},
    {XK_KP_Insert, kKeyInsert, kKeyControl},
    {XK_Up, kKeyUp, kKeyControl},
    {XK_KP_Up, kKeyUp, kKeyControl},
    {XK_Down, kKeyDown, kKeyControl},
    {XK_KP_Down, kKeyDown, kKeyControl},
    {XK_Left, kKeyLeft, kKeyControl},
    {XK_KP_Left, kKeyLeft, kKeyControl},
    {XK_Right, kKeyRight, kKeyControl},
    {XK_KP_Right, kKeyRight, kKeyControl},
    {XK_Prior, kKeyPageUp, kKeyControl},
    {XK_KP_Prior, kKeyPageUp, kKeyControl},
    {XK_Next, kKeyPageDown, kKeyControl},
    {XK_KP_Next, kKeyPageDown, kKeyControl},
    {XK_Home, kKeyHome, kKeyControl},
    {XK_KP_Home, kKeyHome, kKeyControl},
    {XK_End, kKeyEnd, kKeyControl},
    {XK_KP_End, kKeyEnd, kKeyControl},
    {XK_Caps_Lock, kKeyCapsLock, kKeyControl},
    {XK_Print, kKeyPrint, kKeyControl},
    {XK_Pause, kKeyPause, kKeyControl},
    {XK_Break, kKeyPause, kKeyControl},
    {XK_Shift_L, kKeyShift, kKeyModifier},
    {XK_Shift_R, kKeyShift, kKeyModifier},
    {XK_Control_L, kKeyCtrl, kKeyModifier},
    {XK_Control_R, kKeyCtrl, kKeyModifier},
    {XK_Alt_L, kKeyAlt, kKeyModifier},
    {XK_Alt_R, kKeyAlt, kKeyModifier},
    {XK_KP_Multiply, '*', kKeyCharacter},
    {XK_KP_Add, '+', kKeyCharacter},
    {XK_KP_Separator, ',', kKeyCharacter},
    {XK_KP_Subtract, '-', kKeyCharacter},
    {XK_KP_Decimal, '.', kKeyCharacter},
    {XK_KP_Divide, '/', kKeyCharacter},
    {XK_KP_Equal, '=', kKeyCharacter},
    {XK_KP_Space, ' ', kKeyCharacter},
};

} // namespace

SKey TranslateKeysym(unsigned long keysym) {
    for (const Mapping& m : kKeys)
        if (m.keysym == keysym) return {m.code, m.keyClass};
    if (keysym >= XK_KP_0 && keysym <= XK_KP_9)
        return {static_cast<int>('0' + (keysym - XK_KP_0)), kKeyCharacter};
    if ((keysym >= XK_KP_F1 && keysym <= XK_KP_F4) || (keysym >= XK_F1 && keysym <= XK_F24))
        return {static_cast<int>(keysym), kKeyFunction};
    return {static_cast<int>(keysym), kKeyCharacter};
}

} // namespace zell::gui
