// The imports of user32 and gdi32 that the Windows build puts the layer in
// front of: each with the bytes of its arguments on the stack, which i686
// names carry (BitBlt@36). The build reads this list for its --wrap options
// (CMakeLists.txt here), and the test command's check of the programs reads
// it too: one line per import, in this form.
#pragma once

#define WINLAYER_WRAPPED_IMPORTS(X) \
  X(BitBlt, 36)                     \
  X(DispatchMessageA, 4)            \
  X(GetAsyncKeyState, 4)            \
  X(GetCursorPos, 4)                \
  X(GetMessageA, 16)                \
  X(IsWindow, 4)                    \
  X(PeekMessageA, 20)               \
  X(RegisterClassA, 4)              \
  X(RegisterClassExA, 4)

// The symbols of an import's pointer that GNU ld's --wrap makes: "__wrap_"
// for what the programs' calls now reach, "__real_" for Windows' own. On
// i686 symbols carry a leading underscore, which --wrap keeps in front.
#if defined(_WIN64)
#define WINLAYER_IMPORT_SYMBOL(kind, name, bytes) "__" #kind "___imp_" #name
#else
#define WINLAYER_IMPORT_SYMBOL(kind, name, bytes) "___" #kind "__imp__" #name "@" #bytes
#endif
