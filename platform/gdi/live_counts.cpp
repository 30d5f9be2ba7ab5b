// For tests and tools only: how many GDI objects of each kind are alive
// (<winlayer/objects.h>).
#include "winlayer/objects.h"

#include "objects.h"

using namespace winlayer::gdi;

namespace winlayer {

std::size_t LiveGdiObjects(DWORD objectType) { return gdi::LiveObjects(static_cast<Kind>(objectType)); }

std::size_t LiveGdiObjects() {
  std::size_t n = 0;
  for (DWORD k : {OBJ_PEN, OBJ_BRUSH, OBJ_DC, OBJ_FONT, OBJ_BITMAP, OBJ_MEMDC}) n += LiveGdiObjects(k);
  return n;
}

}  // namespace winlayer
