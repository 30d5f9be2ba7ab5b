/* The Windows operations the programs use, served on Linux by this layer.
 * The names, types, structures and constant values are those of Windows,
 * so the same program source also builds with a real Windows toolchain. */
#ifndef WINLAYER_WINDOWS_H
#define WINLAYER_WINDOWS_H

#include "windef.h"
#include "winbase.h"
#include "wingdi.h"
#include "winuser.h"

#endif /* WINLAYER_WINDOWS_H */
