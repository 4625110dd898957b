#ifndef ROOTWEAVER_SHELL_TSDLKEYMAP_H
#define ROOTWEAVER_SHELL_TSDLKEYMAP_H

#include <SDL_scancode.h>

#include "input/tKeyEvent.h"

// The one place where SDL's key and button identifiers become the program's.
// Keys are mapped by scancode, the key's position, so the keys of a US
// keyboard get their codes whatever layout the system uses; the left and
// right modifier keys share one code each. A scancode without an entry maps
// to TKEY_NONE and the caller drops the event.
class tSDLKeyMap {
 public:
  static TKEYCODE lookup(SDL_Scancode scancode);
  // The platform button number of the mouse handler: 1 for SDL's left
  // button, 2 for its right one, 0 (ignored) for any other.
  static int platformButton(int sdlButton);
};

#endif
